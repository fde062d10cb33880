// Paints the drawing's picture description with Qt, for the diagram window
// and the PNG export alike. Scene coordinates are sheet units with y turned
// to grow downward: a sheet point (x, y) is painted at (x, -y).
#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>

#include "drawing/Picture.h"

class QPainter;

namespace kestrom::ui {

inline QPointF ScenePoint(const drawing::Point& point) {
    return {point.X, -point.Y};
}

// The sheet as a scene rectangle.
QRectF SheetRect(const drawing::Picture& picture);

// What the item's primitives cover, texts included.
QRectF ItemBounds(const drawing::PictureItem& item, double textHeight);

inline constexpr int kAllLines = 1 << 30;

// How a simulation marks an item: the state it is in, the transition it
// just took.
enum ItemMark : unsigned { kNoMark = 0, kCurrentMark = 1, kTakenMark = 2 };

// pixelsPerUnit says how large the item shows: texts too small to read are
// left out. A text of more than maxLines lines ends in an ellipsis.
void PaintItem(QPainter& painter, const drawing::PictureItem& item, double textHeight,
               double pixelsPerUnit, int maxLines, unsigned marks = kNoMark);

// The white sheet and every item on it, `width` pixels wide.
QImage RenderPicture(const drawing::Picture& picture, int width);

} // namespace kestrom::ui
