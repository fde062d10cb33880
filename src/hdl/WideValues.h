// Values wider than 64 bits, as SystemC's sc_biguint: each value computed at
// a context width W is an sc_biguint<W>, so a carry beyond W is lost as in
// Verilog. The narrow emitter hands over every value whose context is wider
// than 64 bits and asks here for the truth, comparison, reduction and
// selects of wide operands.
#pragma once

#include <string>

#include "hdl/EmitText.h"
#include "hdl/Tree.h"

namespace kestrom::hdl::emit {

// What the wide values ask of the narrow emitter.
class NarrowValues {
public:
    virtual ~NarrowValues() = default;
    // `expr` computed at `width` bits, at most 64.
    virtual Piece Value(const Expr& expr, int width) = 0;
    // The C++ expression of a name's value, or the selected name's of a
    // select, as the texts read it (next_X: the coming value).
    virtual Piece ReadOf(const Expr& nameOrSelect) = 0;
    // Refuses `what` ("a shift amount wider than 64 bits") at the expression.
    [[noreturn]] virtual void TooWide(const Expr& expr, const char* what) const = 0;
};

// "sc_biguint<W> ( text )".
std::string Big(int width, const std::string& text);

class WideValues {
public:
    explicit WideValues(NarrowValues& narrow) : narrow_(narrow) {}

    // An sc_biguint<width> expression, width over 64.
    std::string Value(const Expr& expr, int width);
    // Whether any bit of a wide value is set: a bool expression.
    std::string Truth(const Expr& expr);
    // A comparison of operands computed at `width` bits: a bool expression.
    std::string Comparison(const Expr& left, const Expr& right, std::string_view op, int width);
    // &, |, ^ and their negations of a wide operand: a bool expression.
    std::string Reduction(UnaryOp op, const Expr& operand);
    // A bit or part select of at most 64 bits of a wide symbol: std::uint64_t.
    Piece Select(const Expr& expr);

private:
    std::string Own(const Expr& expr);
    std::string Concat(const Expr& expr, int width);
    std::string Unary(const Expr& expr, int width);
    std::string Binary(const Expr& expr, int width);
    std::string Shift(const Expr& expr, int width);

    NarrowValues& narrow_;
};

} // namespace kestrom::hdl::emit
