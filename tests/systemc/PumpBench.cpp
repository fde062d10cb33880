// Test bench for the module generated from tests/data/extensions/pump.asf with
// --reset, --action-kinds, --typed-ports and --state-port. Its actions log
// their names; a model of the rules below says which actions each evaluation
// runs, and the bench compares both, with the state port and the led output,
// after start-up, at each edge and at each input change between edges.
//
// Rules: an evaluation (at start-up, at each rising edge, and with an
// asynchronous reset at a change of rst that leaves it 1) first runs the
// entry actions of a state just entered, then its state actions, then, unless
// it follows a reset, chooses a transition: a drawn one, or the fall-back to
// the default state Idle from another state. A chosen transition runs the exit
// actions of the state and its own actions; its target is entered at the next
// edge. A reset makes Idle current at once and enters it.
#include <functional>

#include "BenchHarness.h"

#ifndef KESTROM_RESET_ASYNC
#error "compile with -DKESTROM_RESET_ASYNC=1 (asynchronous reset) or =0 (synchronous)"
#endif
// Without --action-kinds every action a state owns runs in each of its
// evaluations, in the order of the file, and transition actions never run.
#ifndef KESTROM_ACTION_KINDS
#define KESTROM_ACTION_KINDS 1
#endif

inline void Log(const char* name) {
    bench::ActionLog().push_back(name);
}

#define private public
#include "generated_module.cpp"
#undef private

namespace {

struct Inputs {
    bool Rst = false;
    bool Go = false;
    unsigned Sel = 0;
};

// Edge: the inputs change a quarter cycle before a rising edge; otherwise
// they change between edges and no edge follows.
struct Step {
    bool Edge;
    Inputs In;
};

struct Transition {
    std::function<bool(const Inputs&)> Condition;
    int Target;
    std::vector<std::string> Actions;
};

struct StateRules {
    std::string Name;
    std::vector<std::string> Entry, Actions, Exit;
    std::vector<Transition> Transitions; // in the order they are tried
    int Led;                             // what its state actions write to led; -1: they leave it
};

enum { kIdle, kFill, kDrain, kHalt };
constexpr int kDefault = kIdle;
constexpr int kResetState = kIdle;

const std::vector<StateRules>& Rules() {
    static const std::vector<StateRules> rules = {
        {"Idle",
         {"en:Idle"},
         {"st:Idle"},
         {"ex:Idle"},
         {{[](const Inputs& in) { return in.Go; }, kFill, {"t:Idle-Fill"}}},
         0},
        {"Fill",
         {"en:Fill"},
         {"st:Fill"},
         {"ex:Fill"},
         {{[](const Inputs& in) { return in.Sel == 5; }, kFill, {"t:Fill-Fill"}},
          {[](const Inputs& in) { return !in.Go; }, kDrain, {}}},
         1},
        {"Drain",
         {},
         {"st:Drain"},
         {"ex:Drain"},
         {{[](const Inputs& in) { return in.Sel == 15; }, kHalt, {}},
          {[](const Inputs&) { return true; }, kIdle, {"t:Drain-Idle"}}},
         -1},
        {"Halt", {}, {"st:Halt"}, {}, {}, -1},
    };
    return rules;
}

class RulesModel {
public:
    void StartUp(const Inputs& in) { Evaluate(in, false); }

    void Apply(const Step& step, const Inputs& before) {
        if (KESTROM_RESET_ASYNC && step.In.Rst != before.Rst && step.In.Rst) Reset(step.In);
        if (!step.Edge) return;
        current_ = next_;
        if (step.In.Rst)
            Reset(step.In);
        else
            Evaluate(step.In, false);
    }

    std::string TakeLog() {
        std::string taken = bench::Join(log_);
        log_.clear();
        return taken;
    }
    int Current() const { return current_; }
    bool Led() const { return led_; }
    unsigned Level() const { return level_; }

private:
    void Reset(const Inputs& in) {
        current_ = kResetState;
        entering_ = true;
        Evaluate(in, true);
    }

    void Evaluate(const Inputs& in, bool afterReset) {
        const StateRules& state = Rules()[current_];
        if (entering_ || !KESTROM_ACTION_KINDS) Run(state.Entry);
        entering_ = false;
        Run(state.Actions);
        if (!KESTROM_ACTION_KINDS) Run(state.Exit);
        if (state.Led >= 0) led_ = state.Led == 1;
        if (current_ == kFill) level_ = in.Sel;
        next_ = current_;
        if (afterReset) return;
        for (const Transition& transition : state.Transitions)
            if (transition.Condition(in)) {
                Leave(state, transition.Target, transition.Actions);
                return;
            }
        if (current_ != kDefault) Leave(state, kDefault, {});
    }

    void Leave(const StateRules& state, int target, const std::vector<std::string>& actions) {
        if (KESTROM_ACTION_KINDS) {
            Run(state.Exit);
            Run(actions);
        }
        next_ = target;
        entering_ = true;
    }

    void Run(const std::vector<std::string>& actions) {
        log_.insert(log_.end(), actions.begin(), actions.end());
    }

    int current_ = kIdle;
    int next_ = kIdle;
    bool entering_ = true;
    bool led_ = false;
    unsigned level_ = 0;
    std::vector<std::string> log_;
};

struct PumpRig {
    sc_signal<bool> Clock, Rst, Go, Led;
    sc_signal<sc_uint<4>> Sel, Level;
    sc_signal<sc_uint<8>> Bus;
    sc_signal<int> State;
    Pump Dut;

    PumpRig() : Dut("pump") {
        Dut.clk(Clock);
        Dut.rst(Rst);
        Dut.go(Go);
        Dut.sel(Sel);
        Dut.led(Led);
        Dut.level(Level);
        Dut.bus(Bus);
        Dut.fsm_state(State);
    }
    void Apply(const Inputs& in) {
        Rst.write(in.Rst);
        Go.write(in.Go);
        Sel.write(in.Sel);
    }
};

std::string Observed(const std::string& log, int state, bool led, unsigned level) {
    return "[" + log + "] state " + Rules()[state].Name + " led " + (led ? "1" : "0") + " level " +
           std::to_string(level);
}

std::vector<Step> Steps() {
    const Inputs idle{};
    const Inputs go{false, true, 0};
    const Inputs stop{false, false, 0};
    const Inputs again{false, true, 5};
    const Inputs halt{false, false, 15};
    const Inputs reset{true, true, 0};
    return {
        {true, go},    {true, again}, {true, go},    {true, stop},
        {true, idle},  {true, go},    {true, go},    {false, reset}, // reset between edges, in Fill
        {true, reset}, {true, go},    {false, stop}, {true, stop},
        {true, again}, {true, halt},  {true, halt},  {true, reset}, // reset at an edge, in Halt
        {false, go},   {true, idle},  {true, idle},
    };
}

} // namespace

int sc_main(int, char*[]) {
    const bool method = KESTROM_EXPECT_METHOD != 0;
    const std::string label = std::string("pump (") + (method ? "method" : "thread") +
                              " process, " + (KESTROM_RESET_ASYNC ? "async" : "sync") + " reset" +
                              (KESTROM_ACTION_KINDS ? ", action kinds)" : ")");
    PumpRig rig;
    RulesModel model;
    std::vector<std::string> expected, actual;
    const sc_core::sc_time quarter(1, sc_core::SC_NS);

    Inputs inputs;
    rig.Apply(inputs);
    model.StartUp(inputs);
    sc_core::sc_start(quarter);
    expected.push_back(Observed(model.TakeLog(), model.Current(), model.Led(), model.Level()));
    actual.push_back(Observed(bench::TakeActionLog(), rig.State.read(), rig.Led.read(),
                              rig.Level.read().to_uint()));

    for (const Step& step : Steps()) {
        rig.Apply(step.In);
        model.Apply(step, inputs);
        inputs = step.In;
        sc_core::sc_start(quarter);
        if (step.Edge) {
            rig.Clock.write(true);
            sc_core::sc_start(quarter);
            rig.Clock.write(false);
            sc_core::sc_start(quarter);
        }
        expected.push_back(Observed(model.TakeLog(), model.Current(), model.Led(), model.Level()));
        actual.push_back(Observed(bench::TakeActionLog(), rig.State.read(), rig.Led.read(),
                                  rig.Level.read().to_uint()));
    }

    int failures = 0;
    if (bench::ProcessKindOf(rig.Dut) != (method ? "sc_method_process" : "sc_thread_process")) {
        std::cerr << "FAIL " << label << ": fsm_run is " << bench::ProcessKindOf(rig.Dut) << "\n";
        ++failures;
    }
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i]) {
            std::cerr << "FAIL " << label << " at step " << i
                      << " (0 is start-up)\n  expected: " << expected[i]
                      << "\n  actual:   " << actual[i] << "\n";
            ++failures;
        }
    if (failures == 0)
        std::cout << "PASS " << label << ": " << expected.size()
                  << " steps, actions, state port and led as the rules say\n";
    return failures == 0 ? 0 : 1;
}
