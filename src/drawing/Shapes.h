// The small shapes of a picture, in sheet units with y up.
#pragma once

#include <vector>

#include "drawing/Drawing.h"

namespace kestrom::drawing {

constexpr double kArrowLength = 3000;
constexpr double kArrowWidth = 2000;

// A filled triangle with its tip at the chain's end, along the last tangent.
std::vector<Point> ArrowHeadAt(const std::vector<Point>& chain);

// The point halfway along the chain's middle segment.
Point ChainMiddle(const std::vector<Point>& chain);

// A straight cubic segment from `from` to `to`, each end moved in by its radius.
std::vector<Point> StraightChain(Point from, double fromRadius, Point to, double toRadius);

// The unit vector at the chain's start, leaving the source.
Point StartDirection(const std::vector<Point>& chain);

// The editor anchors a port at its symbol's top-left corner; the symbols
// below are drawn around this centre.
Point PortSymbolCentre(Point anchor);

// Port symbols centred on `at`: an arrow pointing right (in), an arrow
// with a notched back (out), a double arrow (both ways), a box (signal,
// constant).
std::vector<Point> InPortSymbol(Point at);
std::vector<Point> OutPortSymbol(Point at);
std::vector<Point> InOutPortSymbol(Point at);
std::vector<Point> BoxSymbol(Point at);

// The reset symbol: an octagon around the anchor.
std::vector<Point> ResetSymbol(Point at);

} // namespace kestrom::drawing
