// Flat machines written in a few lines for the analysis tests, and the
// analysis's diagnostics as the batch tool prints them.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "analysis/ConditionAnalysis.h"
#include "hdl/Parse.h"
#include "machine/FlatMachine.h"

namespace kestrom::analysis::test {

// One drawn transition: its W line (its condition sits on the next line),
// its priority (0: none drawn), its condition ("" none, "@ELSE" the else).
struct TransitionSpec {
    int Line = 0;
    int Priority = 0;
    std::string Condition;
    std::string Target;
};

struct StateSpec {
    std::string Name;
    int Line = 0;
    std::vector<TransitionSpec> Transitions; // as drawn, in file order
};

// A flat machine and the drawn states it points at.
struct TestMachine {
    std::deque<drawing::DrawnObject> Objects;
    std::deque<drawing::DrawnState> Drawn;
    machine::FlatMachine Flat;
};

// The states with their choices in the order they are tried: explicit
// priorities first, then the others in file order, then @ELSE.
TestMachine MachineOf(const std::vector<StateSpec>& states);

// Adds a free value (Input, Output or Signal) or a constant to the scope.
void Declare(hdl::Scope& scope, const std::string& name, hdl::SymbolKind kind, int width);
void DeclareConstant(hdl::Scope& scope, const std::string& name, int width, std::uint64_t value);

// The diagnostics, one "m.asf:LINE: warning: MESSAGE [K20x]" line each.
std::vector<std::string> DiagnosticLines(const AnalysisResult& result);

AnalysisResult Analyse(const TestMachine& machine, const hdl::Scope& scope,
                       hdl::Language language = hdl::Language::Verilog,
                       AnalysisOptions options = {});

} // namespace kestrom::analysis::test
