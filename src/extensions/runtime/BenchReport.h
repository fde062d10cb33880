// A test bench's report: the cycles spent in each state, how often each
// transition was taken and what was never reached, and the state names for
// GTKWave. It comes after the bench's runtime and tables.
#ifndef KESTROM_BENCH_REPORT_H
#define KESTROM_BENCH_REPORT_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kestrom_bench {

// A GTKWave translate filter: each state code in hexadecimal and its name.
void WriteStateFilter(const char* path) {
    std::FILE* filter = std::fopen(path, "w");
    if (!filter) {
        std::perror(path);
        return;
    }
    for (std::size_t code = 0; code < kStates.size(); ++code)
        std::fprintf(filter, "%08zX %s\n", code, kStates[code]);
    std::fclose(filter);
}

std::vector<std::uint64_t>& CyclesIn() {
    static std::vector<std::uint64_t> cycles(kStates.size());
    return cycles;
}
std::uint64_t cyclesInOtherCodes = 0;

void CountState(int code) {
    if (code >= 0 && static_cast<std::size_t>(code) < kStates.size())
        ++CyclesIn()[code];
    else
        ++cyclesInOtherCodes;
}

void PrintCount(const char* what, std::uint64_t count, int width) {
    std::printf("  %-*s %llu\n", width, what, static_cast<unsigned long long>(count));
}

// True when every state and transition was reached.
bool PrintNeverReached() {
    bool allReached = true;
    std::printf("Never reached:\n");
    for (std::size_t s = 0; s < kStates.size(); ++s)
        if (!CyclesIn()[s]) {
            std::printf("  state %s\n", kStates[s]);
            allReached = false;
        }
    for (const Transition& t : transitions)
        if (!t.Taken) {
            std::printf("  transition %s\n", t.Text);
            allReached = false;
        }
    return allReached;
}

void Report() {
    int width = 10;
    for (const char* state : kStates)
        width = std::max(width, static_cast<int>(std::strlen(state)));
    for (const Transition& t : transitions)
        width = std::max(width, static_cast<int>(std::strlen(t.Text)));
    std::printf("State coverage (cycles in each state):\n");
    for (std::size_t s = 0; s < kStates.size(); ++s)
        PrintCount(kStates[s], CyclesIn()[s], width);
    if (cyclesInOtherCodes) PrintCount("(no state)", cyclesInOtherCodes, width);
    std::printf("Transition coverage (times taken):\n");
    for (const Transition& t : transitions)
        PrintCount(t.Text, t.Taken, width);
    if (otherTransitions) PrintCount("(not drawn)", otherTransitions, width);
    if (PrintNeverReached()) std::printf("  nothing: every state and transition was reached\n");
}

} // namespace kestrom_bench

#endif
