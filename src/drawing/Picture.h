// One diagram's picture as a list of simple shapes in sheet units (y up),
// shared by the window's diagram view and the SVG export so that both show
// the same thing. Standard C++ only; painters flip y themselves.
#pragma once

#include <string>
#include <vector>

#include "drawing/DrawnMachine.h"

namespace kestrom::drawing {

enum class PrimitiveKind {
    Ellipse,       // Points[0] centre, Radius
    DoubleEllipse, // Points[0] centre, Radius outside, Radius - Inset inside
    Dot,           // Points[0] centre, Radius; filled
    Bezier,        // Points: 1 + 3k points of cubic segments
    Polygon,       // Points: closed outline; filled (arrow heads, port and reset symbols)
    Line,          // Points: a polyline
    Rectangle,     // Points[0] low corner, Points[1] high corner
    Text,          // Points[0] anchor; Text may hold several lines
};

// What a primitive shows, for its colours and line style.
enum class PrimitiveRole {
    State,
    Initial,
    Default,
    Trap,
    Junction,
    Hierarchical,
    StateName,
    Transition,
    ArrowHead,
    Condition,
    Priority,
    Action,
    PortIn,
    PortOut,
    PortInOut,
    Signal,
    Constant,
    PortName,
    Reset,
    Entry,
    Exit,
    Link,
    Comment,
    GraphicText,
    Declaration,
    Label,
    Frame,
};

// "state", "initial", "arrow-head", "port-in", …: the role as a style class name.
const char* RoleName(PrimitiveRole role);

// Where a text's anchor sits on its block of lines: Centre, the block's
// centre; Left, its top-left corner (lines start there and run downward);
// Right, its top-right corner.
enum class TextAlign { Left, Centre, Right };

struct Primitive {
    PrimitiveKind Kind = PrimitiveKind::Line;
    PrimitiveRole Role = PrimitiveRole::State;
    std::vector<Point> Points;
    Point Radius;
    double Inset = 0;  // DoubleEllipse: gap between the two outlines
    std::string Text;  // Text: lines separated by '\n'
    double Height = 0; // Text: one line's height; 0: the picture's TextHeight
    TextAlign Align = TextAlign::Centre;
};

struct PictureItem {
    std::string Group; // "state", "transition", "port", "text", "frame", "builtin"
    ObjectId Id = 0;
    int Line = 0; // ASF line of the object, for the problems panel and selection
    std::vector<Primitive> Primitives;
};

struct Picture {
    ObjectId Diagram = 1;
    Point Low{0, 0}; // the sheet
    Point High{215900, 279400};
    double TextHeight = 3527; // one text line, in sheet units
    std::vector<PictureItem> Items;
};

// The picture of one diagram (1 = the top level, else a sub-diagram's H id);
// an unknown diagram gives an empty sheet.
Picture BuildPicture(const Drawing& drawing, const DrawnMachine& machine, ObjectId diagram = 1);

} // namespace kestrom::drawing
