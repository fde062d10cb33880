#include "extensions/ModulePlan.h"

#include <cctype>
#include <map>

#include "base/TextCodec.h"
#include "conversion/RowIndex.h"
#include "drawing/DrawnMachine.h"

namespace kestrom {
namespace {

int StateRowWithId(const FsmModel& model, Integer id) {
    int row = 0;
    for (int s = 1; s <= model.StateCount; ++s)
        if (model.StateTable[s].Id == id) row = s;
    return row;
}

const ConditionRec* ConditionOf(const FsmModel& model, Integer transitionId) {
    const ConditionRec* found = nullptr;
    for (int c = 1; c <= model.ConditionCount; ++c)
        if (model.ConditionTable[c].OwnerId == transitionId) found = &model.ConditionTable[c];
    return found;
}

bool IsWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool ReadsWord(const std::string& expression, const std::string& word) {
    if (word.empty()) return false;
    for (std::size_t at = expression.find(word); at != std::string::npos;
         at = expression.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        const bool startsWord = at == 0 || !IsWordCharacter(expression[at - 1]);
        const bool endsWord = end == expression.size() || !IsWordCharacter(expression[end]);
        if (startsWord && endsWord) return true;
    }
    return false;
}

std::vector<std::string> PortsRead(const std::string& expression,
                                   const std::vector<ModulePort>& ports) {
    std::vector<std::string> read;
    for (const ModulePort& port : ports)
        if (port.Direction != PortDirection::Out && !port.IsClock &&
            ReadsWord(expression, port.Name))
            read.push_back(port.Name);
    return read;
}

const drawing::DrawnTransition* ResetTransition(const drawing::DrawnMachine& machine) {
    const drawing::DrawnTransition* found = nullptr;
    if (machine.Diagrams.empty()) return found;
    for (const drawing::DrawnTransition& transition : machine.Diagrams.front().Transitions)
        if (transition.FromReset) found = &transition;
    return found;
}

std::optional<ResetRule> PlanReset(const FsmModel& model, const drawing::DrawnMachine& machine,
                                   const std::vector<ModulePort>& ports, ResetStyle style,
                                   Diagnostics& warnings) {
    const drawing::DrawnTransition* transition = ResetTransition(machine);
    if (!transition || !transition->Object) {
        warnings.push_back(
            {0, "no reset added: no transition leaves a Reset object", code::kNoResetAdded});
        return std::nullopt;
    }
    const int line = transition->Object->Line;
    const ConditionRec* condition =
        ConditionOf(model, static_cast<Integer>(transition->Object->Id));
    if (!condition) {
        warnings.push_back({line, "no reset added: the transition from Reset has no condition",
                            code::kNoResetAdded});
        return std::nullopt;
    }
    const int target = StateRowWithId(model, static_cast<Integer>(transition->Object->To));
    if (target == 0) {
        warnings.push_back({line, "no reset added: the transition from Reset goes to no state",
                            code::kNoResetAdded});
        return std::nullopt;
    }
    ResetRule rule{DecodeCondition(condition->Text), model.StateTable[target].Name, {}, line};
    rule.Reads = PortsRead(rule.Expression, ports);
    if (style == ResetStyle::Async && rule.Reads.empty())
        warnings.push_back({line,
                            "reset " + Quoted(rule.Expression) +
                                " reads no input port: it is checked at clock edges only",
                            code::kResetReadsNoInput});
    return rule;
}

ActionPlace PlaceOfKind(int kind) {
    if (kind & drawing::kEntryAction) return ActionPlace::Entry;
    if (kind & drawing::kExitAction) return ActionPlace::Exit;
    if (kind & drawing::kTransitionAction) return ActionPlace::Transition;
    return ActionPlace::State;
}

Integer IdOf(const StateRec& state) {
    return state.Id;
}

class ActionPlacer {
public:
    ActionPlacer(const FsmModel& model, const std::vector<int>* kinds, Diagnostics& warnings)
        : m_(model), kinds_(kinds), warnings_(warnings),
          statesById_(model.StateTable, model.StateCount, IdOf),
          transitionsById_(model.TransitionTable, model.TransitionCount,
                           [](const TransitionRec& transition) { return transition.Id; }) {}

    std::vector<ActionPlace> Place() {
        std::vector<ActionPlace> places(static_cast<std::size_t>(m_.ActionCount) + 1,
                                        ActionPlace::Nowhere);
        for (int a = 1; a <= m_.ActionCount; ++a)
            places[a] = PlaceOne(m_.ActionTable[a], kinds_ ? (*kinds_)[a] : 0);
        return places;
    }

private:
    ActionPlace PlaceOne(const ActionRec& action, int kind) {
        const bool ownerIsState = statesById_.Last(action.OwnerId) != 0;
        const int transition = transitionsById_.Last(action.OwnerId);
        const bool ownerIsChained =
            transition != 0 && statesById_.Last(m_.TransitionTable[transition].SourceId) != 0;
        if (kinds_ && kind == drawing::kDiagramAction) return Unwritten(action, "of the diagram");
        if (!kinds_) {
            if (ownerIsState) return ActionPlace::State;
            if (transition != 0) return Unwritten(action, "of a transition");
            return Unwritten(action, "of the diagram");
        }
        const ActionPlace place = PlaceOfKind(kind);
        if (place == ActionPlace::Transition ? ownerIsChained : ownerIsState) return place;
        return Unwritten(action, "of object " + std::to_string(action.OwnerId) +
                                     ", which is no state or transition of a state,");
    }

    ActionPlace Unwritten(const ActionRec& action, const std::string& owner) {
        warnings_.push_back(
            {action.Line, "action " + owner + " is not written", code::kActionNotWritten});
        return ActionPlace::Nowhere;
    }

    const FsmModel& m_;
    const std::vector<int>* kinds_;
    Diagnostics& warnings_;
    const RowIndex<Integer> statesById_;
    const RowIndex<Integer> transitionsById_;
};

// Conditional transitions of one state with the same priority: which one the
// module tests first depends on their order in the file.
class PriorityChecker {
public:
    PriorityChecker(const FsmModel& model, Diagnostics& warnings)
        : m_(model), warnings_(warnings), statesById_(model.StateTable, model.StateCount, IdOf),
          transitionsBySource_(model.TransitionTable, model.TransitionCount,
                               [](const TransitionRec& transition) { return transition.SourceId; }),
          conditionsByOwner_(model.ConditionTable, model.ConditionCount,
                             [](const ConditionRec& condition) { return condition.OwnerId; }) {}

    void Check() {
        for (int t = 1; t <= m_.TransitionCount; ++t) {
            const TransitionRec& transition = m_.TransitionTable[t];
            const int state = statesById_.Last(transition.SourceId);
            if (state == 0 || !IsConditional(transition)) continue;
            if (const int earlier = EarlierWithSamePriority(t))
                Warn(m_.StateTable[state], m_.TransitionTable[earlier], transition);
        }
    }

private:
    // The first conditional transition of the same state and priority before row t.
    int EarlierWithSamePriority(int t) const {
        const TransitionRec& transition = m_.TransitionTable[t];
        for (int e = transitionsBySource_.First(transition.SourceId); e != t;
             e = transitionsBySource_.Next(e))
            if (m_.TransitionTable[e].Priority == transition.Priority &&
                IsConditional(m_.TransitionTable[e]))
                return e;
        return 0;
    }

    bool IsConditional(const TransitionRec& transition) const {
        const int c = conditionsByOwner_.Last(transition.Id);
        return c != 0 && !IsElseCondition(m_.ConditionTable[c].Text);
    }

    void Warn(const StateRec& state, const TransitionRec& earlier, const TransitionRec& later) {
        warnings_.push_back({later.Line,
                             "conditional transitions from state " + Quoted(state.Name) +
                                 " on lines " + std::to_string(earlier.Line) + " and " +
                                 std::to_string(later.Line) + " have the same priority " +
                                 std::to_string(later.Priority),
                             code::kSamePriority});
    }

    const FsmModel& m_;
    Diagnostics& warnings_;
    const RowIndex<Integer> statesById_;
    const RowIndex<Integer> transitionsBySource_;
    const RowIndex<Integer> conditionsByOwner_;
};

// Action kinds by ActionTable row, from the A lines of the drawing.
std::vector<int> ActionKinds(const FsmModel& model, const drawing::Drawing& drawing) {
    std::map<drawing::ObjectId, int> kindById;
    for (const drawing::DrawnObject& object : drawing.Objects)
        if (object.Kind == drawing::ObjectKind::Action)
            kindById[object.Id] = static_cast<int>(object.Flags);
    std::vector<int> kinds(static_cast<std::size_t>(model.ActionCount) + 1, 0);
    for (int a = 1; a <= model.ActionCount; ++a) {
        const auto found = kindById.find(model.ActionTable[a].Id);
        if (found != kindById.end()) kinds[a] = found->second;
    }
    return kinds;
}

} // namespace

std::vector<ActionPlace> PlaceActions(const FsmModel& model, const std::vector<int>* kinds,
                                      Diagnostics& warnings) {
    return ActionPlacer(model, kinds, warnings).Place();
}

void WarnEqualPriorities(const FsmModel& model, Diagnostics& warnings) {
    PriorityChecker(model, warnings).Check();
}

ModulePlan PlanModule(const FsmModel& model, const machine::Design& design,
                      const Extensions& extensions, Diagnostics& warnings) {
    ModulePlan plan;
    plan.Options = extensions;
    plan.Ports = ModulePorts(model, design, extensions);
    if (extensions.Reset != ResetStyle::None)
        plan.Reset = PlanReset(model, design.Machine(), plan.Ports, extensions.Reset, warnings);
    if (extensions.ActionKinds) {
        const std::vector<int> kinds = ActionKinds(model, design.Drawing());
        plan.Places = PlaceActions(model, &kinds, warnings);
    } else {
        plan.Places = PlaceActions(model, nullptr, warnings);
    }
    return plan;
}

} // namespace kestrom
