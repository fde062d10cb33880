#include "ui/PicturePainter.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include "drawing/RoleStyle.h"

namespace kestrom::ui {
namespace {

using drawing::Primitive;
using drawing::PrimitiveKind;
using Role = drawing::PrimitiveRole;

// Texts are laid out in a font of this many pixels and scaled up to the
// sheet: fonts thousands of units high render poorly.
constexpr double kFontPixels = 36;
constexpr double kSmallestReadablePixels = 3;

struct Colours {
    QColor Line;
    QColor Fill; // invalid: not filled
    double Width = 1;
    Qt::PenStyle Style = Qt::SolidLine;
};

QColor QtColour(drawing::Colour colour) {
    return QColor(colour.Red, colour.Green, colour.Blue);
}

// The SVG file's styles, with outlines one or two pixels wide at every zoom.
Colours ColoursOf(Role role) {
    const drawing::RoleStyle style = drawing::StyleOf(role);
    return {QtColour(style.Line), style.Fill ? QtColour(*style.Fill) : QColor(),
            style.Thick() ? 2.0 : 1.0, style.Dashed ? Qt::DashLine : Qt::SolidLine};
}

QPen PenOf(const Colours& colours) {
    QPen pen(colours.Line, colours.Width, colours.Style);
    pen.setCosmetic(true); // lines stay visible at every zoom
    return pen;
}

QFont TextFont() {
    QFont font("Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(int(kFontPixels));
    // Labels and code need no shaping; without it they measure four times faster.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    return font;
}

const QFont& SharedFont() {
    static const QFont font = TextFont();
    return font;
}

const QFontMetricsF& SharedMetrics() {
    static const QFontMetricsF metrics(SharedFont());
    return metrics;
}

QPainterPath BezierPath(const std::vector<drawing::Point>& points) {
    QPainterPath path;
    if (points.empty()) return path;
    path.moveTo(ScenePoint(points[0]));
    std::size_t i = 1;
    for (; i + 2 < points.size(); i += 3)
        path.cubicTo(ScenePoint(points[i]), ScenePoint(points[i + 1]), ScenePoint(points[i + 2]));
    for (; i < points.size(); ++i)
        path.lineTo(ScenePoint(points[i]));
    return path;
}

QPolygonF Polygon(const std::vector<drawing::Point>& points) {
    QPolygonF polygon;
    for (const drawing::Point& point : points)
        polygon << ScenePoint(point);
    return polygon;
}

QRectF EllipseRect(const drawing::Point& centre, const drawing::Point& radius) {
    return {centre.X - radius.X, -centre.Y - radius.Y, 2 * radius.X, 2 * radius.Y};
}

// The text's lines in font pixels, relative to the anchor.
struct TextLayout {
    QStringList Lines;
    std::vector<QRectF> Boxes;
    double Scale = 1;
};

double LineHeight(const Primitive& text, double textHeight) {
    return text.Height > 0 ? text.Height : textHeight;
}

TextLayout LayOut(const Primitive& text, double textHeight, int maxLines) {
    textHeight = LineHeight(text, textHeight);
    TextLayout layout;
    layout.Lines = QString::fromStdString(text.Text).split('\n');
    if (layout.Lines.size() > maxLines) {
        layout.Lines.resize(maxLines);
        layout.Lines << QString(QChar(0x2026)); // the rest is in the code window
    }
    layout.Scale = textHeight / kFontPixels;
    const QFontMetricsF& metrics = SharedMetrics();
    const double lineHeight = metrics.lineSpacing();
    double top = -lineHeight * double(layout.Lines.size()) / 2;
    for (const QString& line : layout.Lines) {
        const double width = metrics.horizontalAdvance(line);
        double left = -width / 2;
        if (text.Align == drawing::TextAlign::Left) left = 0;
        if (text.Align == drawing::TextAlign::Right) left = -width;
        layout.Boxes.emplace_back(left, top, width, lineHeight);
        top += lineHeight;
    }
    return layout;
}

// Wider than any line of the text, without measuring each line: the
// widest Latin letter times the longest line's length.
QRectF TextBounds(const Primitive& text, double textHeight) {
    static const double widest = SharedMetrics().horizontalAdvance(QChar('W'));
    qsizetype lines = 1, longest = 0, length = 0;
    for (char c : text.Text) {
        if (c == '\n') {
            ++lines;
            length = 0;
        } else {
            longest = std::max(longest, ++length);
        }
    }
    const double scale = LineHeight(text, textHeight) / kFontPixels;
    const double width = double(longest) * widest * scale;
    const double height = double(lines) * SharedMetrics().lineSpacing() * scale;
    const QPointF anchor = ScenePoint(text.Points.at(0));
    double left = anchor.x() - width / 2;
    if (text.Align == drawing::TextAlign::Left) left = anchor.x();
    if (text.Align == drawing::TextAlign::Right) left = anchor.x() - width;
    return {left, anchor.y() - height / 2, width, height};
}

void PaintText(QPainter& painter, const Primitive& text, double textHeight, int maxLines) {
    const TextLayout layout = LayOut(text, textHeight, maxLines);
    painter.save();
    painter.translate(ScenePoint(text.Points.at(0)));
    painter.scale(layout.Scale, layout.Scale);
    painter.setFont(SharedFont());
    painter.setPen(ColoursOf(text.Role).Line);
    const double ascent = SharedMetrics().ascent();
    for (int i = 0; i < layout.Lines.size(); ++i)
        painter.drawText(QPointF(layout.Boxes[i].left(), layout.Boxes[i].top() + ascent),
                         layout.Lines[i]);
    painter.restore();
}

// A state being in: filled in amber; a transition just taken: drawn in thick red.
Colours MarkedColours(const Primitive& shape, unsigned marks, QPen& pen) {
    Colours colours = ColoursOf(shape.Role);
    pen = PenOf(colours);
    const bool outline =
        shape.Kind == PrimitiveKind::Ellipse || shape.Kind == PrimitiveKind::DoubleEllipse;
    if ((marks & kCurrentMark) && outline) {
        colours.Fill = QColor(255, 196, 40);
        pen.setWidthF(3);
        pen.setCosmetic(true);
    }
    if ((marks & kTakenMark) && !outline && shape.Kind != PrimitiveKind::Text) {
        colours.Line = QColor(214, 0, 0);
        pen = QPen(colours.Line, 3);
        pen.setCosmetic(true);
    }
    return colours;
}

void PaintShape(QPainter& painter, const Primitive& shape, unsigned marks) {
    QPen pen;
    const Colours colours = MarkedColours(shape, marks, pen);
    painter.setPen(pen);
    painter.setBrush(colours.Fill.isValid() ? QBrush(colours.Fill) : QBrush(Qt::NoBrush));
    switch (shape.Kind) {
    case PrimitiveKind::Ellipse:
        painter.drawEllipse(EllipseRect(shape.Points.at(0), shape.Radius));
        break;
    case PrimitiveKind::DoubleEllipse: {
        painter.drawEllipse(EllipseRect(shape.Points.at(0), shape.Radius));
        const drawing::Point inner{std::max(0.0, shape.Radius.X - shape.Inset),
                                   std::max(0.0, shape.Radius.Y - shape.Inset)};
        painter.drawEllipse(EllipseRect(shape.Points.at(0), inner));
        break;
    }
    case PrimitiveKind::Dot:
        painter.drawEllipse(EllipseRect(shape.Points.at(0), shape.Radius));
        break;
    case PrimitiveKind::Bezier:
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(BezierPath(shape.Points));
        break;
    case PrimitiveKind::Polygon:
        if (!colours.Fill.isValid()) painter.setBrush(colours.Line);
        painter.drawPolygon(Polygon(shape.Points));
        break;
    case PrimitiveKind::Line:
        painter.drawPolyline(Polygon(shape.Points));
        break;
    case PrimitiveKind::Rectangle:
        painter.drawRect(
            QRectF(ScenePoint(shape.Points.at(0)), ScenePoint(shape.Points.at(1))).normalized());
        break;
    case PrimitiveKind::Text:
        break;
    }
}

bool HasPoints(const Primitive& primitive) {
    const std::size_t needed = primitive.Kind == PrimitiveKind::Rectangle ? 2 : 1;
    return primitive.Points.size() >= needed;
}

} // namespace

QRectF SheetRect(const drawing::Picture& picture) {
    return QRectF(ScenePoint(picture.Low), ScenePoint(picture.High)).normalized();
}

QRectF ItemBounds(const drawing::PictureItem& item, double textHeight) {
    QRectF bounds;
    for (const Primitive& primitive : item.Primitives) {
        if (!HasPoints(primitive)) continue;
        switch (primitive.Kind) {
        case PrimitiveKind::Ellipse:
        case PrimitiveKind::DoubleEllipse:
        case PrimitiveKind::Dot:
            bounds |= EllipseRect(primitive.Points[0], primitive.Radius);
            break;
        case PrimitiveKind::Text:
            bounds |= TextBounds(primitive, textHeight);
            break;
        default:
            bounds |= Polygon(primitive.Points).boundingRect();
            break;
        }
    }
    return bounds;
}

void PaintItem(QPainter& painter, const drawing::PictureItem& item, double textHeight,
               double pixelsPerUnit, int maxLines, unsigned marks) {
    for (const Primitive& primitive : item.Primitives) {
        if (!HasPoints(primitive)) continue;
        if (primitive.Kind != PrimitiveKind::Text)
            PaintShape(painter, primitive, marks);
        else if (LineHeight(primitive, textHeight) * pixelsPerUnit >= kSmallestReadablePixels)
            PaintText(painter, primitive, textHeight, maxLines);
    }
}

QImage RenderPicture(const drawing::Picture& picture, int width) {
    const QRectF sheet = SheetRect(picture);
    const double scale = sheet.width() > 0 ? width / sheet.width() : 1;
    QImage image(width, std::max(1, int(sheet.height() * scale + 0.5)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(-sheet.topLeft());
    for (const drawing::PictureItem& item : picture.Items)
        PaintItem(painter, item, picture.TextHeight, scale, kAllLines);
    return image;
}

} // namespace kestrom::ui
