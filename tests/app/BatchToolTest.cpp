// kestrom-gen run as a build script runs it: a separate process, its exit
// status, its standard output and error.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

ProcessResult RunTool(const std::vector<std::string>& args,
                      const std::string& program = KESTROM_GEN) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

const std::string kToggle = KESTROM_EXAMPLES "/toggle.asf";

TEST(BatchTool, GeneratesTheChosenProcessKind) {
    TempDir dir;
    const ProcessResult thread = RunTool({kToggle, dir.File("t.cpp")});
    EXPECT_EQ(thread.ExitCode, 0) << thread.Err;
    EXPECT_EQ(thread.Err, "");
    EXPECT_EQ(ReadFileBytes(dir.File("t.cpp")),
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp"));

    const ProcessResult method = RunTool({"--process=method", kToggle, "-"});
    EXPECT_EQ(method.ExitCode, 0);
    EXPECT_EQ(method.Out, ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_method.cpp"));
}

TEST(BatchTool, UsesTheOptionFileBesideTheProgram) {
    TempDir dir;
    const std::string program = dir.File("kestrom-gen");
    std::filesystem::copy_file(KESTROM_GEN, program);
    WriteFileBytes(dir.File("option.dat"), "\xFF\xFF");
    EXPECT_EQ(RunTool({kToggle, "-"}, program).Out,
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_method.cpp"));
    EXPECT_EQ(RunTool({"--process", "thread", kToggle, "-"}, program).Out,
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp"));
}

TEST(BatchTool, ReadingTheStoredChoiceChangesNothing) {
    TempDir dir;
    const std::string program = dir.File("kestrom-gen");
    std::filesystem::copy_file(KESTROM_GEN, program);
    const std::string thread = ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp");
    EXPECT_EQ(RunTool({kToggle, "-"}, program).Out, thread);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"kestrom-gen"}));

    std::filesystem::create_symlink(dir.File("elsewhere.dat"), dir.File("option.dat"));
    EXPECT_EQ(RunTool({kToggle, "-"}, program).Out, thread);
    EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere.dat")));
}

TEST(BatchTool, AStoredChoiceThatCannotBeReadIsAWarning) {
    TempDir dir;
    const std::string program = dir.File("kestrom-gen");
    std::filesystem::copy_file(KESTROM_GEN, program);
    const std::string optionFile = dir.File("option.dat");
    const std::string thread = ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp");

    std::filesystem::create_directory(optionFile);
    ProcessResult run = RunTool({kToggle, "-"}, program);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, thread);
    EXPECT_EQ(run.Err, optionFile + ": warning: cannot read " + optionFile +
                           ": Is a directory; a thread process is generated [K004]\n");

    std::filesystem::remove(optionFile);
    ASSERT_EQ(::mkfifo(optionFile.c_str(), 0644), 0);
    run = RunTool({kToggle, "-"}, program); // would hang if the FIFO were waited on
    EXPECT_EQ(run.Out, thread);
    EXPECT_EQ(run.Err, optionFile + ": warning: cannot read " + optionFile +
                           ": not a regular file; a thread process is generated [K004]\n");
}

TEST(BatchTool, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {kToggle},
                                                 {"--process", "fast", kToggle, "-"},
                                                 {"--process"},
                                                 {"--frobnicate", kToggle, "-"},
                                                 {"--reset", "soon", kToggle, "-"},
                                                 {"--reset=", kToggle, "-"},
                                                 {kToggle, "-", "--reset"},
                                                 {kToggle, "a", "b"}}) {
        const ProcessResult run = RunTool(args);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_NE(run.Err.find("Usage: kestrom-gen"), std::string::npos) << run.Err;
    }
    EXPECT_EQ(RunTool({"--version"}).Out, "Kestrom v1.0\n");
    EXPECT_EQ(RunTool({"--help"}).ExitCode, 0);
}

TEST(BatchTool, ErrorsAndWarningsNameFileAndLine) {
    TempDir dir;
    WriteFileBytes(dir.File("bad.asf"), "VERSION=1.18\r\n");
    WriteFileBytes(dir.File("short.asf"), "VERSION=1.19\nOBJECTS\nS 1 0 2\nW 1 0 0 4\nEND\n");
    WriteFileBytes(dir.File("warn.asf"), "VERSION=1.19\nOBJECTS\nS 1 0 2\nEND\n");

    EXPECT_EQ(RunTool({dir.File("bad.asf"), "-"}).Err,
              dir.File("bad.asf") +
                  ":1: error: Invalid ASF File Format: the first line is \"VERSION=1.18\"; "
                  "versions 1.15 to 1.29 are accepted with \"Accept other ASF versions\" "
                  "(Generate > Extensions) or kestrom-gen --any-version\n");
    EXPECT_EQ(RunTool({dir.File("missing.asf"), "-"}).Err,
              dir.File("missing.asf") +
                  ": error: cannot open the file: No such file or directory\n");
    const ProcessResult failed = RunTool({dir.File("short.asf"), dir.File("out.cpp")});
    EXPECT_EQ(failed.ExitCode, 1);
    EXPECT_EQ(failed.Err, dir.File("short.asf") + ":4: error: W line has 5 tokens, needs 6\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.cpp")));

    const ProcessResult warned = RunTool({dir.File("warn.asf"), dir.File("out.cpp")});
    EXPECT_EQ(warned.ExitCode, 0);
    const std::string f = dir.File("warn.asf");
    EXPECT_EQ(warned.Err, f +
                              ": warning: no initial state: no transition from the reset port "
                              "reaches a state [K101]\n" +
                              f + ": warning: no clock port: no port is marked as clock [K102]\n" +
                              f + ":3: warning: state 1 has no name [K104]\n");
}

TEST(BatchTool, ExtensionsChangeTheModuleAndTheAcceptedVersions) {
    const std::string older = KESTROM_TEST_DATA "/../fuzz/seeds/usbhostslave/"
                                                "slaveSendpacket_v1.15.asf";
    // The refusal names the version found and the way to accept it.
    EXPECT_EQ(RunTool({older, "-"}).Err,
              older + ":1: error: Invalid ASF File Format: the first line is \"VERSION=1.15\"; "
                      "versions 1.15 to 1.29 are accepted with \"Accept other ASF versions\" "
                      "(Generate > Extensions) or kestrom-gen --any-version\n");
    const ProcessResult accepted = RunTool({"--any-version", older, "-"});
    EXPECT_EQ(accepted.ExitCode, 0) << accepted.Err;
    EXPECT_NE(accepted.Out.find("SC_MODULE ( slaveSendPacket )"), std::string::npos);

    const std::string pump = KESTROM_TEST_DATA "/extensions/pump.asf";
    const ProcessResult all =
        RunTool({"--reset=async", "--action-kinds", "--typed-ports", "--state-port", "--process",
                 "method", "--no-condition-analysis", pump, "-"});
    EXPECT_EQ(all.ExitCode, 0) << all.Err;
    for (const char* line : {"    sc_in <sc_uint<4>> sel ;\r\n", "    sc_out <int> fsm_state ;\r\n",
                             "        sensitive << rst ;\r\n", "        EntryPending = true ;\r\n"})
        EXPECT_NE(all.Out.find(line), std::string::npos) << line;
    // Its header says Verilog: the texts are said to be copied as they stand.
    EXPECT_EQ(all.Err,
              pump + ":4: warning: " +
                  "the actions and conditions are in Verilog (LANGUAGE=VERILOG) and are copied "
                  "into C++ as they stand, where they do not mean what they say (\"x <= y;\" "
                  "compiles as a comparison whose result is dropped); kestrom-gen --hdl "
                  "translates them, as does the window's Extensions choice \"The diagram is "
                  "written in its hardware language (translate and flatten)\" [K116]\n" +
                  pump + ":58: warning: action of the diagram is not written [K112]\n");
}

// 120 transitions, each with an action the plain module has no place for.
std::string ManyUnwrittenActions() {
    std::vector<std::string> objects{"S 30 0 1 ELLIPSE \"States\" | 1000,1000 6500 6500",
                                     "L 31 30 0 TEXT \"State Labels\" | 1000,1000 1 0 0 \"A\"",
                                     "S 32 0 0 ELLIPSE \"States\" | 1000,1000 6500 6500",
                                     "L 33 32 0 TEXT \"State Labels\" | 1000,1000 1 0 0 \"B\""};
    for (int id = 100; id < 340; id += 2) {
        objects.push_back("W " + std::to_string(id) +
                          " 0 0 30 32 BEZIER \"Transitions\" | 1,1 2,2 3,3 4,4");
        objects.push_back("A " + std::to_string(id + 1) + " " + std::to_string(id) +
                          " 16 TEXT \"Actions\" | 1,1 1 0 0 \"t();\"");
    }
    return AsfWithObjects(objects);
}

TEST(BatchTool, AFileAndStandardOutputGetTheSameWarnings) {
    TempDir dir;
    WriteFileBytes(dir.File("m.asf"), ManyUnwrittenActions());
    const ProcessResult toFile = RunTool({dir.File("m.asf"), dir.File("m.cpp")});
    const ProcessResult toOutput = RunTool({dir.File("m.asf"), "-"});
    EXPECT_EQ(toFile.ExitCode, 0) << toFile.Err;
    EXPECT_EQ(toFile.Err, toOutput.Err);
    EXPECT_EQ(ReadFileBytes(dir.File("m.cpp")), toOutput.Out);

    std::vector<std::string> unwritten;
    std::istringstream lines(toFile.Err);
    for (std::string line; std::getline(lines, line);)
        if (line.find("[K112]") != std::string::npos) unwritten.push_back(line);
    ASSERT_EQ(unwritten.size(), 101u) << toFile.Err;
    EXPECT_EQ(unwritten[99], dir.File("m.asf") + ":207: warning: action of a transition is not "
                                                 "written [K112]");
    EXPECT_EQ(unwritten[100], dir.File("m.asf") + ":207: warning: 20 more warnings like the one "
                                                  "above are not shown [K112]");
}

TEST(BatchTool, AFailedWriteLeavesTheEarlierOutputIntact) {
    TempDir dir;
    const std::string out = dir.File("out.cpp");
    WriteFileBytes(out, "earlier");
    WriteFileBytes(dir.File("short.asf"), "VERSION=1.19\nOBJECTS\n");
    EXPECT_EQ(RunTool({dir.File("short.asf"), out}).ExitCode, 1);
    EXPECT_EQ(ReadFileBytes(out), "earlier");

    const ProcessResult full = RunTool({kToggle, "/dev/full"});
    EXPECT_EQ(full.ExitCode, 1);
    EXPECT_EQ(full.Err, "/dev/full: error: cannot write /dev/full: No space left on device\n");

    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
    ::chmod(dir.Path().c_str(), 0555);
    const ProcessResult readOnly = RunTool({kToggle, out});
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(readOnly.ExitCode, 1);
    EXPECT_EQ(ReadFileBytes(out), "earlier");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"out.cpp", "short.asf"}));
}

TEST(BatchTool, RefusesToWriteOverItsInput) {
    TempDir dir;
    const std::string input = dir.File("in.asf");
    std::filesystem::copy_file(kToggle, input);
    std::filesystem::create_symlink(input, dir.File("link.cpp"));
    const ProcessResult run = RunTool({input, dir.File("link.cpp")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, dir.File("link.cpp") + ": error: cannot write " + dir.File("link.cpp") +
                           ": it is the ASF file being read\n");
    EXPECT_EQ(ReadFileBytes(input), ReadFileBytes(kToggle));
}

TEST(BatchTool, ATestBenchWithBadStimuliWritesNothing) {
    TempDir dir;
    const std::string stimuli = dir.File("s.csv");
    const std::string module = dir.File("m.cpp");
    WriteFileBytes(module, "earlier");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"cycle,go\n0,1\n4,stop\n",
         ":3: error: the value 'stop' for port 'go' is not a whole number\n"},
        {"cycle,q\n",
         ":1: error: port 'q' is an output port; the stimuli drive input ports only\n"},
        {"cycle,clk\n", ":1: error: port 'clk' is the clock, which the test bench drives; the "
                        "stimuli drive input ports only\n"},
    };
    for (const auto& [text, error] : cases) {
        WriteFileBytes(stimuli, text);
        const ProcessResult run =
            RunTool({"--testbench", dir.File("b.cpp"), "--stimuli", stimuli, kToggle, module});
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_EQ(run.Err, stimuli + error);
    }
    const ProcessResult missing = RunTool(
        {"--testbench", dir.File("b.cpp"), "--stimuli", dir.File("none.csv"), kToggle, module});
    EXPECT_EQ(missing.Err,
              dir.File("none.csv") + ": error: cannot open it: No such file or directory\n");
    EXPECT_EQ(ReadFileBytes(module), "earlier");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"m.cpp", "s.csv"}));
}

TEST(BatchTool, TestBenchOptionsGoTogether) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--cycles", "5", kToggle, "m.cpp"},
         "--cycles, --seed and --stimuli need --testbench BENCH.cpp"},
        {{"--stimuli", "s.csv", kToggle, "m.cpp"},
         "--cycles, --seed and --stimuli need --testbench BENCH.cpp"},
        {{"--testbench", "b.cpp", kToggle, "-"},
         "--testbench needs the module in a file, not standard output"},
        {{"--testbench", "b.cpp", "--cycles", "0", kToggle, "m.cpp"},
         "--cycles takes a whole number from 1, not '0'"},
        {{"--testbench", "b.cpp", "--seed", "-3", kToggle, "m.cpp"},
         "--seed takes a whole number from 0, not '-3'"},
        {{"--testbench", "b.cpp", "--seed", " -3", kToggle, "m.cpp"},
         "--seed takes a whole number from 0, not ' -3'"},
        {{"--testbench", "b.cpp", "--seed", "18446744073709551616", kToggle, "m.cpp"},
         "--seed takes a whole number from 0, not '18446744073709551616'"},
        {{"--testbench", "b.cpp", "--cycles", "1e3", kToggle, "m.cpp"},
         "--cycles takes a whole number from 1, not '1e3'"},
    };
    for (const auto& [args, message] : cases) {
        const ProcessResult run = RunTool(args);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Err.substr(0, run.Err.find('\n')), "kestrom-gen: " + message);
    }
}

TEST(BatchTool, ATestBenchTurnsTheStatePortOn) {
    TempDir dir;
    const ProcessResult run =
        RunTool({"--testbench", dir.File("b.cpp"), kToggle, dir.File("m.cpp")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string module = ReadFileBytes(dir.File("m.cpp"));
    EXPECT_NE(module.find("    sc_out <int> fsm_state ;\r\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(dir.File("b.cpp")).find("#include \"m.cpp\"\r\n"), std::string::npos);

    const ProcessResult same =
        RunTool({"--testbench", dir.File("m.cpp"), kToggle, dir.File("m.cpp")});
    EXPECT_EQ(same.ExitCode, 1);
    EXPECT_EQ(same.Err, dir.File("m.cpp") + ": error: cannot write the test bench " +
                            dir.File("m.cpp") + ": it is the ASF file or the module\n");
}

TEST(BatchTool, DrawsThePictureWithOrWithoutGenerating) {
    TempDir dir;
    const std::string crossing = KESTROM_EXAMPLES "/crossing.asf";
    const ProcessResult picture =
        RunTool({"--no-condition-analysis", "--svg", dir.File("c.svg"), crossing});
    EXPECT_EQ(picture.ExitCode, 0);
    EXPECT_EQ(picture.Err,
              crossing +
                  ":85: warning: transition 66: 8 points make no chain of "
                  "Bézier segments (4, 7, 10, … points); the last 1 left out [K301]\n" +
                  crossing +
                  ":97: warning: transition 77: 8 points make no chain "
                  "of Bézier segments (4, 7, 10, … points); the last 1 "
                  "left out [K301]\n");
    EXPECT_NE(ReadFileBytes(dir.File("c.svg")).find("<g class=\"state\" id=\"state-41\""),
              std::string::npos);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"c.svg"});

    const ProcessResult both = RunTool({kToggle, "--svg", dir.File("t.svg"), dir.File("t.cpp")});
    EXPECT_EQ(both.ExitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("t.cpp")),
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp"));
    EXPECT_TRUE(std::filesystem::exists(dir.File("t.svg")));

    const ProcessResult missing = RunTool({"--svg", dir.File("m.svg"), dir.File("missing.asf")});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Err, dir.File("missing.asf") +
                               ": error: cannot open the file: No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("m.svg")));
    EXPECT_EQ(RunTool({"--svg", dir.File("x.svg"), kToggle, "a", "b"}).ExitCode, 2);
}

// Two transitions of one state at priority 0 on independent inputs: the
// analysis's warning comes with the other line in every report shape, and the
// module written is the same with and without it.
TEST(BatchTool, ConditionAnalysisWarnsInEveryShapeAndChangesNoModule) {
    TempDir dir;
    const std::string asf =
        KESTROM_TEST_DATA "/hdl/samples/freecores__usbhostslave__slaveGetpacket_v1.15.asf";
    const std::string overlap =
        asf + ":92: warning: transition to 'CHK_PKT_START' and the transition on line 66 have "
              "the same priority 0 and both hold for (SIERxTimeOut = 1, RXDataValid = 1): the "
              "one on line 66 is taken [K201]\n";
    const ProcessResult analysed =
        RunTool({"--hdl", "-I", KESTROM_TEST_DATA "/hdl/include", asf, "-"});
    EXPECT_EQ(analysed.ExitCode, 0) << analysed.Err;
    EXPECT_EQ(analysed.Err, overlap);
    const ProcessResult off = RunTool(
        {"--hdl", "-I", KESTROM_TEST_DATA "/hdl/include", "--no-condition-analysis", asf, "-"});
    EXPECT_EQ(off.Err, "");
    EXPECT_EQ(off.Out, analysed.Out);

    const ProcessResult json = RunTool({"--diagnostics-format", "json", "--sarif",
                                        dir.File("r.sarif"), "--svg", dir.File("p.svg"), asf});
    EXPECT_EQ(json.ExitCode, 0) << json.Err;
    for (const char* part : {"\"line\": 92", "\"code\": \"K201\"", "\"related\": [{\"line\": 66"})
        EXPECT_NE(json.Err.find(part), std::string::npos) << part << "\n" << json.Err;
    const std::string sarif = ReadFileBytes(dir.File("r.sarif"));
    EXPECT_NE(sarif.find("\"relatedLocations\": [{\"id\": 1, \"physicalLocation\""),
              std::string::npos)
        << sarif;
    EXPECT_NE(sarif.find("{\"startLine\": 66}"), std::string::npos) << sarif;
}

} // namespace
} // namespace kestrom::test
