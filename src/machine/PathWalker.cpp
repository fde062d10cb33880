#include "machine/PathWalker.h"

#include <algorithm>

namespace kestrom::machine {
namespace {

using drawing::BuiltinKind;
using drawing::DrawnObject;
using drawing::DrawnState;
using drawing::DrawnTransition;

bool HasCondition(const DrawnTransition& transition) {
    if (!transition.Condition || transition.IsElse) return false;
    const std::string& text = transition.Condition->Text;
    return text.find_first_not_of(" \t\r\n") != std::string::npos;
}

std::string TransitionOnLine(const DrawnTransition* via) {
    if (!via || !via->Object) return "the path";
    return "the transition on line " + std::to_string(via->Object->Line);
}

} // namespace

std::vector<Choice> PathWalker::ChoicesFrom(const DrawnState& leaf) {
    std::vector<Choice> choices;
    Begin(choices, leaf.Object->Line);
    Follow(index_.Outgoing(leaf.Object->Id));
    if (stopped_)
        reporter_.Error(leaf.Object->Line, code::kFlatTooManyPaths,
                        Named(leaf) + " has more than " + std::to_string(kMostChoices) +
                            " paths through junctions; only the first are kept");
    return choices;
}

std::vector<Choice> PathWalker::ChoicesThrough(const DrawnTransition& transition) {
    std::vector<Choice> choices;
    Begin(choices, transition.Object->Line);
    Take(transition);
    return choices;
}

std::vector<std::size_t> PathWalker::LeavesEntered(const DrawnState& state) {
    std::vector<Choice> choices;
    Begin(choices, state.Object->Line);
    EnterState(state, nullptr);
    std::vector<std::size_t> leaves;
    for (const Choice& choice : choices)
        leaves.push_back(choice.Target);
    return leaves;
}

void PathWalker::Begin(std::vector<Choice>& out, int line) {
    conditions_.clear();
    actions_.clear();
    transitions_.clear();
    out_ = &out;
    startLine_ = line;
    stopped_ = false;
}

void PathWalker::Follow(const std::vector<const DrawnTransition*>& transitions) {
    for (const DrawnTransition* transition : transitions) {
        if (stopped_) return;
        Take(*transition);
    }
}

void PathWalker::Take(const DrawnTransition& transition) {
    const int line = transition.Object->Line;
    if (std::find(transitions_.begin(), transitions_.end(), &transition) != transitions_.end()) {
        reporter_.Error(line, code::kFlatCycle,
                        "the path from line " + std::to_string(startLine_) +
                            " comes back to the transition on line " + std::to_string(line) +
                            " without reaching a state; that path is left out");
        return;
    }
    if (transitions_.size() >= kLongestPath) {
        reporter_.Error(line, code::kFlatTooManyPaths,
                        "the path from line " + std::to_string(startLine_) + " is longer than " +
                            std::to_string(kLongestPath) + " transitions; it is left out");
        return;
    }
    const std::size_t conditions = conditions_.size();
    const std::size_t actions = actions_.size();
    transitions_.push_back(&transition);
    if (HasCondition(transition)) {
        const DrawnObject& condition = *transition.Condition;
        conditions_.push_back({condition.Text, condition.Line, condition.TextColumn});
    }
    AddActions(transition.Actions, drawing::kTransitionAction);
    Arrive(transition.Object->To, &transition);
    transitions_.pop_back();
    conditions_.resize(conditions);
    actions_.resize(actions);
}

void PathWalker::Arrive(drawing::ObjectId target, const DrawnTransition* via) {
    if (const DrawnState* state = index_.State(target)) return EnterState(*state, via);
    if (const DrawnObject* builtin = index_.Builtin(target)) {
        if (builtin->Builtin == BuiltinKind::Exit) return LeaveThrough(*builtin);
        if (builtin->Builtin == BuiltinKind::Link) return FollowLink(*builtin, via);
    }
    reporter_.Error(LineOf(via), code::kFlatNoTarget,
                    TransitionOnLine(via) + " leads to object " + std::to_string(target) +
                        ", which is no state, junction, exit or link; that path is left out");
}

void PathWalker::EnterState(const DrawnState& state, const DrawnTransition* via) {
    if (state.IsJunction) {
        const auto& out = index_.Outgoing(state.Object->Id);
        if (out.empty())
            reporter_.Error(state.Object->Line, code::kFlatNoTarget,
                            Named(state) +
                                " has no transition out; the paths into it are left out");
        return Follow(out);
    }
    if (state.IsHierarchical) return Enter(state);
    const auto leaf = leafOf_.find(state.Object->Id);
    if (leaf == leafOf_.end()) {
        reporter_.Error(LineOf(via), code::kFlatNoTarget,
                        TransitionOnLine(via) + " leads to " + Named(state) +
                            ", which is not a state of the machine");
        return;
    }
    Emit(leaf->second);
}

void PathWalker::Enter(const DrawnState& hierarchical) {
    const std::size_t actions = actions_.size();
    AddActions(hierarchical.Actions, drawing::kEntryAction);
    const auto& entries = index_.Entries(hierarchical.SubDiagram);
    if (entries.empty())
        reporter_.Error(hierarchical.Object->Line, code::kFlatNoEntry,
                        Named(hierarchical) +
                            " has a sub-diagram without an Entry object; it cannot be entered");
    for (const DrawnObject* entry : entries) {
        const auto& out = index_.Outgoing(entry->Id);
        if (out.empty())
            reporter_.Error(entry->Line, code::kFlatNoEntry,
                            "the Entry object of " + Named(hierarchical) +
                                " has no transition; the state cannot be entered");
        Follow(out);
    }
    actions_.resize(actions);
}

void PathWalker::LeaveThrough(const DrawnObject& exit) {
    const drawing::DrawnDiagram* diagram = index_.DiagramOf(exit.Id);
    const DrawnState* owner = diagram ? index_.OwnerOf(*diagram) : nullptr;
    if (!owner) {
        reporter_.Error(exit.Line, code::kFlatNoTarget,
                        "the Exit object " + std::to_string(exit.Id) +
                            " is in no sub-diagram; the paths into it are left out");
        return;
    }
    const auto& out = index_.Outgoing(owner->Object->Id);
    if (out.empty()) {
        reporter_.Error(exit.Line, code::kFlatNoTarget,
                        "the Exit object " + std::to_string(exit.Id) + " leaves " + Named(*owner) +
                            ", which has no transition out; the paths into it are left out");
        return;
    }
    const std::size_t actions = actions_.size();
    AddActions(owner->Actions, drawing::kExitAction);
    Follow(out);
    actions_.resize(actions);
}

void PathWalker::FollowLink(const DrawnObject& link, const DrawnTransition* via) {
    if (const DrawnState* target = LinkTarget(link)) EnterState(*target, via);
}

// The state named by the link's label: in the link's own diagram, else in the
// nearest diagram around it, else the one state of that name anywhere.
const DrawnState* PathWalker::LinkTarget(const DrawnObject& link) {
    const std::string name = index_.LabelOf(link.Id);
    const std::string shown = "the Link object " + std::to_string(link.Id);
    if (name.empty()) {
        reporter_.Error(link.Line, code::kFlatUnknownLink, shown + " names no state");
        return nullptr;
    }
    const auto named = [&](const drawing::DrawnDiagram& diagram) {
        std::vector<const DrawnState*> found;
        for (const DrawnState& state : diagram.States)
            if (state.Name == name) found.push_back(&state);
        return found;
    };
    std::vector<const DrawnState*> found;
    const drawing::DrawnDiagram* diagram = index_.DiagramOf(link.Id);
    for (std::size_t depth = 0; diagram && found.empty() && depth <= kLongestPath; ++depth) {
        found = named(*diagram);
        const DrawnState* owner = index_.OwnerOf(*diagram);
        diagram = owner ? index_.DiagramOf(owner->Object->Id) : nullptr;
    }
    if (found.empty())
        for (const drawing::DrawnDiagram& each : index_.Machine().Diagrams) {
            const auto here = named(each);
            found.insert(found.end(), here.begin(), here.end());
        }
    if (found.size() == 1) return found.front();
    reporter_.Error(link.Line, code::kFlatUnknownLink,
                    shown + " names '" + Abridged(name) + "', " +
                        (found.empty() ? std::string("which no state is called")
                                       : "which " + std::to_string(found.size()) +
                                             " states are called, none nearer than the others") +
                        "; the paths into it are left out");
    return nullptr;
}

void PathWalker::Emit(std::size_t target) {
    if (out_->size() >= kMostChoices) {
        stopped_ = true;
        return;
    }
    Choice choice;
    choice.Target = target;
    choice.Conditions = conditions_;
    choice.Actions = actions_;
    for (const DrawnTransition* transition : transitions_) {
        choice.TransitionLines.push_back(transition->Object->Line);
        choice.TransitionIds.push_back(transition->Object->Id);
    }
    if (!transitions_.empty()) {
        choice.First = transitions_.front();
        choice.Priority = choice.First->Priority;
        choice.IsElse = choice.First->IsElse;
    }
    out_->push_back(std::move(choice));
}

void PathWalker::AddActions(const std::vector<const DrawnObject*>& actions, int kind) {
    for (const DrawnObject* action : actions)
        if (action->Flags == kind)
            actions_.push_back({action->Text, action->Line, action->TextColumn});
}

int PathWalker::LineOf(const DrawnTransition* via) const {
    return via && via->Object ? via->Object->Line : startLine_;
}

} // namespace kestrom::machine
