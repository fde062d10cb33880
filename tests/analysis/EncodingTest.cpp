// Conditions encoded for the solver mean what the language (and so the
// generated module) computes: each case is tried at every value of its inputs
// against the value worked out by hand.
#include "analysis/Encoding.h"

#include <functional>

#include <gtest/gtest.h>

#include "analysis/QuerySolver.h"
#include "hdl/Parse.h"

namespace kestrom::analysis {
namespace {

struct Case {
    const char* Text;
    std::function<bool(unsigned a, unsigned b, unsigned c)> Holds; // a: 1 bit, b: 2, c: 4
};

hdl::Scope Inputs() {
    hdl::Scope scope;
    scope.Symbols.Add(hdl::MakeSymbol("a", hdl::SymbolKind::Input, 1));
    scope.Symbols.Add(hdl::MakeSymbol("b", hdl::SymbolKind::Input, 2));
    scope.Symbols.Add(hdl::MakeSymbol("c", hdl::SymbolKind::Signal, 4));
    hdl::Symbol limit = hdl::MakeSymbol("LIMIT", hdl::SymbolKind::Constant, 4);
    limit.Value = 9;
    scope.Symbols.Add(limit);
    scope.Macros.Define("TOP", "3");
    return scope;
}

TEST(Encoding, ConditionsHoldExactlyWhereTheLanguageSays) {
    const std::vector<Case> cases = {
        {"c + 4'd1 == 4'd0", [](unsigned, unsigned, unsigned c) { return c == 15; }},  // carry lost
        {"c + 4'd1 == 5'd16", [](unsigned, unsigned, unsigned c) { return c == 15; }}, // kept at 5
        {"b + b == 3'd6", [](unsigned, unsigned b, unsigned) { return b == 3; }},
        {"b + b == 2'd2", [](unsigned, unsigned b, unsigned) { return b == 1 || b == 3; }},
        {"~a", [](unsigned a, unsigned, unsigned) { return a == 0; }},
        {"~b == 2'b01", [](unsigned, unsigned b, unsigned) { return b == 2; }},
        {"c > LIMIT", [](unsigned, unsigned, unsigned c) { return c > 9; }},
        {"b == `TOP", [](unsigned, unsigned b, unsigned) { return b == 3; }},
        {"c[3:2] == b", [](unsigned, unsigned b, unsigned c) { return (c >> 2) == b; }},
        {"c[b]", [](unsigned, unsigned b, unsigned c) { return ((c >> b) & 1) == 1; }},
        {"{a, b} == 3'b101", [](unsigned a, unsigned b, unsigned) { return a == 1 && b == 1; }},
        {"{2{b}} == c", [](unsigned, unsigned b, unsigned c) { return (b << 2 | b) == c; }},
        {"(c >> b) == 4'd1", [](unsigned, unsigned b, unsigned c) { return (c >> b) == 1; }},
        {"(c << 2) == 4'd4", [](unsigned, unsigned, unsigned c) { return ((c << 2) & 15) == 4; }},
        {"^c", [](unsigned, unsigned, unsigned c) { return __builtin_popcount(c) % 2 == 1; }},
        {"&b || ~|c", [](unsigned, unsigned b, unsigned c) { return b == 3 || c == 0; }},
        {"a ? b == 2'd1 : c == 4'd2",
         [](unsigned a, unsigned b, unsigned c) { return a ? b == 1 : c == 2; }},
        {"c - 4'd1 < c", [](unsigned, unsigned, unsigned c) { return c != 0; }},
        {"!(b != 2'd0) && c", [](unsigned, unsigned b, unsigned c) { return b == 0 && c != 0; }},
        {"c * 4'd3 == 4'd1", [](unsigned, unsigned, unsigned c) { return (c * 3) % 16 == 1; }},
    };
    const hdl::Scope scope = Inputs();
    for (const Case& test : cases) {
        z3::context context;
        ConditionEncoder encoder(context, scope.Symbols);
        const hdl::ExprPtr tree =
            hdl::ParseCondition(hdl::Language::Verilog, test.Text, {"t.asf", 1, 1}, scope);
        const Encoded encoded = encoder.Encode(*tree);
        ASSERT_TRUE(encoded.Holds) << test.Text << ": " << encoded.NotModelled;
        std::vector<const hdl::Symbol*> reads;
        ConditionEncoder::AddReads(*tree, reads);
        for (unsigned a = 0; a < 2; ++a)
            for (unsigned b = 0; b < 4; ++b)
                for (unsigned c = 0; c < 16; ++c) {
                    z3::expr_vector from(context), to(context);
                    for (const hdl::Symbol* symbol : reads) {
                        const unsigned value = symbol->Name == "a"   ? a
                                               : symbol->Name == "b" ? b
                                                                     : c;
                        from.push_back(encoder.VariableOf(*symbol));
                        to.push_back(context.bv_val(value, symbol->Width));
                    }
                    z3::expr holds = *encoded.Holds;
                    const z3::expr at = holds.substitute(from, to).simplify();
                    EXPECT_EQ(at.is_true(), test.Holds(a, b, c))
                        << test.Text << " at a=" << a << " b=" << b << " c=" << c;
                }
    }
}

TEST(Encoding, WhatCannotBeModelledIsNamed) {
    const hdl::Scope scope = Inputs();
    z3::context context;
    ConditionEncoder encoder(context, scope.Symbols);
    hdl::Expr call;
    call.Kind = hdl::ExprKind::Call;
    call.Text = "parity";
    EXPECT_EQ(encoder.Encode(call).NotModelled, "a call of 'parity' cannot be modelled");
    hdl::Expr unknown;
    unknown.Kind = hdl::ExprKind::Name;
    unknown.Text = "ghost";
    EXPECT_EQ(encoder.Encode(unknown).NotModelled, "the name 'ghost' is not declared");
}

} // namespace
} // namespace kestrom::analysis
