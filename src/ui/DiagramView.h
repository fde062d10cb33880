// A drawn diagram on its sheet: fitted to the window until the user zooms
// (Ctrl+wheel, Ctrl++ and Ctrl+-; Ctrl+0 fits again), panned by dragging or
// scrolling. Items carry their object's id so that other views can point at them.
#pragma once

#include <cstdint>

#include <QGraphicsView>

namespace kestrom::ui {

class DiagramView : public QGraphicsView {
    Q_OBJECT

public:
    // The item data key that holds an item's object id.
    static constexpr int kObjectIdKey = 0;

    explicit DiagramView(QWidget* parent = nullptr);

    // Takes the scene; the sheet is what fitting shows.
    void SetScene(QGraphicsScene* scene, const QRectF& sheet);

    void ZoomIn();
    void ZoomOut();
    void Fit();
    bool IsFitted() const { return fitted_; }
    double Scale() const { return transform().m11(); }

    // Selects the object's item and centres it; false when none shows it.
    bool CentreOn(std::int64_t objectId);
    QGraphicsItem* ItemOf(std::int64_t objectId) const;

signals:
    void ObjectDoubleClicked(std::int64_t objectId);
    // The context menu was asked for over these objects' items, topmost first.
    void ObjectsContextMenu(const QList<std::int64_t>& objectIds, const QPoint& globalPos);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ZoomBy(double factor);
    double FitScale() const;
    void SetScrollBars(Qt::ScrollBarPolicy policy);
    void AddShortcut(const QKeySequence& keys, void (DiagramView::*command)());

    QRectF sheet_;
    bool fitted_ = true;
};

} // namespace kestrom::ui
