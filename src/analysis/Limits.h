// How long the analysis may think, and what it counted while it did: plain
// values, so callers need not see the solver.
#pragma once

#include <chrono>
#include <cstddef>

namespace kestrom::analysis {

struct Limits {
    std::chrono::milliseconds PerQuery{200};
    std::chrono::milliseconds PerFile{10000};
};

struct SolverFigures {
    std::size_t Queries = 0;    // asked of the solver
    std::size_t NotDecided = 0; // ran out of their own time
    std::size_t NotAsked = 0;   // the file's budget was spent before them
    std::chrono::microseconds Slowest{0};
    std::chrono::microseconds Total{0};
};

} // namespace kestrom::analysis
