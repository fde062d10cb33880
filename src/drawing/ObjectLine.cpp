#include "drawing/ObjectLine.h"

#include <algorithm>
#include <array>
#include <climits>

#include "drawing/LineTokens.h"

namespace kestrom::drawing {
namespace {

struct KindInfo {
    char Letter;
    ObjectKind Kind;
    const char* Name;
};

constexpr std::array<KindInfo, 11> kKinds{{
    {'S', ObjectKind::State, "state"},
    {'L', ObjectKind::Label, "label"},
    {'A', ObjectKind::Action, "action"},
    {'W', ObjectKind::Transition, "transition"},
    {'C', ObjectKind::Condition, "condition"},
    {'I', ObjectKind::Builtin, "builtin"},
    {'F', ObjectKind::Frame, "frame"},
    {'H', ObjectKind::SubFrame, "sub-diagram frame"},
    {'G', ObjectKind::GraphicText, "graphic text"},
    {'K', ObjectKind::Comment, "comment"},
    {'D', ObjectKind::Declaration, "declaration"},
}};

ObjectKind KindOf(char letter) {
    for (const KindInfo& info : kKinds)
        if (info.Letter == letter) return info.Kind;
    return ObjectKind::Other;
}

BuiltinKind BuiltinOf(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, BuiltinKind>, 9> kBuiltins{{
        {"InPort", BuiltinKind::InPort},
        {"OutPort", BuiltinKind::OutPort},
        {"BiDirPort", BuiltinKind::BiDirPort},
        {"Signal", BuiltinKind::Signal},
        {"Constant", BuiltinKind::Constant},
        {"Reset", BuiltinKind::Reset},
        {"Entry", BuiltinKind::Entry},
        {"Exit", BuiltinKind::Exit},
        {"Link", BuiltinKind::Link},
    }};
    for (const auto& [text, kind] : kBuiltins)
        if (text == name) return kind;
    return BuiltinKind::Other;
}

void AddProblem(Diagnostics& problems, int line, std::string message) {
    problems.push_back({line, std::move(message), code::kDrawingProblem});
}

const char* FallbackOf(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::State:
        return "drawn at a fallback place";
    case ObjectKind::Transition:
        return "drawn straight between its ends";
    case ObjectKind::Label:
        return "drawn at its owner's place, if that is drawn";
    case ObjectKind::Condition:
        return "drawn at the middle of its transition";
    case ObjectKind::Action:
        return "drawn beside its owner";
    default:
        return "left out of the picture";
    }
}

bool IsShapeWord(std::string_view token) {
    return token == "ELLIPSE" || token == "RECT" || token == "BEZIER" || token == "TEXT" ||
           token == "Builtin";
}

// Reads the tokens before the '|': ids, flags, ends, style.
class HeadReader {
public:
    HeadReader(DrawnObject& object, const std::vector<Token>& head, int line, Diagnostics& problems)
        : object_(object), head_(head), line_(line), problems_(problems) {}

    bool Read() {
        const auto id = head_.size() > 1 ? ParseInteger(head_[1].Text) : std::nullopt;
        if (!id) return Fail("has no object id");
        object_.Id = *id;
        const auto parent = head_.size() > 2 ? ParseInteger(head_[2].Text) : std::nullopt;
        if (!parent) return Fail("has no parent");
        object_.Parent = *parent;
        object_.Flags = Number(3, "flags");
        if (object_.Kind == ObjectKind::Transition) {
            object_.From = Number(4, "source");
            object_.To = Number(5, "target");
        }
        if (object_.Kind == ObjectKind::Frame) object_.Clock = Number(4, "clock port");
        ReadStyle();
        return true;
    }

private:
    bool Fail(const char* what) {
        AddProblem(problems_, line_,
                   std::string(1, object_.Letter) + " line " + what + " (\"" +
                       Shown(head_.size() > 1 ? head_[1].Text : "") + "\"): left out");
        return false;
    }

    std::int64_t Number(std::size_t index, const char* what) {
        if (index < head_.size()) {
            if (const auto value = ParseInteger(head_[index].Text)) return *value;
        }
        AddProblem(
            problems_, line_,
            Describe(object_) + ": the " + what + " token is missing or no number" +
                (index < head_.size() ? " (\"" + Shown(head_[index].Text) + "\")" : std::string()) +
                "; taken as 0");
        return 0;
    }

    void ReadStyle() {
        std::size_t shape = 3;
        while (shape < head_.size() && !IsShapeWord(head_[shape].Text))
            ++shape;
        if (shape >= head_.size()) {
            // Lines cut short by hand: the builtin's kind as the fifth token.
            if (object_.Kind == ObjectKind::Builtin && head_.size() > 5)
                object_.Builtin = BuiltinOf(head_[5].Text);
            return;
        }
        if (head_[shape].Text == "Builtin") {
            if (shape + 1 < head_.size()) object_.Builtin = BuiltinOf(head_[shape + 1].Text);
            return;
        }
        if (shape + 2 == head_.size() && head_[shape + 1].Quoted) {
            object_.Style = DecodeQuoted(head_[shape + 1]);
            return;
        }
        for (std::size_t i = shape + 1; i < head_.size(); ++i) {
            if (!object_.Style.empty()) object_.Style += ' ';
            object_.Style += head_[i].Text;
        }
    }

    DrawnObject& object_;
    const std::vector<Token>& head_;
    int line_;
    Diagnostics& problems_;
};

// Reads the tokens after the '|' by the object's kind.
class GeometryReader {
public:
    GeometryReader(DrawnObject& object, const std::vector<Token>& geometry, int line,
                   Diagnostics& problems)
        : object_(object), geometry_(geometry), line_(line), problems_(problems) {}

    void Read() {
        switch (object_.Kind) {
        case ObjectKind::State:
            return ReadState();
        case ObjectKind::Transition:
            return ReadChain();
        case ObjectKind::Frame:
        case ObjectKind::SubFrame:
            return ReadCorners();
        case ObjectKind::Other:
            return;
        default:
            return ReadAnchor();
        }
    }

private:
    void Problem(const std::string& what) {
        AddProblem(problems_, line_,
                   Describe(object_) + ": " + what + "; " + FallbackOf(object_.Kind));
    }

    bool ReadPoint(std::size_t index, Point& point) {
        if (index >= geometry_.size()) return false;
        const auto parsed = ParsePoint(geometry_[index].Text);
        if (!parsed) {
            Problem("\"" + Shown(geometry_[index].Text) + "\" is no point on any sheet");
            return false;
        }
        point = *parsed;
        return true;
    }

    void ReadState() {
        if (geometry_.size() < 3) return Problem("too few coordinates (a centre and two radii)");
        Point centre;
        if (!ReadPoint(0, centre)) return;
        const auto rx = ParseCoordinate(geometry_[1].Text);
        const auto ry = ParseCoordinate(geometry_[2].Text);
        if (!rx || !ry || *rx <= 0 || *ry <= 0)
            return Problem("the radii \"" + Shown(geometry_[1].Text) + "\" and \"" +
                           Shown(geometry_[2].Text) + "\" are no lengths on any sheet");
        object_.Points = {centre};
        object_.Radius = {*rx, *ry};
        object_.GeometryValid = true;
    }

    void ReadChain() {
        std::vector<Point> points;
        for (std::size_t i = 0; i < geometry_.size(); ++i) {
            Point point;
            if (!ReadPoint(i, point)) return;
            points.push_back(point);
        }
        if (points.size() < 4)
            return Problem(std::to_string(points.size()) +
                           " points are too few for a Bézier segment (4 points)");
        const std::size_t extra = (points.size() - 1) % 3;
        if (extra != 0) {
            AddProblem(problems_, line_,
                       Describe(object_) + ": " + std::to_string(points.size()) +
                           " points make no chain of Bézier segments (4, 7, "
                           "10, … points); the last " +
                           std::to_string(extra) + " left out");
            points.resize(points.size() - extra);
        }
        object_.Points = std::move(points);
        object_.GeometryValid = true;
    }

    void ReadCorners() {
        Point low, high;
        if (geometry_.size() < 2) return Problem("too few coordinates (two corners)");
        if (!ReadPoint(0, low) || !ReadPoint(1, high)) return;
        object_.Points = {low, high};
        object_.GeometryValid = true;
    }

    void ReadAnchor() {
        for (const Token& token : geometry_) {
            if (token.Quoted) {
                object_.Text = DecodeQuoted(token);
                break;
            }
        }
        if (geometry_.empty()) return Problem("too few coordinates (an anchor point)");
        Point anchor;
        if (!ReadPoint(0, anchor)) return;
        object_.Points = {anchor};
        object_.GeometryValid = true;
    }

    DrawnObject& object_;
    const std::vector<Token>& geometry_;
    int line_;
    Diagnostics& problems_;
};

// Where a quoted token's text starts on its line, 1-based.
int ColumnAfterQuote(std::string_view line, const Token& token) {
    const std::size_t offset = static_cast<std::size_t>(token.Text.data() - line.data());
    return offset + 2 <= static_cast<std::size_t>(INT_MAX) ? static_cast<int>(offset + 2) : 0;
}

} // namespace

std::string Describe(const DrawnObject& object) {
    for (const KindInfo& info : kKinds)
        if (info.Letter == object.Letter)
            return std::string(info.Name) + " " + std::to_string(object.Id);
    return "object " + std::to_string(object.Id);
}

std::optional<DrawnObject> ReadObjectLine(std::string_view text, int line, Diagnostics& problems) {
    const std::vector<Token> tokens = Tokenize(text);
    if (tokens.empty()) return std::nullopt;
    DrawnObject object;
    object.Line = object.LastLine = line;
    object.Letter = tokens[0].Text.size() == 1 ? tokens[0].Text[0] : '?';
    object.Kind = tokens[0].Text.size() == 1 ? KindOf(object.Letter) : ObjectKind::Other;
    std::size_t bar = 0;
    while (bar < tokens.size() && !(tokens[bar].Text == "|" && !tokens[bar].Quoted))
        ++bar;
    const std::vector<Token> head(tokens.begin(), tokens.begin() + bar);
    const std::vector<Token> geometry(tokens.begin() + std::min(bar + 1, tokens.size()),
                                      tokens.end());
    for (const Token& token : tokens) {
        if (token.Quoted && !token.Closed) {
            AddProblem(problems, line,
                       "a quoted text has no closing quote; read to the line's end");
            break;
        }
    }
    if (object.Kind == ObjectKind::Other) {
        AddProblem(problems, line,
                   "unknown object kind \"" + Shown(tokens[0].Text) + "\": kept, not drawn");
    }
    if (!HeadReader(object, head, line, problems).Read()) return std::nullopt;
    if (bar == tokens.size() && object.Kind != ObjectKind::Other) {
        if (!head.empty() && head.back().Quoted && head.size() > 4) {
            object.Text = DecodeQuoted(head.back());
            object.TextColumn = ColumnAfterQuote(text, head.back());
        }
        AddProblem(problems, line,
                   Describe(object) + ": no geometry (no \"|\"); " + FallbackOf(object.Kind));
        return object;
    }
    GeometryReader(object, geometry, line, problems).Read();
    if (const auto textToken = std::find_if(geometry.begin(), geometry.end(),
                                            [](const Token& token) { return token.Quoted; });
        textToken != geometry.end() && object.Kind != ObjectKind::Transition &&
        object.Kind != ObjectKind::State)
        object.TextColumn = ColumnAfterQuote(text, *textToken);
    return object;
}

} // namespace kestrom::drawing
