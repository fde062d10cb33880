#include "extensions/ModuleWriter.h"

#include <algorithm>
#include <string_view>

#include "base/TextCodec.h"
#include "conversion/ModuleSections.h"

namespace kestrom {
namespace {

struct Branch {
    Integer TransitionId = 0;
    Integer Priority = 0;
    std::string Condition; // decoded; empty without condition
    bool IsElse = false;
    std::string TargetName;
    int Line = 0;
    bool Unconditional() const { return Condition.empty() || IsElse; }
};

// The condition the module tests for a transition: the last one drawn for it.
std::string ConditionOf(const FsmModel& model, Integer transitionId) {
    std::string condition;
    for (int c = 1; c <= model.ConditionCount; ++c)
        if (model.ConditionTable[c].OwnerId == transitionId)
            condition = DecodeCondition(model.ConditionTable[c].Text);
    return condition;
}

bool HasUnconditionalTransition(const FsmModel& model, const StateRec& state) {
    for (int t = 1; t <= model.TransitionCount; ++t) {
        const TransitionRec& transition = model.TransitionTable[t];
        if (transition.SourceId != state.Id) continue;
        const std::string condition = ConditionOf(model, transition.Id);
        if (condition.empty() || IsElseCondition(condition)) return true;
    }
    return false;
}

// The plain module's sections with the additions the plan asks for.
class ExtendedWriter : public ModuleSections {
public:
    ExtendedWriter(const FsmModel& model, const ModulePlan& plan, Diagnostics& warnings,
                   TextOutput& out)
        : ModuleSections(model, warnings, out), plan_(plan), kinds_(plan.Options.ActionKinds),
          hooks_(plan.Options.CoverageHooks), reset_(plan.Reset.has_value()),
          async_(reset_ && plan.Options.Reset == ResetStyle::Async && !plan.Reset->Reads.empty()) {
        keepStateWithoutTrap_ = true;
        countLines_ = plan.Options.LineDirectives.has_value();
    }

private:
    void WriteHeaderAdditions() override {
        if (plan_.Options.CoverageHooks) WriteCoverageHook();
    }

    void WriteCoverageHook() {
        Line(0, "//A test bench defines KESTROM_COVERAGE to count the transitions taken");
        Line(0, "#ifndef KESTROM_COVERAGE");
        Line(0, "#define KESTROM_COVERAGE( transition )");
        Line(0, "#endif");
    }

    void WritePorts() override {
        for (const ModulePort& port : plan_.Ports)
            Line(4, {PortClass(port.Direction), " <", port.Type, "> ", port.Name, " ;",
                     port.IsClock ? " //clk" : ""});
    }

    void WriteStateVariableAdditions() override {
        if (kinds_) Line(4, "bool EntryPending ; //entry actions of CurrentState still to run");
        if (reset_) Line(4, "bool InReset ; //this evaluation follows a reset");
        if (reset_ && method_) Line(4, "bool Started ; //the start-up evaluation has run");
        if (hooks_) Line(4, "int ChosenTransition ; //chosen by the last evaluation, 0: none");
    }

    void WriteSensitivityAdditions() override {
        if (async_)
            for (const std::string& port : plan_.Reset->Reads)
                Line(8, {"sensitive << ", port, " ;"});
    }

    void WriteStartValueAdditions() override {
        if (kinds_) Line(8, "EntryPending = true ;");
        if (reset_) Line(8, "InReset = false ;");
        if (reset_ && method_) Line(8, "Started = false ;");
        if (hooks_) Line(8, "ChosenTransition = 0 ;");
    }

    // One evaluation: the current state's actions and the choice of the next.
    void WriteEvaluation() override {
        Line(16, "NextState = CurrentState ;");
        if (plan_.Options.StatePort) Line(16, {kStatePortName, ".write ( CurrentState ) ;"});
        if (hooks_) WriteCoverageCount();
        if (kinds_) WriteEntryActions();
        WriteSwitch();
        if (reset_) Line(16, "InReset = false ;");
    }

    // The transition chosen by the last evaluation is taken once the state
    // register holds its target: at this rising edge, unless a reset came first.
    void WriteCoverageCount() {
        Line(16, {"if ( ", reset_ ? "!InReset && " : "",
                  "ChosenTransition ) KESTROM_COVERAGE ( "
                  "ChosenTransition ) ;"});
        Line(16, "ChosenTransition = 0 ;");
    }

    void WriteEntryActions() {
        Line(16, "//Entry Action");
        Line(16, "if ( EntryPending )");
        Line(16, "{");
        Line(24, "EntryPending = false ;");
        Line(24, "switch (CurrentState)");
        Line(24, "{");
        for (int s = 1; s <= model_.StateCount; ++s) {
            if (!HasActions(model_.StateTable[s].Id, ActionPlace::Entry)) continue;
            Line(24, {"case ", model_.StateTable[s].Name, ":"});
            WriteActions(model_.StateTable[s].Id, ActionPlace::Entry, 32);
            Line(32, "break ;");
        }
        Line(24, "default:");
        Line(32, "break ;");
        Line(24, "}");
        Line(16, "}");
    }

    void WriteStateActions(const StateRec& state) override {
        for (int a = 1; a <= model_.ActionCount; ++a) {
            if (model_.ActionTable[a].OwnerId != state.Id || plan_.Places[a] != ActionPlace::State)
                continue;
            WriteActionLines(model_.ActionTable[a], 24);
            EmptyLines(1);
        }
    }

    bool HasActions(Integer ownerId, ActionPlace place) const {
        for (int a = 1; a <= model_.ActionCount; ++a)
            if (model_.ActionTable[a].OwnerId == ownerId && plan_.Places[a] == place) return true;
        return false;
    }

    void WriteActions(Integer ownerId, ActionPlace place, int indent) {
        for (int a = 1; a <= model_.ActionCount; ++a)
            if (model_.ActionTable[a].OwnerId == ownerId && plan_.Places[a] == place)
                WriteActionLines(model_.ActionTable[a], indent);
    }

    // With line directives, what `write` writes is told to come from the
    // ASF line; the module's own lines follow again.
    template <typename Write> void FromAsfLine(int asfLine, Write write) {
        const auto& names = plan_.Options.LineDirectives;
        if (!names || asfLine <= 0) return write();
        Line(0, LineDirective(asfLine, names->AsfFile));
        write();
        Line(0, LineDirective(LinesWritten() + 2, names->ModuleFile));
    }

    void WriteActionLines(const ActionRec& action, int indent) {
        const std::vector<std::string> lines = DecodeActionLines(action.Text);
        const std::size_t written = std::min(lines.size(), kMaxActionLines);
        FromAsfLine(action.Line, [&] {
            for (std::size_t i = 0; i < written; ++i)
                Line(indent, lines[i]);
        });
        if (written < lines.size())
            Warn(action.Line, code::kActionLinesDropped,
                 "action has " + std::to_string(lines.size()) + " lines; lines after the " +
                     std::to_string(kMaxActionLines) + "th are dropped");
    }

    void WriteNextState(int row) override {
        if (reset_) Line(24, "if ( InReset ) break ;");
        const StateRec& state = model_.StateTable[row];
        const std::vector<Branch> branches = OrderedBranches(state);
        bool unconditionalWritten = false;
        for (std::size_t b = 0; b < branches.size(); ++b) {
            const Branch& branch = branches[b];
            if (unconditionalWritten) {
                WarnNeverTaken(branch.Line, state.Name, branch.TargetName);
                continue;
            }
            WriteBranch(state, branch.Unconditional() ? "" : branch.Condition, b == 0,
                        branch.TargetName, branch.TransitionId, branch.TransitionId,
                        branch.Unconditional() ? 0 : branch.Line);
            unconditionalWritten = branch.Unconditional();
        }
        if (unconditionalWritten || model_.DefaultStateIndex <= 0) return;
        const std::string& fallBack = model_.StateTable[model_.DefaultStateIndex].Name;
        if (model_.DefaultStateIndex == row || (!kinds_ && !hooks_))
            Line(24, {branches.empty() ? "" : "else ", "NextState = ", fallBack, " ;"});
        else
            WriteBranch(state, "", branches.empty(), fallBack, 0, FallBackHook(state));
    }

    // A chosen transition; with action kinds it runs the exit actions of the
    // state and its own actions, and the target's entry actions are due. The
    // hook number names it to the coverage count (0: not counted).
    void WriteBranch(const StateRec& state, const std::string& condition, bool first,
                     const std::string& target, Integer transitionId, Integer hookId,
                     int conditionLine = 0) {
        const std::string chain = first ? "" : "else ";
        const std::string guard = condition.empty() ? "" : "if ( " + condition + " ) ";
        const bool hooked = hooks_ && hookId != 0;
        const std::string hook = "ChosenTransition = " + std::to_string(hookId) + " ;";
        if (!kinds_ && hooked) {
            FromAsfLine(conditionLine, [&] {
                Line(24, {chain, guard, "{ NextState = ", target, " ; ", hook, " }"});
            });
            return;
        }
        if (!kinds_) {
            FromAsfLine(conditionLine, [&] {
                Line(24, {chain, guard, "NextState = ", target, " ;"});
            });
            return;
        }
        const std::string head = chain + guard;
        if (!head.empty())
            FromAsfLine(conditionLine, [&] { Line(24, head.substr(0, head.size() - 1)); });
        Line(24, "{");
        Line(32, {"NextState = ", target, " ;"});
        Line(32, "EntryPending = true ;");
        if (hooked) Line(32, hook);
        WriteActions(state.Id, ActionPlace::Exit, 32);
        if (transitionId != 0) WriteActions(transitionId, ActionPlace::Transition, 32);
        Line(24, "}");
    }

    // By priority, equal priorities in file order; "@ELSE" last.
    std::vector<Branch> OrderedBranches(const StateRec& state) {
        std::vector<Branch> branches;
        for (int t = 1; t <= model_.TransitionCount; ++t) {
            const TransitionRec& transition = model_.TransitionTable[t];
            if (transition.SourceId != state.Id) continue;
            Branch branch;
            branch.TransitionId = transition.Id;
            branch.Priority = transition.Priority;
            branch.Line = transition.Line;
            branch.Condition = ConditionOf(model_, transition.Id);
            branch.IsElse = !branch.Condition.empty() && IsElseCondition(branch.Condition);
            branch.TargetName = TargetName(transition);
            branches.push_back(std::move(branch));
        }
        std::stable_sort(branches.begin(), branches.end(), [](const Branch& a, const Branch& b) {
            if (a.IsElse != b.IsElse) return b.IsElse;
            return a.Priority < b.Priority;
        });
        return branches;
    }

    std::string TargetName(const TransitionRec& transition) {
        std::string name;
        bool found = false;
        for (int s = 1; s <= model_.StateCount; ++s)
            if (model_.StateTable[s].Id == transition.TargetId) {
                name = model_.StateTable[s].Name;
                found = true;
            }
        if (!found) WarnNoState(transition.Line, transition.TargetId);
        return name;
    }

    std::string ResetCheck() const { return "( " + plan_.Reset->Expression + " )"; }

    void WriteResetTaken(int indent) {
        Line(indent, "{");
        Line(indent + 8, {"CurrentState = ", plan_.Reset->StateName, " ;"});
        Line(indent + 8, "InReset = true ;");
        if (kinds_) Line(indent + 8, "EntryPending = true ;");
        Line(indent, "}");
    }

    // The method runs at start-up, at each rising edge and, with an
    // asynchronous reset, at each change of a port the reset reads.
    void WriteMethodHead() override {
        if (!reset_) return;
        Line(15, "//reset");
        if (async_)
            Line(16, {"if ( Started && !", model_.ClockName, "->posedge() && !", ResetCheck(),
                      " ) return ;"});
        Line(16, {"if ( Started && ", ResetCheck(), " )"});
        WriteResetTaken(16);
        Line(16, "Started = true ;");
    }

    void WriteThreadTail() override {
        if (async_) {
            Line(15, "//wait for clock positive event or a reset");
            std::string events = model_.ClockName + "->posedge_event()";
            for (const std::string& port : plan_.Reset->Reads)
                events += " | " + port + "->value_changed_event()";
            Line(16, {"do wait ( ", events, " ) ;"});
            Line(16, {"while ( !", model_.ClockName, "->posedge() && !", ResetCheck(), " ) ;"});
        } else {
            Line(15, "//wait for clock positive event");
            Line(16, {"wait (", model_.ClockName, "->posedge_event() ) ;"});
        }
        EmptyLines(1);
        Line(15, "//update Current State");
        if (async_)
            Line(16, {"if ( ", model_.ClockName, "->posedge() ) CurrentState = NextState ;"});
        else
            Line(16, "CurrentState = NextState ;");
        if (reset_) {
            Line(16, {"if ", ResetCheck()});
            WriteResetTaken(16);
        }
        EmptyLines(1);
        Line(8, "} //while");
    }

    const ModulePlan& plan_;
    const bool kinds_;
    const bool hooks_;
    const bool reset_;
    const bool async_;
};

} // namespace

Integer FallBackHook(const StateRec& state) {
    return -state.Id;
}

std::vector<int> StatesFallingBack(const FsmModel& model) {
    std::vector<int> rows;
    if (model.DefaultStateIndex <= 0) return rows;
    for (int s = 1; s <= model.StateCount; ++s)
        if (s != model.DefaultStateIndex && !HasUnconditionalTransition(model, model.StateTable[s]))
            rows.push_back(s);
    return rows;
}

std::string WriteExtendedSystemC(const FsmModel& model, const ModulePlan& plan,
                                 Diagnostics& warnings) {
    StringOutput out;
    ExtendedWriter(model, plan, warnings, out).Write();
    return out.Text();
}

} // namespace kestrom
