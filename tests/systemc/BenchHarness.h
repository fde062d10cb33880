// Drives generated SystemC modules clock edge by clock edge and compares the
// states they go through, and the outputs their actions write, with the
// sequences the diagram prescribes.
//
// Timing of the generated process. Both process kinds run the case of one
// state per activation: once at start-up, then once at every rising clock
// edge. A scenario therefore lists the states whose case runs, X0 at start-up
// and Xk at edge k, plus the state the last edge leads to. What CurrentState
// holds after an activation differs by kind:
//   thread: it waits for the edge, sets CurrentState = NextState, then runs
//           the case, so after edge k CurrentState is Xk (X0 after start-up);
//   method: it runs the case, then sets CurrentState = NextState, so after
//           edge k CurrentState is already Xk+1 (X1 after start-up).
// The outputs written by the actions are the same for both kinds.
#pragma once

#include <systemc.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#ifndef KESTROM_EXPECT_METHOD
#error "compile with -DKESTROM_EXPECT_METHOD=1 (method process) or =0 (thread process)"
#endif

namespace bench {

template <typename In> struct Scenario {
    std::string Name;
    // Inputs[0] holds at start-up, Inputs[k] during clock cycle k (k >= 1).
    std::vector<In> Inputs;
    // The states whose case runs at start-up and at each edge, then the state
    // the last edge leads to: one entry more than Inputs.
    std::vector<std::string> States;
    // The outputs after start-up and after each edge: as many as Inputs.
    std::vector<std::string> Outputs;
};

inline std::string Join(const std::vector<std::string>& items) {
    std::string joined;
    for (const auto& item : items) {
        if (!joined.empty()) joined += ' ';
        joined += item;
    }
    return joined;
}

inline bool ExpectSequence(const std::string& what, const std::vector<std::string>& expected,
                           const std::vector<std::string>& actual) {
    if (expected == actual) return true;
    std::size_t step = 0;
    while (step < expected.size() && step < actual.size() && expected[step] == actual[step])
        ++step;
    std::cerr << "FAIL " << what << ": first difference at step " << step
              << " (step 0 is start-up, step k the k-th rising clock edge)\n"
              << "  expected: " << Join(expected) << "\n"
              << "  actual:   " << Join(actual) << "\n";
    return false;
}

// Actions of a bench's diagram may call Log("name"); the bench takes what was
// logged since it last looked, so each step's actions can be compared in order.
inline std::vector<std::string>& ActionLog() {
    static std::vector<std::string> log;
    return log;
}

inline std::string TakeActionLog() {
    std::string taken = Join(ActionLog());
    ActionLog().clear();
    return taken;
}

// The kind of process the module registered for fsm_run, as SystemC names it.
inline std::string ProcessKindOf(const sc_core::sc_object& module) {
    for (const sc_core::sc_object* child : module.get_child_objects()) {
        const std::string kind = child->kind();
        if (kind == "sc_method_process" || kind == "sc_thread_process") return kind;
    }
    return "no process";
}

// Rig: owns the module and its signals, constructed from a name; offers
//   sc_signal<bool> Clock; void Apply(const In&);
//   std::string State() const; std::string Outputs() const;
//   const sc_core::sc_object& Module() const;
template <typename Rig, typename In>
int RunScenarios(const std::string& benchName, const std::vector<Scenario<In>>& scenarios) {
    const bool method = KESTROM_EXPECT_METHOD != 0;
    const std::string wantedKind = method ? "sc_method_process" : "sc_thread_process";
    const std::string label = benchName + (method ? " (method process)" : " (thread process)");
    int failures = 0;

    std::vector<std::unique_ptr<Rig>> rigs;
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        const auto& s = scenarios[i];
        if (s.States.size() != s.Inputs.size() + 1 || s.Outputs.size() != s.Inputs.size()) {
            std::cerr << "BROKEN SCENARIO " << s.Name << ": needs one state more than inputs"
                      << " and as many outputs as inputs\n";
            return 2;
        }
        rigs.push_back(std::make_unique<Rig>(("dut" + std::to_string(i)).c_str()));
        rigs.back()->Apply(s.Inputs[0]);
    }
    const std::string kind = ProcessKindOf(rigs.front()->Module());
    if (kind != wantedKind) {
        std::cerr << "FAIL " << label << ": fsm_run is registered as " << kind << ", expected "
                  << wantedKind << "\n";
        ++failures;
    }

    std::vector<std::vector<std::string>> states(scenarios.size()), outputs(scenarios.size());
    auto record = [&](std::size_t i) {
        states[i].push_back(rigs[i]->State());
        outputs[i].push_back(rigs[i]->Outputs());
    };

    const sc_core::sc_time quarter(1, sc_core::SC_NS);
    sc_core::sc_start(quarter); // start-up: every process runs once
    for (std::size_t i = 0; i < rigs.size(); ++i)
        record(i);

    std::size_t cycles = 0;
    for (const auto& s : scenarios)
        cycles = std::max(cycles, s.Inputs.size() - 1);
    for (std::size_t k = 1; k <= cycles; ++k) {
        auto active = [&](std::size_t i) { return k < scenarios[i].Inputs.size(); };
        for (std::size_t i = 0; i < rigs.size(); ++i)
            if (active(i)) rigs[i]->Apply(scenarios[i].Inputs[k]);
        sc_core::sc_start(quarter); // inputs settle before the edge
        for (std::size_t i = 0; i < rigs.size(); ++i)
            if (active(i)) rigs[i]->Clock.write(true);
        sc_core::sc_start(quarter); // the rising edge and every delta cycle after it
        for (std::size_t i = 0; i < rigs.size(); ++i)
            if (active(i)) record(i);
        for (std::size_t i = 0; i < rigs.size(); ++i)
            if (active(i)) rigs[i]->Clock.write(false);
        sc_core::sc_start(quarter);
    }

    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        const auto& s = scenarios[i];
        const auto first = s.States.begin() + (method ? 1 : 0);
        const std::vector<std::string> expectedStates(first, first + s.Inputs.size());
        const std::string what = label + ", scenario \"" + s.Name + "\"";
        if (!ExpectSequence(what + ": CurrentState after start-up and after each edge",
                            expectedStates, states[i]))
            ++failures;
        if (!ExpectSequence(what + ": outputs after start-up and after each edge", s.Outputs,
                            outputs[i]))
            ++failures;
    }
    if (failures == 0)
        std::cout << "PASS " << label << ": " << scenarios.size()
                  << " scenarios, states and outputs as the diagram prescribes\n";
    return failures == 0 ? 0 : 1;
}

} // namespace bench
