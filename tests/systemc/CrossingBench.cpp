// Test bench for the module generated from examples/crossing.asf, a
// pedestrian crossing. GO (the default state) shows green to the cars; a
// press of the button leads to AMBER at once when no car waits, or to HOLD,
// which counts two more green cycles while cars keep coming. AMBER leads to
// STOP (walk sign on) for three cycles, then CLEAR, which falls back to GO.
// A fault in GO, HOLD, AMBER or CLEAR leads to FAILED, the trap state.
#include "BenchHarness.h"

// The state variables are private members of the generated module.
#define private public
#include "generated_module.cpp"
#undef private

namespace {

struct CrossingInputs {
    int Button, Car, Fault;
};

struct CrossingRig {
    sc_signal<bool> Clock;
    sc_signal<int> Rst, Button, Car, Fault, Road, Walk, Count, Alarm;
    Crossing Dut;

    explicit CrossingRig(const char* name) : Dut(name) {
        Dut.clk(Clock);
        Dut.rst(Rst);
        Dut.button(Button);
        Dut.car(Car);
        Dut.fault(Fault);
        Dut.road(Road);
        Dut.walk(Walk);
        Dut.count(Count);
        Dut.alarm(Alarm);
    }
    void Apply(const CrossingInputs& in) {
        Button.write(in.Button);
        Car.write(in.Car);
        Fault.write(in.Fault);
    }
    const sc_core::sc_object& Module() const { return Dut; }
    // Road light (R red, A amber, G green), walk sign (W on, - off), alarm
    // (! on, - off), then the counter.
    std::string Outputs() const {
        static const char* const roads[] = {"R", "A", "G"};
        const int road = Road.read();
        std::string text = road >= 0 && road <= 2 ? roads[road] : "?" + std::to_string(road);
        text += Walk.read() == 1 ? "W" : Walk.read() == 0 ? "-" : "?";
        text += Alarm.read() == 1 ? "!" : Alarm.read() == 0 ? "-" : "?";
        return text + std::to_string(Count.read());
    }
    std::string State() const {
        switch (Dut.CurrentState) {
        case Crossing::GO:
            return "GO";
        case Crossing::HOLD:
            return "HOLD";
        case Crossing::AMBER:
            return "AMBER";
        case Crossing::STOP:
            return "STOP";
        case Crossing::CLEAR:
            return "CLEAR";
        case Crossing::FAILED:
            return "FAILED";
        }
        return "?" + std::to_string(static_cast<int>(Dut.CurrentState));
    }
};

constexpr CrossingInputs kQuiet{0, 0, 0};
constexpr CrossingInputs kCar{0, 1, 0};
constexpr CrossingInputs kButton{1, 0, 0};
constexpr CrossingInputs kButtonCar{1, 1, 0};
constexpr CrossingInputs kFault{0, 0, 1};

std::vector<bench::Scenario<CrossingInputs>> Scenarios() {
    return {
        {"two crossings, the second cut short, then a fault in AMBER",
         {kQuiet,     kCar,       kButtonCar, kCar,    kCar,   kCar,   kCar,   kQuiet,
          kQuiet,     kQuiet,     kQuiet,     kButton, kQuiet, kQuiet, kQuiet, kQuiet,
          kButtonCar, kButtonCar, kQuiet,     kFault,  kQuiet, kButton},
         {"GO",    "GO",   "GO",    "HOLD",  "HOLD",   "HOLD",   "AMBER", "STOP",
          "STOP",  "STOP", "CLEAR", "GO",    "AMBER",  "STOP",   "STOP",  "STOP",
          "CLEAR", "GO",   "HOLD",  "AMBER", "FAILED", "FAILED", "FAILED"},
         {"G--0", "G--0", "G--0", "G--1", "G--2", "G--3", "A--0", "RW-1", "RW-2", "RW-3", "R--3",
          "G--0", "A--0", "RW-1", "RW-2", "RW-3", "R--3", "G--0", "G--1", "A--0", "A-!0", "A-!0"}},
        {"a fault beats the button in GO and FAILED holds",
         {kQuiet, {1, 0, 1}, kQuiet, kButtonCar},
         {"GO", "GO", "FAILED", "FAILED", "FAILED"},
         {"G--0", "G--0", "A-!0", "A-!0"}},
        {"a fault beats an expiring HOLD",
         {kQuiet, kButtonCar, kFault, kQuiet},
         {"GO", "GO", "HOLD", "FAILED", "FAILED"},
         {"G--0", "G--0", "G--1", "A-!1"}},
        {"a fault in CLEAR",
         {kQuiet, kButton, kQuiet, kQuiet, kQuiet, kQuiet, kFault, kQuiet},
         {"GO", "GO", "AMBER", "STOP", "STOP", "STOP", "CLEAR", "FAILED", "FAILED"},
         {"G--0", "G--0", "A--0", "RW-1", "RW-2", "RW-3", "R--3", "A-!3"}},
    };
}

} // namespace

int sc_main(int, char*[]) {
    return bench::RunScenarios<CrossingRig>("crossing", Scenarios());
}
