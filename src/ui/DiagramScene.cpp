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
// Up to this size in pixels the whole diagram is kept as one picture, so that
// a frame copies it instead of drawing thousands of shapes again.
constexpr double kWholePicturePixels = 2048;
const char* const kLayerProperty = "kestromPictureLayer";

// The whole diagram drawn at once, while it shows small.
class PictureLayer : public QGraphicsItem {
public:
    PictureLayer(const drawing::Picture& picture, const QRectF& bounds)
        : picture_(picture), bounds_(bounds) {
        setCacheMode(DeviceCoordinateCache);
        setZValue(-0.5);
        setAcceptedMouseButtons(Qt::NoButton);
        setVisible(false);
    }

    QRectF boundingRect() const override { return bounds_; }
    void SetBounds(const QRectF& bounds) {
        prepareGeometryChange();
        bounds_ = bounds;
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        const double pixelsPerUnit = option->levelOfDetailFromTransform(painter->worldTransform());
        for (const drawing::PictureItem& item : picture_.Items)
            PaintItem(*painter, item, picture_.TextHeight, pixelsPerUnit, kDiagramTextLines);
    }

private:
    drawing::Picture picture_;
    QRectF bounds_;
};

class PictureGraphicsItem : public QGraphicsItem {
public:
    PictureGraphicsItem(drawing::PictureItem item, double textHeight, const PictureLayer& layer)
        : item_(std::move(item)), textHeight_(textHeight), layer_(layer) {
        bounds_ = ItemBounds(item_, textHeight_);
        // Room for the cosmetic pen and the selection frame.
        const double margin = std::max(bounds_.width(), bounds_.height()) * 0.05 + 200;
        bounds_.adjust(-margin, -margin, margin, margin);
        setFlag(ItemIsSelectable);
        // A drag that starts elsewhere pans the view.
        if (item_.Group != "state" && item_.Group != "transition")
            setAcceptedMouseButtons(Qt::NoButton);
        setData(DiagramView::kObjectIdKey, qlonglong(item_.Id));
    }

    QRectF boundingRect() const override { return bounds_; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        const double pixelsPerUnit = option->levelOfDetailFromTransform(painter->worldTransform());
        if (!layer_.isVisible())
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
    const PictureLayer& layer_;
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

QString StateToolTip(const drawing::DrawnState& state, const std::string& parentPath) {
    QStringList lines{Text(state.Name)};
    if (!parentPath.empty()) lines << "path " + Text(parentPath + "." + state.Name);
    if (!state.Code.empty()) lines << "code " + Text(state.Code);
    lines << QString("ASF line %1").arg(state.Object->Line);
    for (const drawing::DrawnObject* action : state.Actions)
        lines << ActionKindName(action->Flags) + " action: " + Text(action->Text);
    return lines.join('\n');
}

QGraphicsScene* BuildDiagramScene(const drawing::Picture& picture,
                                  const drawing::DrawnDiagram* diagram,
                                  const std::string& parentPath) {
    std::unordered_map<drawing::ObjectId, const drawing::DrawnState*> states;
    if (diagram)
        for (const drawing::DrawnState& state : diagram->States)
            states[state.Object->Id] = &state;

    auto* scene = new QGraphicsScene;
    scene->setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    auto* sheet = scene->addRect(SheetRect(picture), QPen(Qt::NoPen), QBrush(Qt::white));
    sheet->setZValue(-1);
    QRectF everything = SheetRect(picture);
    auto* layer = new PictureLayer(picture, {});
    for (const drawing::PictureItem& item : picture.Items) {
        auto* shown = new PictureGraphicsItem(item, picture.TextHeight, *layer);
        everything |= shown->boundingRect();
        if (auto state = states.find(item.Id); state != states.end())
            shown->setToolTip(StateToolTip(*state->second, parentPath));
        scene->addItem(shown);
    }
    layer->SetBounds(everything);
    scene->addItem(layer);
    scene->setProperty(kLayerProperty, QVariant::fromValue(static_cast<void*>(layer)));
    return scene;
}

void FollowScale(QGraphicsScene& scene, double pixelsPerUnit) {
    auto* layer = static_cast<PictureLayer*>(scene.property(kLayerProperty).value<void*>());
    if (!layer) return;
    const QRectF bounds = layer->boundingRect();
    const bool small =
        std::max(bounds.width(), bounds.height()) * pixelsPerUnit <= kWholePicturePixels;
    if (layer->isVisible() == small) return;
    layer->setVisible(small);
    scene.update();
}

} // namespace kestrom::ui
