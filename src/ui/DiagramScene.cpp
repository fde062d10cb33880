#include "ui/DiagramScene.h"

#include <unordered_map>

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include "ui/DiagramView.h"
#include "ui/PicturePainter.h"

namespace kestrom::ui {
namespace {

// Longer actions end in an ellipsis: the code window shows them whole.
constexpr int kDiagramTextLines = 12;
constexpr double kSmoothedPixels = 24;

class PictureGraphicsItem : public QGraphicsItem {
public:
    PictureGraphicsItem(drawing::PictureItem item, double textHeight)
        : item_(std::move(item)), textHeight_(textHeight) {
        bounds_ = ItemBounds(item_, textHeight_);
        // Room for the cosmetic pen and the selection frame.
        const double margin = std::max(bounds_.width(), bounds_.height()) * 0.05 + 200;
        bounds_.adjust(-margin, -margin, margin, margin);
        setFlag(ItemIsSelectable);
        setData(DiagramView::kObjectIdKey, qlonglong(item_.Id));
    }

    QRectF boundingRect() const override { return bounds_; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        const double pixelsPerUnit = option->levelOfDetailFromTransform(painter->worldTransform());
        PaintItem(*painter, item_, textHeight_, pixelsPerUnit, kDiagramTextLines);
        if (isSelected()) {
            QPen pen(QColor(0, 120, 215), 2, Qt::DashLine);
            pen.setCosmetic(true);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(bounds_);
        }
    }

private:
    drawing::PictureItem item_;
    double textHeight_;
    QRectF bounds_;
};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString ActionKindName(std::int64_t kind) {
    switch (kind) {
    case drawing::kEntryAction:
        return "entry";
    case drawing::kExitAction:
        return "exit";
    default:
        return "state";
    }
}

} // namespace

QString StateToolTip(const drawing::DrawnState& state) {
    QStringList lines{Text(state.Name)};
    if (!state.Code.empty()) lines << "code " + Text(state.Code);
    lines << QString("ASF line %1").arg(state.Object->Line);
    for (const drawing::DrawnObject* action : state.Actions)
        lines << ActionKindName(action->Flags) + " action: " + Text(action->Text);
    return lines.join('\n');
}

QGraphicsScene* BuildDiagramScene(const drawing::Picture& picture,
                                  const drawing::DrawnDiagram* diagram) {
    std::unordered_map<drawing::ObjectId, const drawing::DrawnState*> states;
    if (diagram)
        for (const drawing::DrawnState& state : diagram->States)
            states[state.Object->Id] = &state;

    auto* scene = new QGraphicsScene;
    scene->setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    auto* sheet = scene->addRect(SheetRect(picture), QPen(Qt::NoPen), QBrush(Qt::white));
    sheet->setZValue(-1);
    for (const drawing::PictureItem& item : picture.Items) {
        auto* shown = new PictureGraphicsItem(item, picture.TextHeight);
        if (auto state = states.find(item.Id); state != states.end())
            shown->setToolTip(StateToolTip(*state->second));
        scene->addItem(shown);
    }
    return scene;
}

} // namespace kestrom::ui
