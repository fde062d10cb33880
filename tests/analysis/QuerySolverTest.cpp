#include "analysis/QuerySolver.h"

#include <gtest/gtest.h>

namespace kestrom::analysis {
namespace {

using namespace std::chrono_literals;

// Factoring a product of two large primes: far beyond any small time limit.
z3::expr HardFact(z3::context& c) {
    const z3::expr a = c.bv_const("a", 128);
    const z3::expr b = c.bv_const("b", 128);
    const z3::expr product = c.bv_val("340282366920938463463374607431768211507", 128);
    return a * b == product && z3::ugt(a, c.bv_val(1, 128)) && z3::ugt(b, c.bv_val(1, 128)) &&
           z3::ult(a, c.bv_val("18446744073709551616", 128)) &&
           z3::ult(b, c.bv_val("18446744073709551616", 128));
}

TEST(QuerySolver, AnswersAndGivesTheAssignmentAndTheFactsThatClash) {
    z3::context c;
    QuerySolver solver(c, Limits{});
    const z3::expr x = c.bv_const("x", 4);
    ASSERT_EQ(solver.Ask(x + 3 == 1), Answer::Satisfiable);
    EXPECT_EQ(solver.ValueOf(x).get_numeral_uint64(), 14u); // 4-bit arithmetic wraps

    std::vector<std::size_t> core;
    const std::vector<z3::expr> tracked = {z3::ugt(x, 2), x != 5, z3::ult(x, 2)};
    EXPECT_EQ(solver.Ask(x == 5, tracked, &core), Answer::Unsatisfiable);
    EXPECT_EQ(core, (std::vector<std::size_t>{1}));
    EXPECT_EQ(solver.Ask(z3::ugt(x, 2), tracked), Answer::Unsatisfiable);
    EXPECT_EQ(solver.Figures().Queries, 3u);
}

TEST(QuerySolver, AQueryOutOfTimeIsNotDecidedAndSpentBudgetStopsTheRest) {
    z3::context c;
    QuerySolver solver(c, Limits{50ms, 120ms});
    EXPECT_EQ(solver.Ask(HardFact(c)), Answer::NotDecided);
    EXPECT_EQ(solver.Figures().NotDecided, 1u);
    while (!solver.BudgetSpent())
        EXPECT_EQ(solver.Ask(HardFact(c)), Answer::NotDecided);
    const z3::expr x = c.bv_const("x", 4);
    EXPECT_EQ(solver.Ask(x == 1), Answer::NotAsked);
    EXPECT_EQ(solver.Figures().NotAsked, 1u);
}

TEST(QuerySolver, CancellingStopsLaterQueries) {
    z3::context c;
    std::atomic<bool> cancel{false};
    QuerySolver solver(c, Limits{}, &cancel);
    const z3::expr x = c.bv_const("x", 4);
    EXPECT_EQ(solver.Ask(x == 1), Answer::Satisfiable);
    cancel = true;
    EXPECT_EQ(solver.Ask(x == 1), Answer::NotAsked);
}

} // namespace
} // namespace kestrom::analysis
