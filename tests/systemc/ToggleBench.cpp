// Test bench for the module generated from examples/toggle.asf: Idle (the
// default state) goes to Run while go is 1; Run goes to Stop (the trap) when
// go is 0 and otherwise falls back to Idle; Stop never leaves.
#include "BenchHarness.h"

// The state variables are private members of the generated module.
#define private public
#include "generated_module.cpp"
#undef private

namespace {

struct ToggleInputs {
    int Go;
};

struct ToggleRig {
    sc_signal<bool> Clock;
    sc_signal<int> Go, Q;
    Toggle Dut;

    explicit ToggleRig(const char* name) : Dut(name) {
        Dut.clk(Clock);
        Dut.go(Go);
        Dut.q(Q);
    }
    void Apply(const ToggleInputs& in) { Go.write(in.Go); }
    const sc_core::sc_object& Module() const { return Dut; }
    std::string Outputs() const { return "q=" + std::to_string(Q.read()); }
    std::string State() const {
        switch (Dut.CurrentState) {
        case Toggle::Idle:
            return "Idle";
        case Toggle::Run:
            return "Run";
        case Toggle::Stop:
            return "Stop";
        }
        return "?" + std::to_string(static_cast<int>(Dut.CurrentState));
    }
};

std::vector<bench::Scenario<ToggleInputs>> Scenarios() {
    return {
        {"run, fall back to Idle, run, stop for good",
         {{0}, {1}, {1}, {1}, {0}, {1}, {0}},
         {"Idle", "Idle", "Run", "Idle", "Run", "Stop", "Stop", "Stop"},
         {"q=0", "q=0", "q=1", "q=0", "q=1", "q=1", "q=1"}},
        {"Idle holds while go is 0",
         {{0}, {0}, {0}},
         {"Idle", "Idle", "Idle", "Idle"},
         {"q=0", "q=0", "q=0"}},
    };
}

} // namespace

int sc_main(int, char*[]) {
    return bench::RunScenarios<ToggleRig>("toggle", Scenarios());
}
