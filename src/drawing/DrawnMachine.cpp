#include "drawing/DrawnMachine.h"

#include <unordered_map>

#include "base/TextCodec.h"
#include "drawing/LineTokens.h"
#include "drawing/ObjectLine.h"

namespace kestrom::drawing {
namespace {

constexpr ObjectId kTopLevel = 1;
constexpr int kDeepestOwnership = 32; // owners of owners; deeper chains are cycles

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// "/12/" on the label's second line is the state's code.
std::string CodeOf(const std::string& text) {
    const std::size_t end = text.find('\n');
    if (end == std::string::npos) return {};
    std::string code = FirstLine(text.substr(end + 1));
    if (code.size() >= 2 && code.front() == '/' && code.back() == '/')
        code = code.substr(1, code.size() - 2);
    return code;
}

bool IsPort(BuiltinKind kind) {
    return kind == BuiltinKind::InPort || kind == BuiltinKind::OutPort ||
           kind == BuiltinKind::BiDirPort || kind == BuiltinKind::Signal ||
           kind == BuiltinKind::Constant;
}

// "NAME[hi:lo]=\"value\"": the name, the width of the range and the value.
void NamePort(DrawnPort& port, const std::string& label) {
    std::string text = FirstLine(label);
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos) {
        port.Value = text.substr(equals + 1);
        if (port.Value.size() >= 2 && port.Value.front() == '"' && port.Value.back() == '"')
            port.Value = port.Value.substr(1, port.Value.size() - 2);
        text.resize(equals);
    }
    port.Name = StripBusRange(text);
    port.Width = 1;
    const std::size_t open = text.rfind('[');
    const std::size_t colon = text.find(':', open == std::string::npos ? 0 : open);
    const std::size_t close = text.find(']', colon == std::string::npos ? 0 : colon);
    if (open == std::string::npos || colon == std::string::npos || close == std::string::npos)
        return;
    const auto high = ParseInteger(text.substr(open + 1, colon - open - 1));
    const auto low = ParseInteger(text.substr(colon + 1, close - colon - 1));
    if (!high || !low) return;
    const std::int64_t width = (*high > *low ? *high - *low : *low - *high) + 1;
    if (width <= 1'000'000) port.Width = static_cast<int>(width);
}

class MachineBuilder {
public:
    MachineBuilder(const Drawing& drawing, DrawnMachine& machine)
        : drawing_(drawing), machine_(machine) {}

    void Build() {
        for (const Sheet& sheet : drawing_.Sheets)
            sheetOf_.emplace(sheet.Diagram, &sheet);
        AddDiagram(kTopLevel, 0);
        for (const DrawnObject& object : drawing_.Objects)
            if (object.Kind == ObjectKind::SubFrame && !diagramOf_.count(object.Id))
                AddDiagram(object.Id, object.Parent);
        for (const DrawnObject& object : drawing_.Objects)
            PlaceMain(object);
        for (const DrawnObject& object : drawing_.Objects)
            PlaceOwned(object);
        MarkInitialStates();
    }

private:
    void AddDiagram(ObjectId id, ObjectId owner) {
        DrawnDiagram diagram;
        diagram.Id = id;
        diagram.Owner = owner;
        const auto sheet = sheetOf_.find(owner == 0 ? kTopLevel : owner);
        if (sheet != sheetOf_.end()) diagram.Page = sheet->second;
        diagramOf_[id] = machine_.Diagrams.size();
        if (owner != 0) subDiagramOf_.emplace(owner, id);
        machine_.Diagrams.push_back(std::move(diagram));
    }

    void Problem(const DrawnObject& object, const std::string& message) {
        machine_.Problems.push_back(
            {object.Line, Describe(object) + ": " + message, code::kDrawingReference});
    }

    // The diagram an object is drawn in: that of its parent or owner, up the
    // chain of owners; the top level for parent 0 and for what is unknown.
    std::size_t DiagramIndex(const DrawnObject& object, int depth = 0) {
        if (object.Kind == ObjectKind::SubFrame) return diagramOf_.at(object.Id);
        const ObjectId parent = object.Parent;
        if (parent == 0) return 0;
        if (const auto found = diagramOf_.find(parent); found != diagramOf_.end())
            return found->second;
        const DrawnObject* owner = drawing_.Find(parent);
        if (!owner) {
            if (depth == 0)
                Problem(object, "its parent " + std::to_string(parent) +
                                    " is not in the drawing; drawn on the top level");
            return 0;
        }
        if (depth >= kDeepestOwnership) return 0;
        return DiagramIndex(*owner, depth + 1);
    }

    DrawnDiagram& DiagramOf(const DrawnObject& object) {
        return machine_.Diagrams[DiagramIndex(object)];
    }

    void PlaceMain(const DrawnObject& object) {
        switch (object.Kind) {
        case ObjectKind::State: {
            DrawnDiagram& diagram = DiagramOf(object);
            DrawnState state;
            state.Object = &object;
            state.IsDefault = object.Flags % 4 == 1;
            state.IsTrap = object.Flags % 4 == 2;
            state.IsJunction = object.Style == "Junction";
            if (const auto sub = subDiagramOf_.find(object.Id); sub != subDiagramOf_.end()) {
                state.IsHierarchical = true;
                state.SubDiagram = sub->second;
            }
            states_.emplace(object.Id, Slot{&diagram, diagram.States.size()});
            diagram.States.push_back(std::move(state));
            return;
        }
        case ObjectKind::Transition:
            return PlaceTransition(object);
        case ObjectKind::Builtin:
            if (IsPort(object.Builtin)) {
                DrawnDiagram& diagram = DiagramOf(object);
                DrawnPort port;
                port.Object = &object;
                port.IsClock = (object.Flags & 1) != 0;
                ports_.emplace(object.Id, Slot{&diagram, diagram.Ports.size()});
                diagram.Ports.push_back(std::move(port));
                return;
            }
            DiagramOf(object).Others.push_back(&object);
            return;
        case ObjectKind::Label:
        case ObjectKind::Action:
        case ObjectKind::Condition:
            return;
        default:
            DiagramOf(object).Others.push_back(&object);
        }
    }

    void PlaceTransition(const DrawnObject& object) {
        DrawnDiagram& diagram = DiagramOf(object);
        DrawnTransition transition;
        transition.Object = &object;
        transition.Priority = static_cast<int>(object.Flags % 4096);
        const DrawnObject* from = drawing_.Find(object.From);
        transition.FromReset =
            from && from->Kind == ObjectKind::Builtin && from->Builtin == BuiltinKind::Reset;
        if (!from)
            Problem(object, "its source " + std::to_string(object.From) + " is not in the drawing");
        if (!drawing_.Find(object.To))
            Problem(object, "its target " + std::to_string(object.To) + " is not in the drawing");
        transitions_.emplace(object.Id, Slot{&diagram, diagram.Transitions.size()});
        diagram.Transitions.push_back(std::move(transition));
    }

    void PlaceOwned(const DrawnObject& object) {
        if (object.Kind == ObjectKind::Label) {
            if (auto* state = Lookup(states_, object.Parent, &DrawnDiagram::States)) {
                state->Label = &object;
                state->Name = FirstLine(object.Text);
                state->Code = CodeOf(object.Text);
                return;
            }
            if (auto* port = Lookup(ports_, object.Parent, &DrawnDiagram::Ports)) {
                port->Label = &object;
                return NamePort(*port, object.Text);
            }
        } else if (object.Kind == ObjectKind::Condition) {
            if (auto* transition =
                    Lookup(transitions_, object.Parent, &DrawnDiagram::Transitions)) {
                transition->Condition = &object;
                transition->IsElse = IsElseCondition(object.Text);
                return;
            }
        } else if (object.Kind == ObjectKind::Action) {
            if (object.Flags == kTransitionAction) {
                if (auto* transition =
                        Lookup(transitions_, object.Parent, &DrawnDiagram::Transitions))
                    return transition->Actions.push_back(&object);
            } else if (object.Flags == kEntryAction || object.Flags == kStateAction ||
                       object.Flags == kExitAction) {
                if (auto* state = Lookup(states_, object.Parent, &DrawnDiagram::States))
                    return state->Actions.push_back(&object);
            }
        } else {
            return;
        }
        DiagramOf(object).Others.push_back(&object);
    }

    struct Slot {
        DrawnDiagram* Diagram;
        std::size_t Index;
    };
    using SlotMap = std::unordered_map<ObjectId, Slot>;

    template <typename Item>
    Item* Lookup(const SlotMap& slots, ObjectId id, std::vector<Item> DrawnDiagram::*member) {
        const auto found = slots.find(id);
        if (found == slots.end()) return nullptr;
        return &(found->second.Diagram->*member)[found->second.Index];
    }

    void MarkInitialStates() {
        for (DrawnDiagram& diagram : machine_.Diagrams)
            for (const DrawnTransition& transition : diagram.Transitions)
                if (transition.FromReset)
                    if (auto* state = Lookup(states_, transition.Object->To, &DrawnDiagram::States))
                        state->IsInitial = true;
    }

    const Drawing& drawing_;
    DrawnMachine& machine_;
    std::unordered_map<ObjectId, const Sheet*> sheetOf_; // the first INSTHEADER of each
    std::unordered_map<ObjectId, std::size_t> diagramOf_;
    std::unordered_map<ObjectId, ObjectId> subDiagramOf_; // state -> its H object
    SlotMap states_, ports_, transitions_;
};

} // namespace

const DrawnDiagram* DrawnMachine::Find(ObjectId diagramId) const {
    const auto found = byId_.find(diagramId);
    return found == byId_.end() ? nullptr : &Diagrams[found->second];
}

void DrawnMachine::Index() {
    byId_.clear();
    for (std::size_t i = 0; i < Diagrams.size(); ++i)
        byId_.emplace(Diagrams[i].Id, i);
}

DrawnMachine DescribeMachine(const Drawing& drawing) {
    DrawnMachine machine;
    MachineBuilder(drawing, machine).Build();
    machine.Index();
    return machine;
}

} // namespace kestrom::drawing
