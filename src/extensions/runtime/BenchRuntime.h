// The part of a test bench that is the same for every module: coverage of the
// transitions, seeded random inputs, the stimuli settings and the search for
// the inputs that hold and release the reset. The simulation driver uses it
// too. It comes after the module, whose header brings SystemC, and after
// `typedef <module> KestromModule;` in namespace kestrom_bench; the tables
// declared extern here follow it in the same file.
#ifndef KESTROM_BENCH_RUNTIME_H
#define KESTROM_BENCH_RUNTIME_H

#include <cstdint>
#include <systemc.h>
#include <vector>

namespace kestrom_bench {

struct Transition {
    int Id;
    const char* Text;
    std::uint64_t Taken;
};

struct Wires; // one signal per port of the module, clocks included

// Column: the stimuli column that drives the input; -1: random values; -2: the
// reset reads it.
struct Input {
    int Bits;
    bool Signed;
    int Column;
    void (*Write)(Wires&, std::uint64_t);
};

struct Setting {
    std::uint64_t Cycle;
    int Column;
    std::uint64_t Value;
};

extern const std::uint64_t kSeed;
extern const std::vector<const char*> kStates; // by the code the state port carries
extern std::vector<Transition> transitions;
extern const std::vector<Input> kInputs;        // the inputs the bench writes, in port order
extern const std::vector<Setting> kSettings;    // from the stimuli file, by cycle
bool ResetHolds(KestromModule& kestrom_module); // the reset's condition on the module

std::uint64_t otherTransitions = 0;
int lastTaken = 0; // the transition taken last, 0 before any

void Taken(int transition) {
    lastTaken = transition;
    for (Transition& t : transitions)
        if (t.Id == transition) {
            ++t.Taken;
            return;
        }
    ++otherTransitions;
}

// splitmix64: the same values from the same seed with every compiler
std::uint64_t NextRandom() {
    static std::uint64_t state = kSeed;
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A value of the given width; 0, 1, small numbers and the limits come more
// often than others, so that conditions comparing with them are met.
std::uint64_t RandomValue(int bits, bool isSigned) {
    const std::uint64_t mask = bits >= 64 ? ~0ULL : (1ULL << bits) - 1;
    const std::uint64_t pick = NextRandom();
    std::uint64_t value = NextRandom();
    switch (pick % 8) {
    case 0:
    case 1:
        value = pick >> 3 & 1;
        break;
    case 2:
        value = pick >> 3 & 15;
        break;
    case 3:
        value = isSigned ? mask >> 1 : mask;
        break;
    case 4:
        value = isSigned ? ~(mask >> 1) : 0;
        break;
    default:
        break;
    }
    value &= mask;
    if (isSigned && bits < 64 && (value >> (bits - 1) & 1)) value |= ~mask;
    return value;
}

// Inputs of one cycle: from the stimuli rows up to it, or random.
std::size_t nextSetting = 0;
void DriveInputs(Wires& wires, std::uint64_t cycle) {
    for (; nextSetting < kSettings.size() && kSettings[nextSetting].Cycle <= cycle; ++nextSetting)
        for (const Input& input : kInputs)
            if (input.Column == kSettings[nextSetting].Column)
                input.Write(wires, kSettings[nextSetting].Value);
    for (const Input& input : kInputs)
        if (input.Column == -1) input.Write(wires, RandomValue(input.Bits, input.Signed));
}

// Tries 1, 0 and all ones on each port the reset reads until the reset
// holds (or does not); false when no such values are found.
bool FindResetValues(KestromModule& dut, Wires& wires, bool holds,
                     std::vector<std::uint64_t>& found) {
    const std::uint64_t tried[] = {1, 0, ~0ULL};
    std::vector<const Input*> ports;
    for (const Input& input : kInputs)
        if (input.Column == -2) ports.push_back(&input);
    std::uint64_t combinations = 1;
    for (std::size_t i = 0; i < ports.size() && i < 6; ++i)
        combinations *= 3;
    for (std::uint64_t c = 0; c < combinations; ++c) {
        found.clear();
        std::uint64_t digits = c;
        for (const Input* input : ports) {
            found.push_back(tried[digits % 3]);
            input->Write(wires, found.back());
            digits /= 3;
        }
        sc_start(SC_ZERO_TIME);
        if (ResetHolds(dut) == holds) return true;
    }
    return false;
}

void DriveReset(Wires& wires, const std::vector<std::uint64_t>& values) {
    std::size_t next = 0;
    for (const Input& input : kInputs)
        if (input.Column == -2 && next < values.size()) input.Write(wires, values[next++]);
}

} // namespace kestrom_bench

#endif
