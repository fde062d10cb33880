#include "machine/FlatIndex.h"

#include <algorithm>

namespace kestrom::machine {
namespace {

using drawing::BuiltinKind;
using drawing::DrawnTransition;

// 0: an explicit priority, 1: none drawn, 2: @ELSE.
int RankOf(const DrawnTransition& transition) {
    if (transition.IsElse) return 2;
    return transition.Priority > 0 ? 0 : 1;
}

bool TriedBefore(const DrawnTransition* a, const DrawnTransition* b) {
    const int rankA = RankOf(*a);
    const int rankB = RankOf(*b);
    if (rankA != rankB) return rankA < rankB;
    if (rankA == 0 && a->Priority != b->Priority) return a->Priority < b->Priority;
    return a->Object->Line < b->Object->Line;
}

bool IsMachineBuiltin(BuiltinKind kind) {
    return kind == BuiltinKind::Entry || kind == BuiltinKind::Exit || kind == BuiltinKind::Link ||
           kind == BuiltinKind::Reset;
}

const std::vector<const DrawnTransition*> kNoTransitions;
const std::vector<const drawing::DrawnObject*> kNoObjects;

} // namespace

FlatIndex::FlatIndex(const drawing::DrawnMachine& machine) : machine_(machine) {
    for (const drawing::DrawnDiagram& diagram : machine.Diagrams) {
        for (const drawing::DrawnState& state : diagram.States) {
            if (!state.Object) continue;
            states_.emplace(state.Object->Id, &state);
            diagramOf_.emplace(state.Object->Id, &diagram);
        }
        for (const drawing::DrawnObject* object : diagram.Others) {
            if (object->Kind == drawing::ObjectKind::Label) labels_.emplace(object->Parent, object);
            if (object->Kind != drawing::ObjectKind::Builtin || !IsMachineBuiltin(object->Builtin))
                continue;
            if (!builtins_.emplace(object->Id, object).second) continue;
            diagramOf_.emplace(object->Id, &diagram);
            if (object->Builtin == BuiltinKind::Entry) entries_[diagram.Id].push_back(object);
        }
        for (const drawing::DrawnPort& port : diagram.Ports)
            if (port.Object && port.Label) labels_.emplace(port.Object->Id, port.Label);
        for (const DrawnTransition& transition : diagram.Transitions)
            if (transition.Object) outgoing_[transition.Object->From].push_back(&transition);
    }
    for (auto& [from, transitions] : outgoing_)
        std::stable_sort(transitions.begin(), transitions.end(), TriedBefore);
    for (auto& [diagram, entries] : entries_)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto* a, const auto* b) { return a->Line < b->Line; });
}

const drawing::DrawnState* FlatIndex::State(drawing::ObjectId id) const {
    const auto found = states_.find(id);
    return found == states_.end() ? nullptr : found->second;
}

const drawing::DrawnDiagram* FlatIndex::DiagramOf(drawing::ObjectId id) const {
    const auto found = diagramOf_.find(id);
    return found == diagramOf_.end() ? nullptr : found->second;
}

const drawing::DrawnObject* FlatIndex::Builtin(drawing::ObjectId id) const {
    const auto found = builtins_.find(id);
    return found == builtins_.end() ? nullptr : found->second;
}

const std::vector<const DrawnTransition*>& FlatIndex::Outgoing(drawing::ObjectId id) const {
    const auto found = outgoing_.find(id);
    return found == outgoing_.end() ? kNoTransitions : found->second;
}

const std::vector<const drawing::DrawnObject*>&
FlatIndex::Entries(drawing::ObjectId diagram) const {
    const auto found = entries_.find(diagram);
    return found == entries_.end() ? kNoObjects : found->second;
}

std::string FlatIndex::LabelOf(drawing::ObjectId id) const {
    const auto found = labels_.find(id);
    if (found == labels_.end()) return {};
    const std::string& text = found->second->Text;
    return text.substr(0, text.find('\n'));
}

const drawing::DrawnState* FlatIndex::OwnerOf(const drawing::DrawnDiagram& diagram) const {
    return diagram.Owner == 0 ? nullptr : State(diagram.Owner);
}

void Reporter::Error(int line, std::string_view code, const std::string& message) {
    Add(line, code, message, Severity::Error);
}

void Reporter::Warning(int line, std::string_view code, const std::string& message) {
    Add(line, code, message, Severity::Warning);
}

void Reporter::Add(int line, std::string_view code, const std::string& message, Severity severity) {
    if (!seen_.emplace(line, code, message).second) return;
    Diagnostic diagnostic(line, message, code);
    diagnostic.Level = severity;
    diagnostics_.push_back(std::move(diagnostic));
}

std::string Named(const drawing::DrawnState& state) {
    const std::string kind = state.IsJunction ? "junction " : "state ";
    if (!state.Name.empty()) return kind + "'" + Abridged(state.Name) + "'";
    return kind + std::to_string(state.Object ? state.Object->Id : 0);
}

} // namespace kestrom::machine
