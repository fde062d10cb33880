// One small solver query per question, each with its own time limit, and a
// budget of time for all the questions about one file: a query that runs out
// is not decided, never an answer.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include <z3++.h>

#include "analysis/Limits.h"

namespace kestrom::analysis {

// NotDecided: the query ran out of its time; NotAsked: the file's budget was
// spent (or the run cancelled) before it.
enum class Answer { Satisfiable, Unsatisfiable, NotDecided, NotAsked };

class QuerySolver {
public:
    // Once `cancel` (when given) is set, later queries are not asked: the
    // window sets it when the file is loaded again.
    QuerySolver(z3::context& context, Limits limits, const std::atomic<bool>* cancel = nullptr);

    // Whether `fact` can hold together with every one of `tracked`. When they
    // cannot, `core` (when given) receives the indices of tracked facts that
    // already cannot hold with `fact`: few, though not always the fewest.
    Answer Ask(const z3::expr& fact, const std::vector<z3::expr>& tracked = {},
               std::vector<std::size_t>* core = nullptr);

    // After a satisfiable answer, the value `term` takes in the assignment found.
    z3::expr ValueOf(const z3::expr& term) const;

    bool BudgetSpent() const;
    const SolverFigures& Figures() const { return figures_; }
    const Limits& Limit() const { return limits_; }

private:
    using Clock = std::chrono::steady_clock;

    Answer Run(const z3::expr_vector& assumptions);
    std::chrono::milliseconds TimeLeft() const;

    z3::context& context_;
    z3::solver solver_;
    Limits limits_;
    const std::atomic<bool>* cancel_;
    Clock::duration spent_{};
    SolverFigures figures_;
    std::optional<z3::model> lastModel_; // of the last satisfiable answer
};

} // namespace kestrom::analysis
