// A typed condition as a Z3 bit-vector term at the widths of the action
// language: ports, signals and registers it reads are free values of their
// width, constants and macros their values. What cannot be modelled is said,
// never guessed.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <z3++.h>

#include "analysis/DiagnosticText.h"
#include "hdl/Symbols.h"
#include "hdl/Tree.h"

namespace kestrom::analysis {

struct Encoded {
    std::optional<z3::expr> Holds; // the condition as a Boolean term
    std::string NotModelled;       // otherwise why not, naming the construct
};

class ConditionEncoder {
public:
    // `symbols` gives the values an enumeration-typed signal can take.
    ConditionEncoder(z3::context& context, const hdl::SymbolTable& symbols);

    Encoded Encode(const hdl::Expr& condition);

    // What every free value must satisfy: an integer's declared range, an
    // enumeration signal's values. True when nothing is known.
    z3::expr Domain() const;

    // The free values read by `condition`, added to `names` in order of first
    // appearance (no repeats).
    static void AddReads(const hdl::Expr& condition, std::vector<const hdl::Symbol*>& names);

    // The value of the free value `symbol` in the assignment `solver` found,
    // in the notation of `language` (4'h5, "0101", 5).
    template <typename Solver>
    WitnessValue ValueIn(const Solver& solver, const hdl::Symbol& symbol,
                         hdl::Language language) const {
        return {symbol.Name, ValueText(solver.ValueOf(VariableOf(symbol)), symbol, language)};
    }

    static bool IsFree(const hdl::Symbol& symbol);

    // The free value of a symbol some encoded condition reads.
    z3::expr VariableOf(const hdl::Symbol& symbol) const;

private:
    z3::expr MakeVariable(const hdl::Symbol& symbol);
    std::string ValueText(const z3::expr& value, const hdl::Symbol& symbol,
                          hdl::Language language) const;

    z3::context& context_;
    const hdl::SymbolTable& symbols_;
    std::map<const hdl::Symbol*, z3::expr> variables_;
    std::vector<z3::expr> domain_;
};

} // namespace kestrom::analysis
