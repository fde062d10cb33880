#include "ui/DiagramView.h"

#include "ui/DiagramScene.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QAction>
#include <QContextMenuEvent>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QWheelEvent>

namespace kestrom::ui {
namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMostZoomedIn = 1.0;  // pixels per sheet unit: a text line is thousands
constexpr double kFurthestOut = 0.125; // of the scale that fits the sheet

std::int64_t ObjectIdOf(const QGraphicsItem* item) {
    for (; item; item = item->parentItem()) {
        const QVariant id = item->data(DiagramView::kObjectIdKey);
        if (id.isValid()) return id.toLongLong();
    }
    return 0;
}

} // namespace

DiagramView::DiagramView(QWidget* parent) : QGraphicsView(parent) {
    setObjectName("DiagramView");
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setOptimizationFlags(QGraphicsView::DontSavePainterState);
    setBackgroundBrush(QColor(160, 160, 160));
    AddShortcut(QKeySequence::ZoomIn, &DiagramView::ZoomIn);
    AddShortcut(QKeySequence("Ctrl+="), &DiagramView::ZoomIn);
    AddShortcut(QKeySequence::ZoomOut, &DiagramView::ZoomOut);
    AddShortcut(QKeySequence("Ctrl+0"), &DiagramView::Fit);
}

void DiagramView::AddShortcut(const QKeySequence& keys, void (DiagramView::*command)()) {
    auto* action = new QAction(this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, command);
    addAction(action);
}

void DiagramView::SetScene(QGraphicsScene* scene, const QRectF& sheet) {
    std::unique_ptr<QGraphicsScene> old(this->scene());
    scene->setParent(this);
    sheet_ = sheet;
    // Room around the sheet, so that its edges can be panned to the middle.
    scene->setSceneRect(sheet.adjusted(-sheet.width() / 2, -sheet.height() / 2, sheet.width() / 2,
                                       sheet.height() / 2));
    setScene(scene);
    if (fitted_) Fit();
}

void DiagramView::Fit() {
    fitted_ = true;
    // Scroll bars that come and go would change the room the sheet is
    // fitted into, and each fitting would bring them back or take them away.
    SetScrollBars(Qt::ScrollBarAlwaysOff);
    if (!sheet_.isEmpty()) fitInView(sheet_, Qt::KeepAspectRatio);
    if (scene()) FollowScale(*scene(), Scale());
}

void DiagramView::SetScrollBars(Qt::ScrollBarPolicy policy) {
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

double DiagramView::FitScale() const {
    if (sheet_.isEmpty()) return Scale();
    const QSize room = viewport()->size();
    return std::min(room.width() / sheet_.width(), room.height() / sheet_.height());
}

void DiagramView::ZoomIn() {
    ZoomBy(kZoomStep);
}
void DiagramView::ZoomOut() {
    ZoomBy(1 / kZoomStep);
}

void DiagramView::ZoomBy(double factor) {
    const double mostZoomedOut = FitScale() * kFurthestOut;
    const double scale = std::clamp(Scale() * factor, std::min(mostZoomedOut, Scale()),
                                    std::max(kMostZoomedIn, Scale()));
    fitted_ = false;
    SetScrollBars(Qt::ScrollBarAsNeeded);
    QGraphicsView::scale(scale / Scale(), scale / Scale());
    if (scene()) FollowScale(*scene(), Scale());
}

void DiagramView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return QGraphicsView::wheelEvent(event);
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) ZoomBy(std::pow(kZoomStep, steps));
    event->accept();
}

void DiagramView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    if (fitted_) Fit();
}

void DiagramView::mouseDoubleClickEvent(QMouseEvent* event) {
    const std::int64_t id = ObjectIdOf(itemAt(event->position().toPoint()));
    if (id != 0) emit ObjectDoubleClicked(id);
    QGraphicsView::mouseDoubleClickEvent(event);
}

void DiagramView::contextMenuEvent(QContextMenuEvent* event) {
    QList<std::int64_t> ids;
    for (QGraphicsItem* item : items(event->pos()))
        if (const std::int64_t id = ObjectIdOf(item); id != 0 && !ids.contains(id)) ids << id;
    if (ids.isEmpty()) return QGraphicsView::contextMenuEvent(event);
    emit ObjectsContextMenu(ids, event->globalPos());
}

QGraphicsItem* DiagramView::ItemOf(std::int64_t objectId) const {
    if (!scene()) return nullptr;
    for (QGraphicsItem* item : scene()->items())
        if (!item->parentItem() && item->data(kObjectIdKey).toLongLong() == objectId) return item;
    return nullptr;
}

bool DiagramView::CentreOn(std::int64_t objectId) {
    QGraphicsItem* item = ItemOf(objectId);
    if (!item) return false;
    scene()->clearSelection();
    item->setSelected(true);
    fitted_ = false; // a later resize keeps the item in the middle
    SetScrollBars(Qt::ScrollBarAsNeeded);
    centerOn(item);
    return true;
}

} // namespace kestrom::ui
