// The simulation as the window runs it, on the real driver built with
// SystemC: going back forgets what came later, runs stop where asked, and the
// inputs saved as a stimuli table make a test bench go through the same
// states cycle for cycle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "Waveform.h"
#include "sim/Build.h"
#include "sim/Controller.h"
#include "sim/Export.h"
#include "sim/SimGeneration.h"
#include "support/TestSupport.h"

namespace kestrom::sim {
namespace {

using test::ReadFileBytes;
using test::TempDir;

const std::string kExamples = KESTROM_EXAMPLES;

class SimController : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("pkg-config --exists systemc") != 0)
            GTEST_SKIP() << "SystemC not found (pkg-config systemc): install libsystemc-dev";
    }

    std::unique_ptr<Controller> Start(const std::string& asf, bool translated = false) {
        SimRequest request;
        request.AsfPath = request.ShownName = asf;
        request.Hdl.Enabled = translated;
        auto model = std::make_unique<FsmModel>();
        Diagnostics problems;
        const std::optional<SimDesign> design = GenerateSimulation(request, *model, problems);
        EXPECT_TRUE(design.has_value());
        BuildSettings settings;
        settings.CacheRoot = dir_.File("cache");
        const BuiltDriver built = BuildDriver(*design, settings);
        return std::make_unique<Controller>(std::make_unique<Driver>(built.Program), design->Bench);
    }

    static std::vector<std::string> States(const Controller& simulation) {
        std::vector<std::string> states;
        for (const Controller::Row& row : simulation.Trace())
            states.push_back(row->State);
        return states;
    }

    TempDir dir_;
};

TEST_F(SimController, BackForgetsLaterCyclesInputsAndCoverage) {
    const std::unique_ptr<Controller> simulation = Start(kExamples + "/toggle.asf");
    EXPECT_EQ(simulation->Set("go", "0x100000000"),
              "0x100000000 does not fit go (-2147483648 to 2147483647)");
    EXPECT_EQ(simulation->Set("go", "1"), "");
    simulation->Step(3);
    EXPECT_EQ(simulation->Set("go", "0b0"), "");
    simulation->Step(2);
    EXPECT_EQ(States(*simulation),
              (std::vector<std::string>{"Idle", "Run", "Idle", "Run", "Stop"}));
    ASSERT_EQ(simulation->StatesReached().count("Stop"), 1u);

    simulation->Back(3);
    EXPECT_EQ(simulation->CyclesRun(), 2u);
    EXPECT_EQ(States(*simulation), (std::vector<std::string>{"Idle", "Run"}));
    EXPECT_EQ(simulation->StatesReached().count("Stop"), 0u);
    EXPECT_EQ(simulation->InputWords(), (std::vector<std::string>{"1"}));
    ASSERT_EQ(simulation->Changes().size(), 1u);
    // go stays set: Idle where the forgotten cycles went to Stop.
    simulation->Step(3);
    EXPECT_EQ(States(*simulation),
              (std::vector<std::string>{"Idle", "Run", "Idle", "Run", "Idle"}));
}

TEST_F(SimController, RunsStopAtBreakpointsAndAtWhatWasAsked) {
    const std::unique_ptr<Controller> simulation = Start(kExamples + "/toggle.asf");
    simulation->Set("go", "1");
    simulation->StateBreakpoints() = {"Stop"};
    EXPECT_EQ(simulation->Run(51, {}), RunEnd::Limit);
    EXPECT_EQ(simulation->CyclesRun(), 51u);
    simulation->Set("go", "0");
    EXPECT_EQ(simulation->Run(50, {}), RunEnd::Reached);
    EXPECT_EQ(simulation->Trace().back()->State, "Stop");
    // Stop holds q and takes its own transition every cycle.
    simulation->StateBreakpoints().clear();
    const std::uint64_t stoppedAt = simulation->CyclesRun();
    RunUntil change;
    change.Change = true;
    EXPECT_EQ(simulation->Run(20, change), RunEnd::Limit);
    EXPECT_EQ(simulation->CyclesRun(), stoppedAt + 20);
    RunUntil taken;
    taken.AnyTaken = true;
    EXPECT_EQ(simulation->Run(20, taken), RunEnd::Reached);
    EXPECT_EQ(simulation->CyclesRun(), stoppedAt + 21);
}

// The saved table, read back by a test bench of the same module, drives it
// through the states the simulation showed.
TEST_F(SimController, SavedInputsReplayThroughTheTestBench) {
    const std::string asf = kExamples + "/crossing.asf";
    const std::unique_ptr<Controller> simulation = Start(asf);
    std::mt19937 random(7);
    const int cycles = 80;
    for (int k = 0; k < cycles; k += 1 + int(random() % 4)) {
        for (const char* input : {"rst", "button", "car", "fault"})
            if (random() % 3 == 0) simulation->Set(input, std::to_string(random() % 2));
        simulation->Step(k + 4 < cycles ? 1 + random() % 4 : cycles - simulation->CyclesRun());
        if (simulation->CyclesRun() >= std::uint64_t(cycles)) break;
    }
    ASSERT_EQ(simulation->CyclesRun(), std::uint64_t(cycles));
    std::ofstream(dir_.File("inputs.csv")) << [&] {
        std::ostringstream text;
        WriteStimuli(*simulation, text);
        return text.str();
    }();

    const std::string run = "cd '" + dir_.Path() + "' && '" KESTROM_GEN "' --cycles " +
                            std::to_string(cycles) +
                            " --testbench bench.cpp --stimuli inputs.csv '" + asf +
                            "' module.cpp >gen.txt 2>&1 && g++ -std=c++17 -O0 bench.cpp "
                            "$(pkg-config --cflags --libs systemc) -o bench && "
                            "SYSTEMC_DISABLE_COPYRIGHT_MESSAGE=1 ./bench >report.txt";
    ASSERT_EQ(std::system(run.c_str()), 0) << ReadFileBytes(dir_.File("gen.txt"));
    const test::Waveform wave(ReadFileBytes(dir_.File("Crossing.vcd")));
    const std::vector<long> codes = wave.EndOfCycles("fsm_state", cycles);
    const std::vector<std::string>& names = simulation->Bench().States;
    std::vector<std::string> benchStates;
    for (long code : codes)
        benchStates.push_back(code >= 0 && code < long(names.size()) ? names[code] : "?");
    EXPECT_EQ(benchStates, States(*simulation));
}

// A 128-bit register in the waveform: all its bits, not the low 64.
TEST_F(SimController, TheWaveformHoldsValuesWiderThan64Bits) {
    const std::unique_ptr<Controller> simulation =
        Start(std::string(KESTROM_TEST_DATA) + "/hdl/wide_verilog.asf", true);
    simulation->Set("data", "18446744073709551615");
    simulation->Step(2);
    std::ostringstream vcd;
    WriteVcd(*simulation, vcd);
    EXPECT_NE(vcd.str().find("b" + std::string(64, '1') + std::string(64, '0') + " "),
              std::string::npos)
        << vcd.str();
}

} // namespace
} // namespace kestrom::sim
