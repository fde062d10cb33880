#include "machine/FlatMachine.h"

#include <unordered_map>
#include <unordered_set>

#include "base/CppNames.h"
#include "machine/FlatIndex.h"
#include "machine/FlatTables.h"
#include "machine/PathWalker.h"

namespace kestrom::machine {
namespace {

using drawing::DrawnDiagram;
using drawing::DrawnState;

constexpr std::size_t kDeepestNesting = 64; // owners of owners; deeper chains are cycles

bool IsLeaf(const DrawnState& state) {
    return state.Object && !state.IsJunction && !state.IsHierarchical;
}

std::string NameInPath(const DrawnState& state) {
    return state.Name.empty() ? "state" + std::to_string(state.Object->Id) : state.Name;
}

std::vector<ActionText> ActionsOfKind(const DrawnState& state, int kind) {
    std::vector<ActionText> texts;
    for (const drawing::DrawnObject* action : state.Actions)
        if (action->Flags == kind)
            texts.push_back({action->Text, action->Line, action->TextColumn});
    return texts;
}

// "A.B.NAME" and the state actions of A, B and NAME, outermost first.
void Place(const FlatIndex& index, const DrawnState& leaf, FlatState& flat) {
    std::vector<const DrawnState*> chain{&leaf};
    for (const DrawnDiagram* diagram = index.DiagramOf(leaf.Object->Id);
         diagram && chain.size() <= kDeepestNesting;) {
        const DrawnState* owner = index.OwnerOf(*diagram);
        if (!owner) break;
        chain.push_back(owner);
        diagram = index.DiagramOf(owner->Object->Id);
    }
    for (auto state = chain.rbegin(); state != chain.rend(); ++state) {
        flat.Path += (flat.Path.empty() ? "" : ".") + NameInPath(**state);
        const std::vector<ActionText> actions = ActionsOfKind(**state, drawing::kStateAction);
        flat.StateActions.insert(flat.StateActions.end(), actions.begin(), actions.end());
    }
}

std::string IdentifierFrom(const std::string& path) {
    std::string identifier;
    for (char c : path) {
        const bool word =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        identifier += word ? c : '_';
    }
    if (identifier.empty() || (identifier[0] >= '0' && identifier[0] <= '9'))
        identifier = "S_" + identifier;
    if (IsCppKeyword(identifier)) identifier += "_";
    return identifier;
}

// A top-level state whose name is an identifier keeps it; the others get
// theirs from their paths, numbered on where two would be the same.
void NameIdentifiers(std::vector<FlatState>& states) {
    std::unordered_set<std::string> taken;
    for (FlatState& state : states)
        if (state.Path.find('.') == std::string::npos && IsCppIdentifier(state.Path) &&
            !IsCppKeyword(state.Path) && taken.insert(state.Path).second)
            state.Identifier = state.Path;
    for (FlatState& state : states) {
        if (!state.Identifier.empty()) continue;
        const std::string base = IdentifierFrom(state.Path);
        std::string identifier = base;
        for (int n = 2; !taken.insert(identifier).second; ++n)
            identifier = base + "_" + std::to_string(n);
        state.Identifier = identifier;
    }
}

void ReportSamePaths(const std::vector<FlatState>& states, Reporter& reporter) {
    std::unordered_map<std::string, int> firstLine;
    for (const FlatState& state : states) {
        const int line = state.Drawn->Object->Line;
        const auto [first, fresh] = firstLine.emplace(state.Path, line);
        if (!fresh)
            reporter.Warning(line, code::kFlatSamePath,
                             "the state on line " + std::to_string(line) + " and the one on line " +
                                 std::to_string(first->second) + " are both '" +
                                 Abridged(state.Path) + "'; they are told apart as " +
                                 state.Identifier);
    }
}

class Flattener {
public:
    Flattener(const drawing::DrawnMachine& machine, Diagnostics& diagnostics)
        : machine_(machine), index_(machine), reporter_(diagnostics),
          walker_(index_, leafOf_, reporter_) {}

    FlatMachine Run() {
        FlatMachine flat;
        AddLeaves(flat);
        for (FlatState& state : flat.States)
            state.Choices = walker_.ChoicesFrom(*state.Drawn);
        MarkEnteredLeaves(flat);
        flat.Reset = ResetOf();
        CollectTables(machine_, flat);
        return flat;
    }

private:
    void AddLeaves(FlatMachine& flat) {
        for (const DrawnDiagram& diagram : machine_.Diagrams)
            for (const DrawnState& state : diagram.States) {
                if (!IsLeaf(state) || leafOf_.count(state.Object->Id)) continue;
                FlatState leaf;
                leaf.Drawn = &state;
                leaf.Code = state.Code;
                leaf.IsDefault = state.IsDefault;
                leaf.IsTrap = state.IsTrap;
                leaf.Entry = ActionsOfKind(state, drawing::kEntryAction);
                leaf.Exit = ActionsOfKind(state, drawing::kExitAction);
                Place(index_, state, leaf);
                leafOf_.emplace(state.Object->Id, flat.States.size());
                flat.States.push_back(std::move(leaf));
            }
        NameIdentifiers(flat.States);
        ReportSamePaths(flat.States, reporter_);
    }

    // A hierarchical state drawn as default or trap passes its mark to the
    // leaves that entering it leads to.
    void MarkEnteredLeaves(FlatMachine& flat) {
        for (const DrawnDiagram& diagram : machine_.Diagrams)
            for (const DrawnState& state : diagram.States) {
                if (!state.Object || !state.IsHierarchical || state.IsJunction) continue;
                if (!state.IsDefault && !state.IsTrap) continue;
                for (std::size_t leaf : walker_.LeavesEntered(state)) {
                    flat.States[leaf].IsDefault |= state.IsDefault;
                    flat.States[leaf].IsTrap |= state.IsTrap;
                }
            }
    }

    std::optional<machine::Reset> ResetOf() {
        std::vector<const drawing::DrawnTransition*> resets;
        for (const DrawnDiagram& diagram : machine_.Diagrams)
            for (const drawing::DrawnTransition& transition : diagram.Transitions)
                if (transition.FromReset && transition.Object) resets.push_back(&transition);
        if (resets.empty()) return std::nullopt;
        const drawing::DrawnTransition& first = *resets.front();
        if (resets.size() > 1)
            reporter_.Warning(resets[1]->Object->Line, code::kFlatResetProblem,
                              "a second transition leaves a Reset object; the reset is the one "
                              "on line " +
                                  std::to_string(first.Object->Line));
        const std::vector<Choice> paths = walker_.ChoicesThrough(first);
        if (paths.empty()) return std::nullopt;
        if (paths.size() > 1 || paths.front().Conditions.size() > (first.Condition ? 1 : 0))
            reporter_.Warning(first.Object->Line, code::kFlatResetProblem,
                              "the reset on line " + std::to_string(first.Object->Line) +
                                  " leads on through conditions; it goes to the first state "
                                  "they can reach");
        machine::Reset reset;
        if (first.Condition && !first.IsElse)
            reset.Condition = {first.Condition->Text, first.Condition->Line,
                               first.Condition->TextColumn};
        reset.Target = paths.front().Target;
        reset.Actions = paths.front().Actions;
        reset.TransitionLines = paths.front().TransitionLines;
        reset.AsfLine = first.Object->Line;
        const drawing::DrawnObject* source = index_.Builtin(first.Object->From);
        reset.Asynchronous = source && (source->Flags & 1) != 0;
        return reset;
    }

    const drawing::DrawnMachine& machine_;
    FlatIndex index_;
    Reporter reporter_;
    std::unordered_map<drawing::ObjectId, std::size_t> leafOf_;
    PathWalker walker_;
};

} // namespace

std::optional<std::size_t> FlatMachine::FindPath(std::string_view path) const {
    for (std::size_t s = 0; s < States.size(); ++s)
        if (States[s].Path == path) return s;
    return std::nullopt;
}

std::size_t FlatMachine::ChoiceCount() const {
    std::size_t count = 0;
    for (const FlatState& state : States)
        count += state.Choices.size();
    return count;
}

FlatMachine Flatten(const drawing::DrawnMachine& machine, Diagnostics& diagnostics) {
    return Flattener(machine, diagnostics).Run();
}

bool HasFlatteningErrors(const Diagnostics& diagnostics) {
    for (const Diagnostic& diagnostic : diagnostics)
        if (diagnostic.Level == Severity::Error && diagnostic.Code.size() == 4 &&
            diagnostic.Code.substr(0, 3) == "K31")
            return true;
    return false;
}

} // namespace kestrom::machine
