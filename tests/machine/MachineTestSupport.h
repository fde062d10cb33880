// Small drawings written object by object, and the flat machine as text that
// a test compares whole.
#pragma once

#include <string>
#include <vector>

#include "drawing/Drawing.h"
#include "drawing/DrawnMachine.h"
#include "machine/FlatMachine.h"

namespace kestrom::machine::test {

// Object lines of the editor's shape; parent 0 is the top level.
std::string StateLine(int id, int parent, const std::string& name, int flags = 0);
std::string JunctionLine(int id, int parent, const std::string& name);
std::string SubDiagramLine(int id, int state);
std::string BuiltinLine(int id, int parent, const std::string& kind, int flags = 0);
std::string LabelLine(int id, int owner, const std::string& text);
std::string TransitionLine(int id, int parent, int from, int to, int flags = 0);
std::string ConditionLine(int id, int transition, const std::string& text);
std::string ActionLine(int id, int owner, int kind, const std::string& text);

// Reads, describes and flattens; the drawing lives as long as this does.
struct Flattened {
    explicit Flattened(const std::string& asfText);
    drawing::Drawing Drawing;
    drawing::DrawnMachine Drawn;
    Diagnostics Problems;
    FlatMachine Flat;
};
Flattened FlattenObjects(const std::vector<std::string>& objects);

// One line per choice of the state at `path`:
// "-> TARGET [cond] & [cond] lines 12,40 {action} {action}" (else: "else ->");
// with ids, "via 20,31" names the transitions by object id instead.
enum class Via { Lines, Ids };
std::vector<std::string> ChoicesOf(const FlatMachine& machine, const std::string& path,
                                   Via via = Via::Lines);
// "line CODE" of each problem.
std::vector<std::string> Codes(const Diagnostics& problems);

} // namespace kestrom::machine::test
