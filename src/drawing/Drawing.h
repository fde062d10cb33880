// The whole ASF file as drawn: every object with its kind, style, geometry,
// texts and place in the hierarchy. Read independently of the generator's
// reader (whose tables and limits stay as they are) and with no fixed limits;
// the diagram view, the picture export and the generation extensions all
// read from this one reading. Standard C++ only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Diagnostics.h"

namespace kestrom::drawing {

using ObjectId = std::int64_t;

// Thousandths of a millimetre on the sheet; y grows upward.
struct Point {
    double X = 0;
    double Y = 0;
};

enum class ObjectKind {
    State,       // S
    Label,       // L
    Action,      // A
    Transition,  // W
    Condition,   // C
    Builtin,     // I (ports, reset, entry, exit, link, signals, constants)
    Frame,       // F: the top-level diagram's frame
    SubFrame,    // H: the frame of a hierarchical state's sub-diagram
    GraphicText, // G
    Comment,     // K
    Declaration, // D
    Other,       // any other letter: kept, never drawn
};

enum class BuiltinKind {
    InPort,
    OutPort,
    BiDirPort,
    Signal,
    Constant,
    Reset,
    Entry,
    Exit,
    Link,
    Other
};

// Token 3 of an A line.
enum ActionKind : int {
    kDiagramAction = 1,
    kEntryAction = 2,
    kStateAction = 4,
    kExitAction = 8,
    kTransitionAction = 16,
};

struct DrawnObject {
    ObjectKind Kind = ObjectKind::Other;
    char Letter = '?';
    ObjectId Id = 0;
    ObjectId Parent = 0;    // token 2: parent diagram/frame, or owner (L, A, C, K, D, H)
    std::int64_t Flags = 0; // token 3 (for A lines: the action kind)
    int Line = 0;           // ASF line the object starts on
    int LastLine = 0;       // last continuation line (== Line without continuations)

    std::string Style; // bundle name without quotes, or the inline style tokens
    BuiltinKind Builtin = BuiltinKind::Other; // I lines
    ObjectId From = 0;                        // W lines
    ObjectId To = 0;                          // W lines
    ObjectId Clock = 0;                       // F lines: token 4, the clock port's id

    // Geometry after the '|': states: Points[0] = centre and Radius;
    // transitions: 1 + 3k Bézier points; texts and builtins: Points[0] is the
    // anchor; frames: two corners.
    std::vector<Point> Points;
    Point Radius;               // S lines: rx, ry
    bool GeometryValid = false; // false: drawn at a fallback place or left out
    std::string Text;           // decoded text (escapes \n, \", \\ undone) of L/A/C/G/K/D
    int TextColumn = 0;         // 1-based column of the text's first character on Line; 0: none
};

struct Sheet {
    ObjectId Diagram = 1; // 1 = the top level, otherwise the hierarchical state's id
    Point Low{0, 0};
    Point High{215900, 279400};
    int Line = 0;
};

// A named style of the BUNDLES section: `B T "Conditions" 128,0,128 0 0 0 …`.
struct Bundle {
    char Kind = '?';       // T text, F filled shape, L line
    std::string Name;      // without quotes
    std::string Style;     // the tokens after the name, as for an inline style
    double TextHeight = 0; // StyleTextHeight(Style)
    int Line = 0;
};

// The text height of a style (the seventh style token, in sheet units), or
// 0 when the style does not give one.
double StyleTextHeight(std::string_view style);

struct Drawing {
    std::string Version;  // "1.19"
    int MinorVersion = 0; // 19; 0 when the first line is not VERSION=1.nn
    std::string Language; // VERILOG, VHDL, … as in the header
    std::string Entity;
    std::string Libraries; // the header's "LIBRARIES=…" text, decoded
    int LibrariesLine = 0; // its line; 0 without one
    std::vector<Sheet> Sheets;
    std::vector<Bundle> Bundles;
    std::vector<DrawnObject> Objects; // in file order
    // What could not be read; the reader never throws on content, it keeps
    // what it could and says which line it left out or placed by fallback.
    Diagnostics Problems;

    const DrawnObject* Find(ObjectId id) const;
    void Index(); // rebuilds the id and bundle lookups after Objects or Bundles changed

    // The bundle of that name, or null.
    const Bundle* FindBundle(std::string_view name) const;
    // The text height an object's style (bundle or inline) gives, or 0.
    double TextHeightOf(const DrawnObject& object) const;

private:
    std::unordered_map<ObjectId, std::size_t> byId_;
    std::unordered_map<std::string, std::size_t> bundleByName_;
};

// Reads the text as drawn; never throws on content.
Drawing ReadDrawingText(std::string_view text);

// Throws AsfError (line 0) when the file cannot be opened or read.
Drawing ReadDrawingFile(const std::string& path);

} // namespace kestrom::drawing
