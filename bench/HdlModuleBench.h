// The speed of a translated module: a bare sc_main with a clock, one driver
// process that sets every input to a random value at each falling edge, and
// the module; no tracing and no file output while it runs. Each program
// includes the module it measures as "bench_module.cpp".
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <systemc.h>

namespace hdl_bench {

// xorshift64: cheap, so the driver costs little beside the module.
struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    std::uint64_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

inline sc_time Period() {
    return sc_time(10, SC_NS);
}

inline std::uint64_t CyclesAsked(int argc, char* argv[]) {
    return argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000ULL;
}

// Runs the simulation for `cycles` clock periods and prints the rate.
inline void Measure(const char* what, std::uint64_t cycles) {
    sc_start(SC_ZERO_TIME);
    const auto start = std::chrono::steady_clock::now();
    sc_start(Period() * static_cast<double>(cycles));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %llu cycles in %.3f s, %.0f cycles per second\n", what,
                static_cast<unsigned long long>(cycles), seconds,
                static_cast<double>(cycles) / seconds);
}

} // namespace hdl_bench
