#include "conversion/SystemCWriter.h"

#include <algorithm>

#include "base/TextCodec.h"
#include "conversion/ModuleSections.h"
#include "conversion/RowIndex.h"
#include "io/OutputFile.h"

namespace kestrom {
namespace {

// The plain module: the shared sections, each state's actions and its
// transitions in the order the generated files have always had.
class SystemCWriter : public ModuleSections {
public:
    SystemCWriter(FsmModel& model, Diagnostics& warnings, TextOutput& out, bool keepState)
        : ModuleSections(model, warnings, out), m_(model),
          statesById_(model.StateTable, model.StateCount, [](const StateRec& s) { return s.Id; }),
          actionsByOwner_(model.ActionTable, model.ActionCount, OwnerOf),
          transitionsBySource_(model.TransitionTable, model.TransitionCount,
                               [](const TransitionRec& t) { return t.SourceId; }),
          conditionsByOwner_(model.ConditionTable, model.ConditionCount, OwnerOf) {
        keepStateWithoutTrap_ = keepState;
    }

private:
    void WritePorts() override {
        for (int p = 1; p <= m_.PortCount; ++p)
            WritePortLine(m_.PortTable[p]);
    }

    void WritePortLine(const PortRec& port) {
        if (!port.IsInput)
            Line(4, {"sc_out <int> ", port.Name, " ;"});
        else if (port.IsClock)
            Line(4, {"sc_in <bool> ", port.Name, " ; //clk"});
        else
            Line(4, {"sc_in <int> ", port.Name, " ;"});
    }

    static Integer OwnerOf(const TextRec& row) { return row.OwnerId; }

    void WriteStateActions(const StateRec& state) override {
        for (int a = actionsByOwner_.First(state.Id); a != 0; a = actionsByOwner_.Next(a)) {
            const ActionRec& action = m_.ActionTable[a];
            std::size_t seen = 0;
            const std::size_t lines = ForEachActionLine(action.Text, [&](std::string_view line) {
                if (seen++ < kMaxActionLines) Line(24, line);
            });
            if (lines > kMaxActionLines)
                Warn(action.Line, code::kActionLinesDropped,
                     "action of state " + Quoted(state.Name) + " has " + std::to_string(lines) +
                         " lines; lines after the " + std::to_string(kMaxActionLines) +
                         "th are dropped");
            EmptyLines(1);
        }
    }

    void WriteNextState(int row) override {
        const StateRec& state = m_.StateTable[row];
        CollectBranches(state);
        ResolveTargetNames();
        SortByPriority();
        MoveElseBranchesLast();
        bool unconditionalWritten = false;
        for (int a = 1; a <= m_.BranchCount; ++a) {
            const BranchRec& branch = m_.BranchTable[a];
            if (unconditionalWritten) {
                WarnNeverTaken(branch.Line, state.Name, branch.TargetName);
                continue;
            }
            WriteBranchLine(branch, a == 1 ? "" : "else ");
            if (!branch.HasCondition || branch.IsElse) unconditionalWritten = true;
        }
        if (!unconditionalWritten && m_.DefaultStateIndex > 0)
            Line(24, {m_.BranchCount >= 1 ? "else " : "",
                      "NextState = ", m_.StateTable[m_.DefaultStateIndex].Name, " ;"});
    }

    void WriteBranchLine(const BranchRec& branch, std::string_view chain) {
        if (branch.HasCondition && !branch.IsElse)
            Line(24, {chain, "if ( ", DecodeCondition(branch.Condition),
                      " ) NextState = ", branch.TargetName, " ;"});
        else
            Line(24, {chain, "NextState = ", branch.TargetName, " ;"});
    }

    void CollectBranches(const StateRec& state) {
        m_.BranchCount = 0;
        for (int t = transitionsBySource_.First(state.Id); t != 0;
             t = transitionsBySource_.Next(t)) {
            const TransitionRec& transition = m_.TransitionTable[t];
            if (m_.BranchCount == kMaxBranches)
                throw AsfError(state.Line, "state " + Quoted(state.Name) + " has more than " +
                                               std::to_string(kMaxBranches) +
                                               " outgoing transitions");
            BranchRec& branch = m_.BranchTable[++m_.BranchCount];
            branch = BranchRec{};
            branch.TargetId = transition.TargetId;
            branch.Priority = transition.Priority;
            branch.Line = transition.Line;
            if (const int c = conditionsByOwner_.Last(transition.Id)) {
                branch.Condition = m_.ConditionTable[c].Text;
                branch.HasCondition = kTrue;
            }
            branch.IsElse = branch.HasCondition && IsElseCondition(branch.Condition);
        }
    }

    void ResolveTargetNames() {
        for (int a = 1; a <= m_.BranchCount; ++a) {
            BranchRec& branch = m_.BranchTable[a];
            if (const int s = statesById_.Last(branch.TargetId)) {
                branch.TargetName = m_.StateTable[s].Name;
                branch.TargetFound = kTrue;
            } else {
                WarnNoState(branch.Line, branch.TargetId);
            }
        }
    }

    // An exchange sort through row 0; it may reverse transitions of equal
    // priority, and generated files depend on that order.
    void SortByPriority() {
        auto& rows = m_.BranchTable;
        for (int a = 1; a <= m_.BranchCount - 1; ++a)
            for (int b = a + 1; b <= m_.BranchCount; ++b)
                if (rows[a].Priority > rows[b].Priority) {
                    rows[0] = rows[a];
                    rows[a] = rows[b];
                    rows[b] = rows[0];
                }
    }

    void MoveElseBranchesLast() {
        auto first = m_.BranchTable.begin() + 1;
        std::stable_partition(first, first + m_.BranchCount,
                              [](const BranchRec& branch) { return !branch.IsElse; });
    }

    FsmModel& m_;
    const RowIndex<Integer> statesById_;
    const RowIndex<Integer> actionsByOwner_;
    const RowIndex<Integer> transitionsBySource_;
    const RowIndex<Integer> conditionsByOwner_;
};

} // namespace

void WriteSystemC(FsmModel& model, Diagnostics& warnings, TextOutput& out,
                  bool keepStateWithoutTrap) {
    SystemCWriter(model, warnings, out, keepStateWithoutTrap).Write();
}

std::string WriteSystemC(FsmModel& model, Diagnostics& warnings) {
    StringOutput out;
    WriteSystemC(model, warnings, out);
    return out.Text();
}

void WriteSystemCFile(const std::string& path, FsmModel& model, Diagnostics& warnings) {
    ReplaceFileContent(path, [&](TextOutput& out) { WriteSystemC(model, warnings, out); });
}

} // namespace kestrom
