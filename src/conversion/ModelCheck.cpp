#include "conversion/ModelCheck.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "base/CppNames.h"
#include "base/TextCodec.h"
#include "conversion/RowIndex.h"

namespace kestrom {
namespace {

class ModelChecker {
public:
    ModelChecker(const FsmModel& model, bool keepsState) : m_(model), keepsState_(keepsState) {}

    Diagnostics Check() {
        CheckMachine();
        CheckName("module", m_.ModuleName, m_.ModuleLine);
        CheckNames("state", m_.StateTable, m_.StateCount);
        CheckNames("port", m_.PortTable, m_.PortCount);
        CheckReachability();
        return std::move(found_);
    }

private:
    void Warn(int line, std::string_view code, std::string message) {
        found_.push_back({line, std::move(message), code});
    }

    void CheckMachine() {
        if (m_.InitStateIndex == 0)
            Warn(0, code::kNoInitialState,
                 "no initial state: no transition from the reset port reaches a state");
        bool hasClock = false;
        for (int p = 1; p <= m_.PortCount; ++p)
            hasClock = hasClock || m_.PortTable[p].IsClock;
        if (!hasClock) Warn(0, code::kNoClockPort, "no clock port: no port is marked as clock");
        if (m_.TrapStateIndex == 0 && keepsState_)
            Warn(0, code::kNoTrapState,
                 "no trap state: the default: branch keeps the machine in its state");
        else if (m_.TrapStateIndex == 0)
            Warn(0, code::kNoTrapState,
                 "no trap state: the default: branch names no state, so the written file will "
                 "not compile (it reads \"NextState =  ;\"); mark one state as the trap state, "
                 "or turn on an extension to keep the machine in its state");
    }

    // States and ports: each name once, each later namesake with the line of
    // the first.
    template <typename Rec, std::size_t Slots>
    void CheckNames(const std::string& kind, const std::array<Rec, Slots>& table, int count) {
        const RowIndex rowsByName(table, count,
                                  [](const Rec& object) { return std::string_view(object.Name); });
        for (int row = 1; row <= count; ++row) {
            const Rec& object = table[row];
            if (object.Name.empty()) {
                Warn(object.Line, code::kNoName,
                     kind + " " + std::to_string(object.Id) + " has no name");
                continue;
            }
            const int first = rowsByName.First(object.Name);
            if (first != row)
                Warn(object.Line, code::kSameName,
                     "two " + kind + "s are named " + Quoted(object.Name) + " (the other on line " +
                         std::to_string(table[first].Line) + ")");
            CheckName(kind, object.Name, object.Line);
        }
    }

    void CheckName(const std::string& kind, const std::string& name, int line) {
        if (name.empty()) return;
        if (!IsCppIdentifier(name))
            Warn(line, code::kNotIdentifier,
                 kind + " name " + Quoted(name) + " is not a valid C++ identifier");
        else if (IsCppKeyword(name))
            Warn(line, code::kKeywordName, kind + " name " + Quoted(name) + " is a C++ keyword");
    }

    // A state is reached along its transitions and, when none of its
    // transitions is unconditional, by the fall-back to the default state.
    // The trap state is there for illegal states and needs no way in.
    void CheckReachability() {
        if (m_.InitStateIndex == 0) return;
        const RowIndex statesById(m_.StateTable, m_.StateCount,
                                  [](const StateRec& state) { return state.Id; });
        const RowIndex transitionsBySource(
            m_.TransitionTable, m_.TransitionCount,
            [](const TransitionRec& transition) { return transition.SourceId; });
        const RowIndex conditionsByOwner(
            m_.ConditionTable, m_.ConditionCount,
            [](const ConditionRec& condition) { return condition.OwnerId; });
        std::vector<bool> reached(static_cast<std::size_t>(m_.StateCount) + 1, false);
        std::vector<int> pending;
        const auto reach = [&](int s) {
            if (reached[s]) return;
            reached[s] = true;
            pending.push_back(s);
        };
        reach(m_.InitStateIndex);
        while (!pending.empty()) {
            const Integer from = m_.StateTable[pending.back()].Id;
            pending.pop_back();
            bool unconditional = false;
            for (int t = transitionsBySource.First(from); t != 0; t = transitionsBySource.Next(t)) {
                const TransitionRec& transition = m_.TransitionTable[t];
                unconditional =
                    unconditional || IsUnconditional(conditionsByOwner.Last(transition.Id));
                for (int s = statesById.First(transition.TargetId); s != 0; s = statesById.Next(s))
                    reach(s);
            }
            if (!unconditional && m_.DefaultStateIndex > 0) reach(m_.DefaultStateIndex);
        }
        for (int s = 1; s <= m_.StateCount; ++s)
            if (!reached[s] && s != m_.TrapStateIndex)
                Warn(m_.StateTable[s].Line, code::kUnreachedState,
                     "state " + Quoted(m_.StateTable[s].Name) +
                         " is not reached from the initial state");
    }

    // As the writer decides: the last condition drawn on a transition (its
    // row, 0 for none) is its condition, and "@ELSE" counts as none.
    bool IsUnconditional(int conditionRow) const {
        return conditionRow == 0 || IsElseCondition(m_.ConditionTable[conditionRow].Text);
    }

    const FsmModel& m_;
    const bool keepsState_;
    Diagnostics found_;
};

} // namespace

Diagnostics CheckModel(const FsmModel& model, bool keepsStateWithoutTrap) {
    return ModelChecker(model, keepsStateWithoutTrap).Check();
}

} // namespace kestrom
