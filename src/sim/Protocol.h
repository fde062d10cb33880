// The line protocol between a simulation driver and the program using it.
//
// The driver is a program of its own that runs one generated module. It
// reads commands on its standard input and answers on its standard output,
// one line each, words separated by single spaces, lines ended by LF. A name
// that holds a space, a '%' or a control character has each such byte written
// as %XX (two upper-case hexadecimal digits); every other byte stands as it is.
//
// Once started, before reading anything, the driver writes its hello line:
//
//   hello kestrom-sim VERSION module NAME [in P:BITS:u|s]... [out P:BITS:u|s]...
//         [signal S:BITS:u|s]... [state NAME]... reset yes|no
//
// (one line): the protocol's version, the module's name, its inputs other than
// the clock in port order, its outputs and bidirectional ports, its internal
// signals, its states by the code the state port carries (a state of a
// sub-diagram as PARENT.NAME) and whether it has a reset the driver can assert.
//
// Every command is answered by zero or more cycle lines and then exactly one
// closing line, "ok [WHY]" or "error MESSAGE":
//
//   set PORT VALUE   the input takes VALUE (decimal, two's complement in 64
//                    bits) from the next cycle on; the driver does not check
//                    that it fits the port, the caller does
//   step N           runs N clock cycles, one cycle line each
//   reset            runs one cycle with the reset held, then releases it
//   back N           goes back N cycles (replaying the recorded inputs from
//                    the start) and writes the cycle line of the cycle reached
//   run limit N [state NAME]... [taken ID|any]... [change]
//                    runs at most N cycles, one cycle line each ("ok limit"),
//                    and ends after the first cycle that ends in one of the
//                    states NAME, takes one of the transitions ID (any: any
//                    transition) or changes an output or internal signal
//                    ("ok reached"); a line "stop" arriving meanwhile ends it
//                    ("ok stopped"); a "stop" that comes after its run ended
//                    is not answered
//   quit             answers "ok" and ends the driver; so does the end of input
//
// A module that stops the simulation (SystemC's fatal report, an integer
// leaving its range) closes the command with "error the simulation stopped:
// MESSAGE" after the cycles before it, and the driver ends.
//
// A cycle line tells the values just after rising edge CYCLE (the first edge
// is cycle 0):
//
//   cycle CYCLE state NAME taken ID [PORT=VALUE]...
//
// with ID the transition that led into the state shown, as the module's
// coverage hook numbers it (0: none; negative: a state's fall-back to the
// default state), then every output and every internal signal in
// the hello's order, in decimal (signed when its type is). A state code the
// hello does not list is written as "?CODE".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrom::sim {

constexpr int kProtocolVersion = 2;
// The closing line of a command during which the module stopped the simulation.
constexpr const char* kStoppedPrefix = "error the simulation stopped: ";

std::string EscapeWord(std::string_view text);
std::string UnescapeWord(std::string_view word);

struct SignalInfo {
    std::string Name;
    int Bits = 1;
    bool Signed = false;
};

struct Hello {
    int Version = 0;
    std::string Module;
    std::vector<SignalInfo> Inputs;
    std::vector<SignalInfo> Outputs;
    std::vector<SignalInfo> Internals;
    std::vector<std::string> States;
    bool HasReset = false;
};

struct CycleReport {
    std::uint64_t Cycle = 0;
    std::string State;
    int Taken = 0;
    // Outputs then internal signals, as the hello lists them.
    std::vector<std::pair<std::string, std::string>> Values;
};

// Nothing when the line is not of its kind or is malformed.
std::optional<Hello> ParseHello(std::string_view line);
std::optional<CycleReport> ParseCycle(std::string_view line);

std::string FormatHello(const Hello& hello);

} // namespace kestrom::sim
