#include "drawing/Shapes.h"

#include <cmath>

namespace kestrom::drawing {
namespace {

constexpr double kPortHalfWidth = 2400;
constexpr double kPortHalfHeight = 1300;
constexpr double kResetRadius = 2200;

Point Along(Point from, Point to, double t) {
    return {from.X + (to.X - from.X) * t, from.Y + (to.Y - from.Y) * t};
}

// The unit vector from `from` to `to`, or nothing when they coincide.
bool Direction(Point from, Point to, Point& unit) {
    const double dx = to.X - from.X, dy = to.Y - from.Y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0) || !std::isfinite(length)) return false;
    unit = {dx / length, dy / length};
    return true;
}

std::vector<Point> Shifted(Point at, std::vector<Point> outline) {
    for (Point& point : outline) {
        point.X += at.X;
        point.Y += at.Y;
    }
    return outline;
}

} // namespace

std::vector<Point> ArrowHeadAt(const std::vector<Point>& chain) {
    if (chain.size() < 2) return {};
    const Point tip = chain.back();
    Point unit{1, 0};
    for (std::size_t i = chain.size() - 1; i-- > 0;)
        if (Direction(chain[i], tip, unit)) break;
    const Point base{tip.X - unit.X * kArrowLength, tip.Y - unit.Y * kArrowLength};
    const Point side{-unit.Y * kArrowWidth / 2, unit.X * kArrowWidth / 2};
    return {tip, {base.X + side.X, base.Y + side.Y}, {base.X - side.X, base.Y - side.Y}};
}

Point StartDirection(const std::vector<Point>& chain) {
    Point unit{1, 0};
    for (std::size_t i = 1; i < chain.size(); ++i)
        if (Direction(chain[0], chain[i], unit)) break;
    return unit;
}

Point ChainMiddle(const std::vector<Point>& chain) {
    if (chain.empty()) return {};
    if (chain.size() < 4) return chain.front();
    const std::size_t segments = (chain.size() - 1) / 3;
    const std::size_t first = (segments / 2) * 3;
    const double t = segments % 2 == 1 ? 0.5 : 0.0;
    const Point a = chain[first], b = chain[first + 1], c = chain[first + 2], d = chain[first + 3];
    const double u = 1 - t;
    return {u * u * u * a.X + 3 * u * u * t * b.X + 3 * u * t * t * c.X + t * t * t * d.X,
            u * u * u * a.Y + 3 * u * u * t * b.Y + 3 * u * t * t * c.Y + t * t * t * d.Y};
}

std::vector<Point> StraightChain(Point from, double fromRadius, Point to, double toRadius) {
    Point unit;
    if (Direction(from, to, unit) &&
        std::hypot(to.X - from.X, to.Y - from.Y) > fromRadius + toRadius) {
        from = {from.X + unit.X * fromRadius, from.Y + unit.Y * fromRadius};
        to = {to.X - unit.X * toRadius, to.Y - unit.Y * toRadius};
    }
    return {from, Along(from, to, 1.0 / 3), Along(from, to, 2.0 / 3), to};
}

Point PortSymbolCentre(Point anchor) {
    return {anchor.X + kPortHalfWidth, anchor.Y - kPortHalfHeight};
}

std::vector<Point> InPortSymbol(Point at) {
    const double w = kPortHalfWidth, h = kPortHalfHeight;
    return Shifted(at, {{-w, -h}, {w - h, -h}, {w, 0}, {w - h, h}, {-w, h}});
}

std::vector<Point> OutPortSymbol(Point at) {
    const double w = kPortHalfWidth, h = kPortHalfHeight;
    return Shifted(at, {{-w, -h}, {w - h, -h}, {w, 0}, {w - h, h}, {-w, h}, {-w + h, 0}});
}

std::vector<Point> InOutPortSymbol(Point at) {
    const double w = kPortHalfWidth, h = kPortHalfHeight;
    return Shifted(at, {{-w, 0}, {-w + h, -h}, {w - h, -h}, {w, 0}, {w - h, h}, {-w + h, h}});
}

std::vector<Point> BoxSymbol(Point at) {
    const double w = kPortHalfWidth, h = kPortHalfHeight;
    return Shifted(at, {{-w, -h}, {w, -h}, {w, h}, {-w, h}});
}

std::vector<Point> ResetSymbol(Point at) {
    std::vector<Point> outline;
    const double pi = std::acos(-1.0);
    for (int k = 0; k < 8; ++k) {
        const double angle = pi / 8 + k * pi / 4;
        outline.push_back({kResetRadius * std::cos(angle), kResetRadius * std::sin(angle)});
    }
    return Shifted(at, outline);
}

} // namespace kestrom::drawing
