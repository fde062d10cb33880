// The drawn machine as the flattening looks it up: states and builtins by id,
// the transitions out of each object in the order they are tried, the labels
// of links, and what is reported, each problem once.
#pragma once

#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "base/Diagnostics.h"
#include "drawing/DrawnMachine.h"

namespace kestrom::machine {

class FlatIndex {
public:
    explicit FlatIndex(const drawing::DrawnMachine& machine);

    const drawing::DrawnMachine& Machine() const { return machine_; }
    const drawing::DrawnState* State(drawing::ObjectId id) const;
    // The diagram a state or builtin is drawn in; null for other ids.
    const drawing::DrawnDiagram* DiagramOf(drawing::ObjectId id) const;
    // The Entry, Exit, Link or Reset object of that id, or null.
    const drawing::DrawnObject* Builtin(drawing::ObjectId id) const;
    // The transitions out of an object: explicit priorities first (1
    // highest), then those without one in file order, then @ELSE.
    const std::vector<const drawing::DrawnTransition*>& Outgoing(drawing::ObjectId id) const;
    // The Entry objects of a diagram, in file order.
    const std::vector<const drawing::DrawnObject*>& Entries(drawing::ObjectId diagram) const;
    // The first line of the label an object owns (links, ports); empty without one.
    std::string LabelOf(drawing::ObjectId id) const;
    // The state that owns a diagram, or null for the top level.
    const drawing::DrawnState* OwnerOf(const drawing::DrawnDiagram& diagram) const;

private:
    const drawing::DrawnMachine& machine_;
    std::unordered_map<drawing::ObjectId, const drawing::DrawnState*> states_;
    std::unordered_map<drawing::ObjectId, const drawing::DrawnObject*> builtins_;
    std::unordered_map<drawing::ObjectId, const drawing::DrawnDiagram*> diagramOf_;
    std::unordered_map<drawing::ObjectId, std::vector<const drawing::DrawnTransition*>> outgoing_;
    std::unordered_map<drawing::ObjectId, std::vector<const drawing::DrawnObject*>> entries_;
    std::unordered_map<drawing::ObjectId, const drawing::DrawnObject*> labels_;
};

// Adds each problem once, however many paths come across it.
class Reporter {
public:
    explicit Reporter(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
    void Error(int line, std::string_view code, const std::string& message);
    void Warning(int line, std::string_view code, const std::string& message);

private:
    void Add(int line, std::string_view code, const std::string& message, Severity severity);
    Diagnostics& diagnostics_;
    std::set<std::tuple<int, std::string_view, std::string>> seen_;
};

// "state 'NAME'" or "state 12" for a state without a name.
std::string Named(const drawing::DrawnState& state);

} // namespace kestrom::machine
