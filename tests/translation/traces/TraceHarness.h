// Support of the hand-worked traces: the module translated in both process
// kinds is compiled into one program (each in a namespace of its own), both
// are driven by the same input signals, and after every rising edge each
// module's state and outputs are compared with what the trace expects.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <systemc.h>

namespace trace {

inline int failures = 0;

// The clock of every trace: first rising edge at 5 ns, one every 10 ns; the
// inputs are set between edges.
inline sc_time Period() {
    return sc_time(10, SC_NS);
}

inline void Expect(const char* module, int edge, const char* what, std::uint64_t actual,
                   std::uint64_t expected) {
    if (actual == expected) return;
    ++failures;
    std::printf("%s, after edge %d: %s is %llu, the trace says %llu\n", module, edge, what,
                static_cast<unsigned long long>(actual), static_cast<unsigned long long>(expected));
}

inline int Finish(const char* trace) {
    if (failures == 0) std::printf("%s: every edge as worked out by hand\n", trace);
    return failures == 0 ? 0 : 1;
}

} // namespace trace
