// The test bench written beside a module: a whole SystemC program that drives
// the module's clock, reset and inputs, records a waveform of every port and
// reports the states and transitions the run covered. Standard C++ only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "extensions/ModulePlan.h"
#include "extensions/ModulePorts.h"
#include "extensions/Stimuli.h"

namespace kestrom {

// A transition the module's code can take, named for the report: a drawn one
// or the fall-back of a state to the default state.
struct BenchTransition {
    int Id = 0;             // what the module passes to KESTROM_COVERAGE
    std::string Text;       // "Idle -> Run [go.read()==1]"
    std::vector<int> Lines; // ASF lines of the drawn transitions it follows
};

struct BenchDesign {
    std::string Module;
    std::string ModuleInclude; // the module's file, as the bench includes it
    std::string BenchFile;     // the bench's own file name, for its build command
    std::vector<ModulePort> Ports;
    std::optional<ResetRule> Reset;
    std::vector<std::string> States; // by the code fsm_state carries: 0, 1, ...
    std::vector<int> StateLines;     // the ASF line of each state's object
    std::vector<BenchTransition> Transitions;
};

struct BenchRun {
    std::uint64_t Cycles = 1000;
    std::uint64_t Seed = 1;
    std::optional<Stimuli> Inputs; // without: seeded random values
    std::string LineEnd = "\r\n";  // the module's: LF beside a translated module
};

// The ports a stimuli file may name, with why the others may not be.
std::vector<StimulusPort> StimulusPorts(const BenchDesign& design);

// The whole bench program; lines end in run.LineEnd.
std::string WriteTestBench(const BenchDesign& design, const BenchRun& run);

// The bench's fixed code and its tables without its report and main, for
// another program that drives the module: it includes the module, defines
// kestrom_bench::KestromModule as the module's class, and leaves the
// namespace kestrom_bench open after the tables (ResetHolds, kHasReset and
// kResetText last). Its Wires, kStates, kInputs, transitions, lastTaken (set
// by each KESTROM_COVERAGE), FindResetValues and DriveReset are the
// program's to use.
std::string WriteBenchRuntime(const BenchDesign& design);

} // namespace kestrom
