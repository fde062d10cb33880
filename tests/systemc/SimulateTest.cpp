// kestrom-gen --simulate end to end, with the real compiler and SystemC: each
// test has a cache folder of its own, so its first session builds the driver.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>

#include "support/TestSupport.h"
#include "systemc/Waveform.h"

namespace kestrom::test {
namespace {

const std::string kExamples = KESTROM_EXAMPLES;
const std::string kHdlData = std::string(KESTROM_TEST_DATA) + "/hdl";

std::string Quoted(const std::string& word) {
    return "'" + word + "'";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct Session {
    int Status = 0;
    std::vector<std::string> Out;
    std::string Err;
};

class Simulate : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("pkg-config --exists systemc") != 0)
            GTEST_SKIP() << "SystemC not found (pkg-config systemc): install libsystemc-dev";
    }

    Session Run(const std::string& options, const std::string& asf, const std::string& commands,
                const std::string& environment = "") {
        WriteFileBytes(dir_.File("commands.txt"), commands);
        const std::string line = "cd " + Quoted(dir_.Path()) +
                                 " && XDG_CACHE_HOME=" + Quoted(dir_.File("cache")) + " " +
                                 environment + " " + Quoted(KESTROM_GEN) + " --simulate " +
                                 options + " " + Quoted(asf) + " <commands.txt >out.txt 2>err.txt";
        const int status = std::system(line.c_str());
        return {WEXITSTATUS(status), Lines(ReadFileBytes(dir_.File("out.txt"))),
                ReadFileBytes(dir_.File("err.txt"))};
    }

    TempDir dir_;
};

// The test bench with random inputs and the simulator given the same inputs,
// cycle by cycle, show the same state and outputs after every edge.
TEST_F(Simulate, FollowsTheTestBenchCycleByCycle) {
    const int cycles = 120;
    const std::string asf = kExamples + "/crossing.asf";
    const std::string generate = "cd " + Quoted(dir_.Path()) + " && " + Quoted(KESTROM_GEN) +
                                 " --cycles " + std::to_string(cycles) + " --testbench bench.cpp " +
                                 Quoted(asf) +
                                 " module.cpp >gen.txt 2>&1 && g++ -std=c++17 -O0 "
                                 "bench.cpp $(pkg-config --cflags --libs systemc) -o bench && "
                                 "SYSTEMC_DISABLE_COPYRIGHT_MESSAGE=1 ./bench >report.txt";
    ASSERT_EQ(std::system(generate.c_str()), 0) << ReadFileBytes(dir_.File("gen.txt"));
    const Waveform wave(ReadFileBytes(dir_.File("Crossing.vcd")));
    std::map<std::string, std::vector<long>> values;
    for (const char* port :
         {"rst", "button", "car", "fault", "road", "walk", "count", "alarm", "fsm_state"})
        for (long raw : wave.EndOfCycles(port, cycles))
            values[port].push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw)));

    std::string commands;
    for (int k = 0; k < cycles; ++k) {
        for (const char* input : {"rst", "button", "car", "fault"})
            commands += "set " + std::string(input) + " " + std::to_string(values[input][k]) + "\n";
        commands += "step\n";
    }
    const Session session = Run("", asf, commands);
    ASSERT_EQ(session.Status, 0) << session.Err;
    // The example's header says Verilog over C++ texts: that warning alone.
    EXPECT_EQ(session.Err.rfind(asf + ":5: warning: the actions and conditions are in Verilog", 0),
              0u)
        << session.Err;
    EXPECT_EQ(session.Err.find('\n'), session.Err.size() - 1) << session.Err;
    const std::vector<std::string> states = {"GO", "HOLD", "AMBER", "STOP", "CLEAR", "FAILED"};
    ASSERT_EQ(session.Out.size(), static_cast<std::size_t>(cycles));
    for (int k = 0; k < cycles; ++k) {
        std::string expected =
            "cycle " + std::to_string(k) + " state " + states.at(values["fsm_state"][k]);
        for (const char* output : {"road", "walk", "count", "alarm"})
            expected += " " + std::string(output) + "=" + std::to_string(values[output][k]);
        ASSERT_EQ(session.Out[k], expected) << "cycle " << k;
    }
}

// The state after edge N is the one chosen at edge N - 1: going back to
// cycle 0 and clearing go leads from Run to Stop instead of back to Idle.
TEST_F(Simulate, StepsBackAndRunsUntilAState) {
    const Session session = Run("", kExamples + "/toggle.asf",
                                "set go 1\nstep 4\nback 3\nback 5\nset go 0\n"
                                "run until state Stop\nrun until state Idle limit 2\n"
                                "run until state Nowhere\nquit\nstep\n");
    EXPECT_EQ(session.Status, 0);
    EXPECT_EQ(session.Out,
              (std::vector<std::string>{"cycle 0 state Idle q=0", "cycle 1 state Run q=1",
                                        "cycle 2 state Idle q=0", "cycle 3 state Run q=1",
                                        "cycle 0 state Idle q=0", // back 3
                                        "cycle 1 state Run q=1", "cycle 2 state Stop q=1",
                                        "cycle 3 state Stop q=1", "cycle 4 state Stop q=1"}));
    EXPECT_EQ(session.Err, "error: cannot go back before cycle 0\n"
                           "note: state Idle not reached in 2 cycles\n"
                           "error: no state Nowhere\n");
}

TEST_F(Simulate, BadCommandsAreToldAndTheSessionGoesOn) {
    const Session session = Run("--typed-ports", kExamples + "/toggle.asf",
                                "set go 2\nset go -1\nset go x\nset go 0x1ffffffffffffffff\nset q "
                                "1\nset clk 1\nstep 0\nstep two\njump\nreset\n"
                                "back\n\nset go 0b1\nstep\n");
    EXPECT_EQ(session.Status, 0);
    EXPECT_EQ(session.Out, (std::vector<std::string>{"cycle 0 state Idle q=0"}));
    EXPECT_EQ(session.Err,
              "error: 2 does not fit go (0 to 1)\n"
              "error: -1 does not fit go (0 to 1)\n"
              "error: 'x' is no value: decimal, 0x hexadecimal or 0b binary\n"
              "error: 0x1ffffffffffffffff has more than 64 bits: an input is set to values of up "
              "to 64 bits\n"
              "error: q is an output port, not an input\n"
              "error: no input port clk (the clock is driven by the simulation)\n"
              "error: step takes a number of cycles from 1, not '0'\n"
              "error: step takes a number of cycles from 1, not 'two'\n"
              "error: unknown command 'jump' (set, step, back, run until state, reset, quit)\n"
              "error: the module has no reset that can be asserted\n"
              "error: cannot go back before cycle 0\n");
}

TEST_F(Simulate, ASecondStartReusesTheBuiltProgram) {
    const Session first = Run("", kExamples + "/toggle.asf", "step\n");
    ASSERT_EQ(first.Status, 0) << first.Err;
    const std::string folder = dir_.File("cache") + "/kestrom/sim";
    const std::string list = "ls " + Quoted(folder) + " > " + Quoted(dir_.File("ls.txt"));
    ASSERT_EQ(std::system(list.c_str()), 0);
    const std::vector<std::string> hashes = Lines(ReadFileBytes(dir_.File("ls.txt")));
    ASSERT_EQ(hashes.size(), 1u);
    const std::string program = folder + "/" + hashes[0] + "/driver";
    struct stat before {};
    ASSERT_EQ(stat(program.c_str(), &before), 0);

    const Session second = Run("", kExamples + "/toggle.asf", "step\n");
    EXPECT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(second.Out, first.Out);
    struct stat after {};
    ASSERT_EQ(stat(program.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

TEST_F(Simulate, AFailedBuildEndsTheRunWithItsCompilerOutput) {
    const Session failed =
        Run("--process method", kExamples + "/toggle.asf", "step\n", "CXX=false");
    EXPECT_EQ(failed.Status, 1);
    EXPECT_TRUE(failed.Out.empty());
    EXPECT_NE(failed.Err.find("kestrom-gen: error: the module and its driver do not compile "
                              "(false, exit status 1)"),
              std::string::npos)
        << failed.Err;
}

// The pump's actions call a Log its own test bench defines: the module does
// not compile alone, and the compiler's words name the action's ASF line.
TEST_F(Simulate, ACompileErrorIsShownWithTheCompilersOutput) {
    const Session session = Run("--reset sync --typed-ports",
                                std::string(KESTROM_TEST_DATA) + "/extensions/pump.asf", "step\n");
    EXPECT_EQ(session.Status, 1);
    EXPECT_TRUE(session.Out.empty());
    EXPECT_NE(session.Err.find("kestrom-gen: error: the module and its driver do not compile"),
              std::string::npos)
        << session.Err;
    // The compiler quotes the ASF line itself.
    const std::string action = std::string(KESTROM_TEST_DATA) + "/extensions/pump.asf:47:";
    const std::size_t named = session.Err.find(action);
    ASSERT_NE(named, std::string::npos) << session.Err;
    EXPECT_NE(session.Err.find("was not declared in this scope", named), std::string::npos)
        << session.Err;
    EXPECT_NE(session.Err.find("47 | A 51 31 2 TEXT \"Actions\"", named), std::string::npos)
        << session.Err;
}

// The reset held for one cycle sends the machine back to its reset state,
// whose outputs start again; the inputs set stay as they were.
TEST_F(Simulate, ResetHoldsForOneCycle) {
    const Session session = Run("--reset sync", kExamples + "/crossing.asf",
                                "set button 1\nstep 4\nreset\nstep 2\nreset 2\n");
    ASSERT_EQ(session.Status, 0) << session.Err;
    EXPECT_EQ(session.Out,
              (std::vector<std::string>{"cycle 0 state GO road=2 walk=0 count=0 alarm=0",
                                        "cycle 1 state AMBER road=1 walk=0 count=0 alarm=0",
                                        "cycle 2 state STOP road=0 walk=1 count=1 alarm=0",
                                        "cycle 3 state STOP road=0 walk=1 count=2 alarm=0",
                                        "cycle 4 state GO road=2 walk=0 count=0 alarm=0",
                                        "cycle 5 state GO road=2 walk=0 count=0 alarm=0",
                                        "cycle 6 state AMBER road=1 walk=0 count=0 alarm=0"}));
    // After the warning about the example's Verilog header over C++ texts.
    const std::string said = "\nerror: reset takes nothing\n";
    ASSERT_GE(session.Err.size(), said.size());
    EXPECT_EQ(session.Err.substr(session.Err.size() - said.size()), said) << session.Err;
    EXPECT_NE(session.Err.find("[K116]"), std::string::npos);
}

// A real diagram translated: the leaf state of a sub-diagram by its path.
TEST_F(Simulate, TranslatedSampleNamesSubDiagramStatesByPath) {
    const std::string asf = kHdlData + "/samples/freecores__usbhostslave__directcontrol_v1.15.asf";
    const Session session = Run("--hdl -I " + Quoted(kHdlData + "/include"), asf,
                                "step\nback 1\nrun until state IDLE.WAIT_GNT limit 5\n");
    ASSERT_EQ(session.Status, 0) << session.Err;
    ASSERT_EQ(session.Out.size(), 2u) << session.Err;
    EXPECT_EQ(session.Out[0].rfind("cycle 0 state CHK_DRCT_CNTL ", 0), 0u) << session.Out[0];
    EXPECT_EQ(session.Out[1].rfind("cycle 1 state IDLE.WAIT_GNT ", 0), 0u) << session.Out[1];
    EXPECT_NE(session.Out[1].find(" HCTxPortReq=1"), std::string::npos) << session.Out[1];
    EXPECT_EQ(session.Err, "error: cannot go back before cycle 0\n");
}

// A VHDL integer counts below zero in its own range, is shown with its sign,
// and stops the run with its name where it leaves the range.
TEST_F(Simulate, AnIntegerBelowZeroKeepsItsSignAndItsRange) {
    const Session session = Run("--hdl", kHdlData + "/countdown_vhdl.asf",
                                "set RST 1\nstep\nset RST 0\nstep\nstep\nstep\nstep\nstep\n");
    EXPECT_EQ(session.Status, 1);
    EXPECT_EQ(session.Out, (std::vector<std::string>{
                               "cycle 0 state COUNT LOW=0 n=1", "cycle 1 state COUNT LOW=0 n=0",
                               "cycle 2 state COUNT LOW=0 n=-1", "cycle 3 state COUNT LOW=1 n=-2",
                               "cycle 4 state COUNT LOW=1 n=-3"}));
    EXPECT_EQ(session.Err, "error: the simulation stopped: n leaves its range -3 to 3: -4 (the "
                           "assignment on line 21)\n");
}

// Values wider than 64 bits, worked out by hand: the 72-bit sum drops its
// carry, ~ on 100 bits sets the bits above the input's 64, a 128-bit shift
// moves the input's top byte to the top, and the condition compares 72 bits.
TEST_F(Simulate, WideValuesComputeAtTheirWidths) {
    const Session session = Run("--hdl", kHdlData + "/wide_verilog.asf",
                                "set rst 1\nstep\nset rst 0\nset data 1\nstep\n"
                                "set data 18446744073709551615\nstep\nset data 1\nstep 2\n");
    ASSERT_EQ(session.Status, 0) << session.Err;
    const std::string all = "1267650600228229401496703205375", lessOne =
                                                                   "12676506002282294014967032"
                                                                   "05374";
    EXPECT_EQ(session.Out,
              (std::vector<std::string>{
                  "cycle 0 state ADD sum=4722366482869645213695 top=0 big=0 shifted=0 inv=" + all,
                  "cycle 1 state ADD sum=0 top=0 big=0 shifted=18446744073709551616 inv=" + lessOne,
                  "cycle 2 state ADD sum=18446744073709551615 top=0 big=0 "
                  "shifted=340282366920938463444927863358058659840 "
                  "inv=1267650600209782657422993653760",
                  "cycle 3 state ADD sum=18446744073709551616 top=255 big=0 "
                  "shifted=18446744073709551616 inv=" +
                      lessOne,
                  "cycle 4 state FULL sum=18446744073709551617 top=0 big=0 "
                  "shifted=18446744073709551616 inv=" +
                      lessOne}));
}

// next_cnt in a diagram action is the value the coming edge gives cnt, with
// the inputs as they stand: after each edge, what the next edge will make.
TEST_F(Simulate, DiagramActionsReadTheComingValues) {
    const Session session = Run("--hdl", kHdlData + "/coming_verilog.asf",
                                "set rst 1\nstep\nset rst 0\nset go 1\nstep 2\nset go 0\nstep\n");
    ASSERT_EQ(session.Status, 0) << session.Err;
    EXPECT_EQ(session.Out, (std::vector<std::string>{"cycle 0 state COUNT wrap=0 ahead=14 cnt=14",
                                                     "cycle 1 state COUNT wrap=1 ahead=0 cnt=15",
                                                     "cycle 2 state COUNT wrap=0 ahead=1 cnt=0",
                                                     "cycle 3 state COUNT wrap=1 ahead=0 cnt=0"}));
}

// Each operator on 100-bit values, compiled and run, against values worked
// out by hand for data = 5 (the previous shift amount sh is 2).
TEST_F(Simulate, EveryOperatorOnWideValuesKeepsItsWidth) {
    const Session session = Run("--hdl", kHdlData + "/wide_ops_verilog.asf",
                                "set rst 1\nstep\nset rst 0\nset data 5\nstep 2\n");
    ASSERT_EQ(session.Status, 0) << session.Err;
    ASSERT_EQ(session.Out.size(), 3u) << session.Err;
    const std::string& last = session.Out[2];
    for (const char* expected :
         {" w2=188894664944285510533125 ",         // {4{data[24:0]}}
          " w3=1267650600228229401496703205375 ",  // data ^ ~data: all 100 bits
          " w4=20 ",                               // (data << sh) | (data >> 3)
          " w6=1267650600228229401496703205370 ",  // ~data, data not 0
          " w7=1267650600228229401496703205371 ",  // -data
          " w10=1267650600228229401496703205367 ", // 5 + 1 - 3 * 5 wraps
          " w5=1 ",                                // data[sh]
          " w8=0 w9=0 ",                           // &data, ^data
          " w11=1280 ",                            // w11[71:8] <= data[63:0]
          " sh=3"})
        EXPECT_NE(last.find(expected), std::string::npos) << expected << " in " << last;
}

} // namespace
} // namespace kestrom::test
