// kestrom-gen --testbench end to end: generate the module and its bench,
// build the bench with the command its header gives, run it, and compare the
// coverage it prints and the waveform it writes with what the diagram does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "support/TestSupport.h"
#include "systemc/Waveform.h"

namespace kestrom::test {
namespace {

const std::string kExamples = KESTROM_EXAMPLES;

std::string Quoted(const std::string& word) {
    return "'" + word + "'";
}

int RunIn(const std::string& dir, const std::string& command, const std::string& output) {
    const std::string line =
        "cd " + Quoted(dir) + " && " + command + " >" + Quoted(output) + " 2>&1";
    return std::system(line.c_str());
}

// The build command the bench's header comment gives its reader.
std::string BuildCommand(const std::string& bench) {
    std::istringstream lines(bench);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("//   g++ ", 0) == 0) return line.substr(5, line.find('\r') - 5);
    return "no build command in the header";
}

struct BenchResult {
    std::string Report;
    std::string Vcd;
    std::string Filter;
};

class TestBenchRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("pkg-config --exists systemc") != 0)
            GTEST_SKIP() << "SystemC not found (pkg-config systemc): install libsystemc-dev";
    }

    BenchResult Run(const std::vector<std::string>& options, const std::string& asf,
                    const std::string& module, const std::string& stimuli = {}) {
        std::string command = Quoted(KESTROM_GEN);
        for (const std::string& option : options)
            command += " " + option;
        if (!stimuli.empty()) {
            WriteFileBytes(dir_.File("stimuli.csv"), stimuli);
            command += " --stimuli stimuli.csv";
        }
        const std::string asfPath = asf.front() == '/' ? asf : kExamples + "/" + asf;
        command += " --testbench bench.cpp " + Quoted(asfPath) + " module.cpp";
        EXPECT_EQ(RunIn(dir_.Path(), command, "generation.txt"), 0)
            << ReadFileBytes(dir_.File("generation.txt"));
        const std::string build = BuildCommand(ReadFileBytes(dir_.File("bench.cpp")));
        EXPECT_EQ(RunIn(dir_.Path(), build + " -O0 -o bench", "build.txt"), 0)
            << build << "\n"
            << ReadFileBytes(dir_.File("build.txt"));
        EXPECT_EQ(RunIn(dir_.Path(), "SYSTEMC_DISABLE_COPYRIGHT_MESSAGE=1 ./bench", "report.txt"),
                  0);
        return {ReadFileBytes(dir_.File("report.txt")), ReadFileBytes(dir_.File(module + ".vcd")),
                ReadFileBytes(dir_.File(module + ".fsm_state.txt"))};
    }

    TempDir dir_;
};

// Each "FROM -> TO" of the transition rows with its count, summed over the
// rows of the same two states.
std::map<std::pair<std::string, std::string>, long> TakenBetweenStates(const std::string& report) {
    std::istringstream lines(report);
    std::map<std::pair<std::string, std::string>, long> taken;
    bool inTransitions = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Transition coverage", 0) == 0) {
            inTransitions = true;
        } else if (line.rfind("Never reached", 0) == 0) {
            inTransitions = false;
        } else if (inTransitions && line.find(" -> ") != std::string::npos) {
            std::istringstream words(line);
            std::string from, arrow, to;
            words >> from >> arrow >> to;
            taken[{from, to}] += std::stol(line.substr(line.rfind(' ')));
        }
    }
    return taken;
}

// The changes of state the waveform shows from the first edge after the
// reset on: what the report must count between two different states.
std::map<std::pair<std::string, std::string>, long> ChangesOfState(const BenchResult& result,
                                                                   int cycles, int resetCycles) {
    const Waveform wave(result.Vcd);
    std::vector<std::string> names;
    std::istringstream filter(result.Filter);
    for (std::string code, name; filter >> code >> name;)
        names.push_back(name);
    const auto& changes = wave.Changes.at("fsm_state");
    std::vector<long> states = {std::stol(changes.begin()->second, nullptr, 2)};
    for (long code : wave.EndOfCycles("fsm_state", cycles))
        states.push_back(code);
    std::map<std::pair<std::string, std::string>, long> shown;
    for (std::size_t k = static_cast<std::size_t>(resetCycles) + 1; k < states.size(); ++k)
        if (states[k] != states[k - 1])
            ++shown[{names.at(static_cast<std::size_t>(states[k - 1])),
                     names.at(static_cast<std::size_t>(states[k]))}];
    return shown;
}

// Only the rows between two different states: a self-loop shows no change.
std::map<std::pair<std::string, std::string>, long>
Changing(std::map<std::pair<std::string, std::string>, long> taken) {
    for (auto it = taken.begin(); it != taken.end();)
        it = it->first.first == it->first.second || it->second == 0 ? taken.erase(it)
                                                                    : std::next(it);
    return taken;
}

const char* const kToggleStimuli = "cycle,go\n0,1\n3,0\n";

const char* const kToggleReport =
    "Toggle: 8 cycles of 10 ns; waveform Toggle.vcd, state names for GTKWave "
    "Toggle.fsm_state.txt\n"
    "State coverage (cycles in each state):\n"
    "  Idle                                         2\n"
    "  Run                                          2\n"
    "  Stop                                         4\n"
    "Transition coverage (times taken):\n"
    "  Idle -> Run [go.read()==1]                   2\n"
    "  Idle -> Idle                                 1\n"
    "  Run -> Stop [go.read()==0]                   1\n"
    "  Stop -> Stop                                 3\n"
    "  Run -> Idle (fall-back to the default state) 1\n"
    "Never reached:\n"
    "  nothing: every state and transition was reached\n";

TEST_F(TestBenchRun, ToggleFollowsItsStimuliInBothProcessKinds) {
    for (const char* process : {"thread", "method"}) {
        const BenchResult result =
            Run({"--process", process, "--cycles", "8"}, "toggle.asf", "Toggle", kToggleStimuli);
        EXPECT_EQ(result.Report, kToggleReport) << process;
        EXPECT_EQ(Changing(TakenBetweenStates(result.Report)), ChangesOfState(result, 8, 0));
        EXPECT_EQ(result.Filter, "00000000 Idle\n00000001 Run\n00000002 Stop\n");

        const Waveform wave(result.Vcd);
        EXPECT_EQ(wave.Names, (std::vector<std::string>{"clk", "go", "q", "fsm_state"}));
        EXPECT_EQ(wave.EndOfCycles("fsm_state", 8), (std::vector<long>{0, 1, 0, 1, 2, 2, 2, 2}));
        EXPECT_EQ(wave.EndOfCycles("go", 8), (std::vector<long>{1, 1, 1, 0, 0, 0, 0, 0}));
        EXPECT_EQ(wave.Changes.at("clk").at(5), "1") << "the clock rises at 5 ns";
        EXPECT_EQ(wave.Changes.at("clk").at(15), "1") << "and every 10 ns after";
    }
}

// An editor-style drawing with C++ actions, a reset, buses, a self-loop and
// two transitions between the same two states.
const char* const kKeyStimuli = "cycle,key,level\n0,1,0\n2,,3\n4,,9\n5,,15\n6,,9\n"
                                "11,0,\n12,1,\n14,0,\n15,1,\n18,0,\n";

const char* const kKeyReport =
    "KeyFilter: 20 cycles of 10 ns; waveform KeyFilter.vcd, state names for GTKWave "
    "KeyFilter.fsm_state.txt\n"
    "The reset (rst.read()) held for cycles 0 and 1.\n"
    "State coverage (cycles in each state):\n"
    "  Idle                                              8\n"
    "  Settle                                            6\n"
    "  Pressed                                           4\n"
    "  Held                                              2\n"
    "  Fault                                             0\n"
    "Transition coverage (times taken):\n"
    "  Idle -> Settle [key.read()]                       5\n"
    "  Settle -> Settle [key.read() && level.read() < 8] 1\n"
    "  Settle -> Pressed [key.read()]                    4\n"
    "  Settle -> Idle                                    1\n"
    "  Pressed -> Idle [!key.read()]                     1\n"
    "  Pressed -> Idle [level.read() == 15]              1\n"
    "  Pressed -> Held                                   2\n"
    "  Held -> Idle [!key.read()]                        1\n"
    "  Fault -> Fault                                    0\n"
    "  Held -> Idle (fall-back to the default state)     1\n"
    "Never reached:\n"
    "  state Fault\n"
    "  transition Fault -> Fault\n";

TEST_F(TestBenchRun, EditorDrawingWithResetAndCppActions) {
    const std::vector<std::vector<std::string>> variants = {
        {"--process", "thread", "--reset", "sync"},
        {"--process", "method", "--reset", "async"},
    };
    for (std::vector<std::string> options : variants) {
        options.insert(options.end(), {"--typed-ports", "--cycles", "20"});
        const BenchResult result = Run(options, "keyfilter.asf", "KeyFilter", kKeyStimuli);
        EXPECT_EQ(result.Report, kKeyReport) << options[1];
        EXPECT_EQ(Changing(TakenBetweenStates(result.Report)), ChangesOfState(result, 20, 2))
            << "the evaluation before the reset is not counted";

        const Waveform wave(result.Vcd);
        EXPECT_EQ(wave.EndOfCycles("rst", 4), (std::vector<long>{1, 1, 0, 0}));
        EXPECT_EQ(wave.EndOfCycles("fsm_state", 20),
                  (std::vector<long>{0, 0, 0, 1, 1, 2, 0, 1, 2, 3, 0, 1, 0, 1, 2, 0, 1, 2, 3, 0}));
        EXPECT_EQ(wave.EndOfCycles("presses", 20).back(), 4) << "Pressed ran four times";
    }
}

// The cycles the report gives each state, in the order of the states.
std::vector<long> CyclesByState(const std::string& report) {
    std::istringstream lines(report);
    std::vector<long> cycles;
    bool inStates = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("State coverage", 0) == 0)
            inStates = true;
        else if (line.rfind("Transition coverage", 0) == 0)
            inStates = false;
        else if (inStates)
            cycles.push_back(std::stol(line.substr(line.rfind(' '))));
    }
    return cycles;
}

// With random inputs the report and the waveform agree on every state's cycles.
TEST_F(TestBenchRun, RandomInputsReportWhatTheWaveformShows) {
    const std::vector<std::pair<std::string, std::string>> examples = {{"crossing", "Crossing"},
                                                                       {"blinker", "Blinker"}};
    for (const auto& [example, module] : examples) {
        const BenchResult result =
            Run({"--process", "method", "--seed", "7"}, example + ".asf", module);
        const std::vector<long> reported = CyclesByState(result.Report);
        std::vector<long> drawn(reported.size());
        for (long code : Waveform(result.Vcd).EndOfCycles("fsm_state", 1000))
            ++drawn.at(static_cast<std::size_t>(code));
        EXPECT_EQ(reported, drawn) << result.Report;
        EXPECT_EQ(Changing(TakenBetweenStates(result.Report)), ChangesOfState(result, 1000, 0))
            << result.Report;
        long cycles = 0;
        for (long count : reported)
            cycles += count;
        EXPECT_EQ(cycles, 1000) << example;
    }
}

// The evaluation at start-up leaves Idle at once, but the reset that follows
// puts the machine back before any edge shows it: not a transition taken.
TEST_F(TestBenchRun, TheEvaluationBeforeTheResetIsNotCounted) {
    std::string keyFilter = ReadFileBytes(kExamples + "/keyfilter.asf");
    const std::string condition = "1 0 0 \"key.read()\"";
    keyFilter.replace(keyFilter.find(condition), condition.size(), "1 0 0 \"!key.read()\"");
    const TempDir input;
    WriteFileBytes(input.File("early.asf"), keyFilter);
    for (const char* process : {"thread", "method"}) {
        const BenchResult result =
            Run({"--process", process, "--reset", "sync", "--typed-ports", "--cycles", "6"},
                input.File("early.asf"), "KeyFilter", "cycle,key,level\n0,1,0\n");
        const auto taken = TakenBetweenStates(result.Report);
        EXPECT_EQ(taken.at({"Idle", "Settle"}), 0) << process << "\n" << result.Report;
        EXPECT_EQ(Changing(taken), ChangesOfState(result, 6, 2)) << process;
    }
}

// Without a trap state the bench's module stays in its state on an illegal
// one: it builds and runs.
TEST_F(TestBenchRun, AMachineWithoutTrapStateBuilds) {
    std::string toggle = ReadFileBytes(kExamples + "/toggle.asf");
    toggle.replace(toggle.find("S 3 0 2"), 7, "S 3 0 0");
    const TempDir input;
    WriteFileBytes(input.File("untrapped.asf"), toggle);
    const BenchResult result = Run({"--cycles", "8"}, input.File("untrapped.asf"), "Toggle");
    EXPECT_NE(result.Report.find("Transition coverage"), std::string::npos) << result.Report;
}

} // namespace
} // namespace kestrom::test
