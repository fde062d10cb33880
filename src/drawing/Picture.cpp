#include "drawing/Picture.h"

#include <unordered_map>

#include "drawing/Shapes.h"

namespace kestrom::drawing {
namespace {

constexpr double kDoubleInset = 1000;
constexpr double kFallbackRadius = 6500;
constexpr double kFallbackSpacing = 30000;
constexpr double kPortLabelOffset = 6000;

Primitive Shape(PrimitiveKind kind, PrimitiveRole role, std::vector<Point> points) {
    Primitive primitive;
    primitive.Kind = kind;
    primitive.Role = role;
    primitive.Points = std::move(points);
    return primitive;
}

Primitive Round(PrimitiveKind kind, PrimitiveRole role, Point centre, Point radius) {
    Primitive primitive = Shape(kind, role, {centre});
    primitive.Radius = radius;
    return primitive;
}

Primitive Words(PrimitiveRole role, Point anchor, std::string text, TextAlign align) {
    Primitive primitive = Shape(PrimitiveKind::Text, role, {anchor});
    primitive.Text = std::move(text);
    primitive.Align = align;
    return primitive;
}

PrimitiveRole StateRole(const DrawnState& state) {
    if (state.IsTrap) return PrimitiveRole::Trap;
    if (state.IsDefault) return PrimitiveRole::Default;
    if (state.IsInitial) return PrimitiveRole::Initial;
    if (state.IsHierarchical) return PrimitiveRole::Hierarchical;
    return PrimitiveRole::State;
}

PrimitiveRole TextRole(const DrawnObject& object) {
    switch (object.Kind) {
    case ObjectKind::Action:
        return PrimitiveRole::Action;
    case ObjectKind::Condition:
        return PrimitiveRole::Condition;
    case ObjectKind::GraphicText:
        return PrimitiveRole::GraphicText;
    case ObjectKind::Comment:
        return PrimitiveRole::Comment;
    case ObjectKind::Declaration:
        return PrimitiveRole::Declaration;
    default:
        return PrimitiveRole::Label;
    }
}

class PictureBuilder {
public:
    PictureBuilder(const Drawing& drawing, const DrawnDiagram& diagram, Picture& picture)
        : drawing_(drawing), diagram_(diagram), picture_(picture) {}

    void Build() {
        if (diagram_.Page) {
            picture_.Low = diagram_.Page->Low;
            picture_.High = diagram_.Page->High;
        }
        PlaceStates();
        PlaceBuiltins();
        for (const DrawnObject* other : diagram_.Others)
            if (other->Kind == ObjectKind::Frame || other->Kind == ObjectKind::SubFrame)
                AddFrame(*other);
        for (const DrawnTransition& transition : diagram_.Transitions)
            AddTransition(transition);
        for (const DrawnState& state : diagram_.States)
            AddState(state);
        for (const DrawnPort& port : diagram_.Ports)
            AddPort(port);
        for (const DrawnObject* other : diagram_.Others)
            AddOther(*other);
    }

private:
    struct Place {
        Point Centre;
        double Radius = 0;
    };

    PictureItem& NewItem(const char* group, const DrawnObject& object) {
        PictureItem item;
        item.Group = group;
        item.Id = object.Id;
        item.Line = object.Line;
        picture_.Items.push_back(std::move(item));
        return picture_.Items.back();
    }

    // States without geometry stand in a row along the sheet's foot.
    void PlaceStates() {
        int fallbacks = 0;
        const double width = picture_.High.X - picture_.Low.X;
        const int perRow = std::max(1, static_cast<int>(width / kFallbackSpacing) - 1);
        for (const DrawnState& state : diagram_.States) {
            const DrawnObject& object = *state.Object;
            if (object.GeometryValid) {
                places_[object.Id] = {object.Points[0], std::max(object.Radius.X, object.Radius.Y)};
                continue;
            }
            const Point at{picture_.Low.X + kFallbackSpacing * (1 + fallbacks % perRow),
                           picture_.Low.Y + kFallbackSpacing * (1 + fallbacks / perRow)};
            ++fallbacks;
            places_[object.Id] = {at, kFallbackRadius};
        }
    }

    void PlaceBuiltins() {
        for (const DrawnPort& port : diagram_.Ports)
            if (port.Object->GeometryValid) places_[port.Object->Id] = {port.Object->Points[0], 0};
        for (const DrawnObject* other : diagram_.Others)
            if (other->Kind == ObjectKind::Builtin && other->GeometryValid)
                places_[other->Id] = {other->Points[0], 0};
    }

    const Place* PlaceOf(ObjectId id) const {
        const auto found = places_.find(id);
        return found == places_.end() ? nullptr : &found->second;
    }

    void AddState(const DrawnState& state) {
        const Place& place = places_.at(state.Object->Id);
        PictureItem& item = NewItem("state", *state.Object);
        const Point radius =
            state.Object->GeometryValid ? state.Object->Radius : Point{place.Radius, place.Radius};
        if (state.IsJunction) {
            item.Primitives.push_back(
                Round(PrimitiveKind::Dot, PrimitiveRole::Junction, place.Centre, radius));
        } else {
            Primitive outline =
                Round(state.IsHierarchical ? PrimitiveKind::DoubleEllipse : PrimitiveKind::Ellipse,
                      StateRole(state), place.Centre, radius);
            outline.Inset = kDoubleInset;
            item.Primitives.push_back(outline);
        }
        const bool labelPlaced = state.Label && state.Label->GeometryValid;
        const Point nameAt = labelPlaced ? state.Label->Points[0] : place.Centre;
        if (!state.Name.empty())
            item.Primitives.push_back(TextOf(*state.Label, PrimitiveRole::StateName, nameAt,
                                             state.Name, TextAlign::Centre));
        const Point beside{place.Centre.X + place.Radius + 2000, place.Centre.Y};
        AddTexts(item, state.Actions, beside);
    }

    // Texts at their drawn places, or stacked at `fallback`.
    void AddTexts(PictureItem& item, const std::vector<const DrawnObject*>& texts, Point fallback) {
        for (const DrawnObject* text : texts) {
            const Point at = text->GeometryValid ? text->Points[0] : fallback;
            item.Primitives.push_back(
                TextOf(*text, TextRole(*text), at, text->Text, AlignOf(*text)));
            if (!text->GeometryValid) fallback.Y -= picture_.TextHeight * 2;
        }
    }

    // A style whose last token is 4 centres its texts (the editor's state
    // labels); the others start at their anchor.
    TextAlign AlignOf(const DrawnObject& text) const {
        const Bundle* bundle = drawing_.FindBundle(text.Style);
        std::string_view style = bundle ? bundle->Style : text.Style;
        while (!style.empty() && style.back() == ' ')
            style.remove_suffix(1);
        const std::size_t blank = style.rfind(' ');
        const std::string_view last =
            blank == std::string_view::npos ? style : style.substr(blank + 1);
        return last == "4" ? TextAlign::Centre : TextAlign::Left;
    }

    std::vector<Point> ChainOf(const DrawnObject& object) const {
        if (object.GeometryValid) return object.Points;
        const Place* from = PlaceOf(object.From);
        const Place* to = PlaceOf(object.To);
        if (!from || !to) return {};
        return StraightChain(from->Centre, from->Radius, to->Centre, to->Radius);
    }

    void AddTransition(const DrawnTransition& transition) {
        const DrawnObject& object = *transition.Object;
        const std::vector<Point> chain = ChainOf(object);
        if (chain.empty()) return; // no geometry and an end that is not drawn
        PictureItem& item = NewItem("transition", object);
        item.Primitives.push_back(Shape(PrimitiveKind::Bezier, PrimitiveRole::Transition, chain));
        item.Primitives.push_back(
            Shape(PrimitiveKind::Polygon, PrimitiveRole::ArrowHead, ArrowHeadAt(chain)));
        if (transition.Priority != 0) {
            const Point unit = StartDirection(chain);
            const Point at{chain[0].X + unit.X * 4000 - unit.Y * 2500,
                           chain[0].Y + unit.Y * 4000 + unit.X * 2500};
            item.Primitives.push_back(Words(PrimitiveRole::Priority, at,
                                            std::to_string(transition.Priority),
                                            TextAlign::Centre));
        }
        const Point middle = ChainMiddle(chain);
        if (transition.Condition) AddTexts(item, {transition.Condition}, middle);
        AddTexts(item, transition.Actions, {middle.X, middle.Y - picture_.TextHeight * 2});
    }

    void AddPort(const DrawnPort& port) {
        const DrawnObject& object = *port.Object;
        if (!object.GeometryValid) return;
        PictureItem& item = NewItem("port", object);
        const Point at = PortSymbolCentre(object.Points[0]);
        switch (object.Builtin) {
        case BuiltinKind::InPort:
            item.Primitives.push_back(
                Shape(PrimitiveKind::Polygon, PrimitiveRole::PortIn, InPortSymbol(at)));
            break;
        case BuiltinKind::OutPort:
            item.Primitives.push_back(
                Shape(PrimitiveKind::Polygon, PrimitiveRole::PortOut, OutPortSymbol(at)));
            break;
        case BuiltinKind::BiDirPort:
            item.Primitives.push_back(
                Shape(PrimitiveKind::Polygon, PrimitiveRole::PortInOut, InOutPortSymbol(at)));
            break;
        default:
            item.Primitives.push_back(Shape(PrimitiveKind::Polygon,
                                            object.Builtin == BuiltinKind::Signal
                                                ? PrimitiveRole::Signal
                                                : PrimitiveRole::Constant,
                                            BoxSymbol(at)));
        }
        if (!port.Label) return;
        const Point nameAt = port.Label->GeometryValid
                                 ? port.Label->Points[0]
                                 : Point{object.Points[0].X + kPortLabelOffset, object.Points[0].Y};
        item.Primitives.push_back(TextOf(*port.Label, PrimitiveRole::PortName, nameAt,
                                         port.Label->Text, TextAlign::Left));
    }

    void AddFrame(const DrawnObject& frame) {
        if (!frame.GeometryValid) return;
        PictureItem& item = NewItem("frame", frame);
        item.Primitives.push_back(
            Shape(PrimitiveKind::Rectangle, PrimitiveRole::Frame, frame.Points));
    }

    void AddBuiltin(const DrawnObject& builtin) {
        if (!builtin.GeometryValid) return;
        const Point at = builtin.Points[0];
        PictureItem& item = NewItem("builtin", builtin);
        switch (builtin.Builtin) {
        case BuiltinKind::Reset:
            item.Primitives.push_back(
                Shape(PrimitiveKind::Polygon, PrimitiveRole::Reset, ResetSymbol(at)));
            break;
        case BuiltinKind::Entry:
            item.Primitives.push_back(
                Round(PrimitiveKind::Ellipse, PrimitiveRole::Entry, at, {2000, 2000}));
            break;
        case BuiltinKind::Exit:
            item.Primitives.push_back(
                Round(PrimitiveKind::DoubleEllipse, PrimitiveRole::Exit, at, {2000, 2000}));
            item.Primitives.back().Inset = kDoubleInset;
            break;
        default:
            item.Primitives.push_back(
                Shape(PrimitiveKind::Polygon, PrimitiveRole::Link, InPortSymbol(at)));
        }
    }

    void AddOther(const DrawnObject& other) {
        switch (other.Kind) {
        case ObjectKind::Builtin:
            return AddBuiltin(other);
        case ObjectKind::Label:
        case ObjectKind::Action:
        case ObjectKind::Condition:
        case ObjectKind::GraphicText:
        case ObjectKind::Comment:
        case ObjectKind::Declaration:
            if (!other.GeometryValid) return;
            return AddTexts(NewItem("text", other), {&other}, {});
        default:
            return;
        }
    }

    // A text primitive of the object, in its style's size.
    Primitive TextOf(const DrawnObject& object, PrimitiveRole role, Point at, std::string text,
                     TextAlign align) const {
        Primitive primitive = Words(role, at, std::move(text), align);
        primitive.Height = drawing_.TextHeightOf(object);
        return primitive;
    }

    const Drawing& drawing_;
    const DrawnDiagram& diagram_;
    Picture& picture_;
    std::unordered_map<ObjectId, Place> places_;
};

} // namespace

const char* RoleName(PrimitiveRole role) {
    static constexpr const char* kNames[] = {
        "state",       "initial",    "default",     "trap",      "junction", "hierarchical",
        "state-name",  "transition", "arrow-head",  "condition", "priority", "action",
        "port-in",     "port-out",   "port-in-out", "signal",    "constant", "port-name",
        "reset",       "entry",      "exit",        "link",      "comment",  "graphic-text",
        "declaration", "label",      "frame"};
    static_assert(sizeof kNames / sizeof kNames[0] == static_cast<int>(PrimitiveRole::Frame) + 1);
    return kNames[static_cast<int>(role)];
}

Picture BuildPicture(const Drawing& drawing, const DrawnMachine& machine, ObjectId diagram) {
    Picture picture;
    picture.Diagram = diagram;
    if (const DrawnDiagram* found = machine.Find(diagram))
        PictureBuilder(drawing, *found, picture).Build();
    return picture;
}

} // namespace kestrom::drawing
