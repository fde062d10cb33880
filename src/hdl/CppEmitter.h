// The typed tree as C++ over std::uint64_t: every intermediate value is cut
// to its Verilog context width with a mask, so carries the hardware drops are
// dropped here too. A context wider than 64 bits computes in sc_biguint of
// its width (hdl/WideValues.h).
#pragma once

#include <functional>
#include <string>

#include "hdl/CodePrinter.h"
#include "hdl/Tree.h"

namespace kestrom::hdl {

struct Naming {
    // The C++ expression of a symbol's value before the edge (for constants
    // and enumeration values: their value). Must convert to std::uint64_t
    // (an sc_biguint of its width for a symbol over 64 bits) and hold no
    // bits above the symbol's width.
    std::function<std::string(const Symbol&)> Read;
    // The lvalue of the value the symbol takes after the edge; it holds the
    // value before the edge until written.
    std::function<std::string(const Symbol&)> Write;
    // Optional: wraps the value about to be written into an integer with a
    // declared range (VHDL), so leaving the range is reported. Given the
    // symbol, the value's C++ expression and the ASF line of the assignment,
    // returns the expression to store.
    std::function<std::string(const Symbol&, const std::string&, int)> CheckRange;
    // Optional: the C++ of next_X in a diagram action, the value register X
    // takes at the coming edge; unset, such a read is refused.
    std::function<std::string(const Symbol&)> ReadComing;
    // The file errors name.
    std::string File;
};

// A condition as a C++ expression (bool or integer; nonzero holds).
std::string EmitCondition(const Expr& condition, const Naming& naming);

// An expression as C++ evaluated at `width` bits (at least its own).
std::string EmitValue(const Expr& value, int width, const Naming& naming);

// Statements, one C++ line per source statement where possible.
void EmitActions(const StmtList& statements, const Naming& naming, CodePrinter& out);

} // namespace kestrom::hdl
