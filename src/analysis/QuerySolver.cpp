#include "analysis/QuerySolver.h"

#include <algorithm>
#include <string>

namespace kestrom::analysis {

QuerySolver::QuerySolver(z3::context& context, Limits limits, const std::atomic<bool>* cancel)
    : context_(context), solver_(context, z3::solver::simple()), limits_(limits), cancel_(cancel) {}

bool QuerySolver::BudgetSpent() const {
    return TimeLeft().count() <= 0 || (cancel_ && cancel_->load());
}

std::chrono::milliseconds QuerySolver::TimeLeft() const {
    return limits_.PerFile - std::chrono::duration_cast<std::chrono::milliseconds>(spent_);
}

Answer QuerySolver::Ask(const z3::expr& fact, const std::vector<z3::expr>& tracked,
                        std::vector<std::size_t>* core) {
    if (BudgetSpent()) {
        ++figures_.NotAsked;
        return Answer::NotAsked;
    }
    // One solver for every query, each in its own scope: far cheaper than a
    // new solver per query.
    solver_.push();
    solver_.set("timeout", static_cast<unsigned>(std::min(limits_.PerQuery, TimeLeft()).count()));
    solver_.add(fact);
    z3::expr_vector assumptions(context_);
    for (std::size_t i = 0; i < tracked.size(); ++i) {
        const z3::expr marker = context_.bool_const(("tracked!" + std::to_string(i)).c_str());
        solver_.add(z3::implies(marker, tracked[i]));
        assumptions.push_back(marker);
    }
    const Answer answer = Run(assumptions);
    if (answer == Answer::Satisfiable) lastModel_.emplace(solver_.get_model());
    if (answer == Answer::Unsatisfiable && core) {
        core->clear();
        const z3::expr_vector found = solver_.unsat_core();
        for (unsigned k = 0; k < found.size(); ++k)
            for (unsigned i = 0; i < assumptions.size(); ++i)
                if (z3::eq(found[k], assumptions[i])) core->push_back(i);
        std::sort(core->begin(), core->end());
    }
    solver_.pop();
    return answer;
}

Answer QuerySolver::Run(const z3::expr_vector& assumptions) {
    const Clock::time_point start = Clock::now();
    z3::check_result result = z3::unknown;
    try {
        result = assumptions.empty() ? solver_.check() : solver_.check(assumptions);
    } catch (const z3::exception&) {
        result = z3::unknown; // out of memory or resources: not decided, as a timeout
    }
    const Clock::duration took = Clock::now() - start;
    spent_ += took;
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(took);
    ++figures_.Queries;
    figures_.Total += micros;
    figures_.Slowest = std::max(figures_.Slowest, micros);
    if (result == z3::sat) return Answer::Satisfiable;
    if (result == z3::unsat) return Answer::Unsatisfiable;
    ++figures_.NotDecided;
    return Answer::NotDecided;
}

z3::expr QuerySolver::ValueOf(const z3::expr& term) const {
    return lastModel_.value().eval(term, true);
}

} // namespace kestrom::analysis
