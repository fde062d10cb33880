// kestrom-gen run as a build script runs it: a separate process, its exit
// status, its standard output and error.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "conversion/TestSupport.h"

namespace kestrom::test {
namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

std::string Shell(const std::string& word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ToolRun RunTool(const std::vector<std::string>& args, const std::string& program = KESTROM_GEN) {
    TempDir capture;
    std::string command = Shell(program);
    for (const std::string& arg : args)
        command += " " + Shell(arg);
    command += " >" + capture.File("out") + " 2>" + capture.File("err");
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFileBytes(capture.File("out")),
            ReadFileBytes(capture.File("err"))};
}

const std::string kToggle = KESTROM_EXAMPLES "/toggle.asf";

TEST(BatchTool, GeneratesTheChosenProcessKind) {
    TempDir dir;
    const ToolRun thread = RunTool({kToggle, dir.File("t.cpp")});
    EXPECT_EQ(thread.status, 0) << thread.err;
    EXPECT_EQ(thread.err, "");
    EXPECT_EQ(ReadFileBytes(dir.File("t.cpp")),
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp"));

    const ToolRun method = RunTool({"--process=method", kToggle, "-"});
    EXPECT_EQ(method.status, 0);
    EXPECT_EQ(method.out, ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_method.cpp"));
}

TEST(BatchTool, UsesTheOptionFileBesideTheProgram) {
    TempDir dir;
    const std::string program = dir.File("kestrom-gen");
    std::filesystem::copy_file(KESTROM_GEN, program);
    WriteFileBytes(dir.File("option.dat"), "\xFF\xFF");
    EXPECT_EQ(RunTool({kToggle, "-"}, program).out,
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_method.cpp"));
    EXPECT_EQ(RunTool({"--process", "thread", kToggle, "-"}, program).out,
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp"));
}

TEST(BatchTool, ReadingTheStoredChoiceChangesNothing) {
    TempDir dir;
    const std::string program = dir.File("kestrom-gen");
    std::filesystem::copy_file(KESTROM_GEN, program);
    const std::string thread = ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp");
    EXPECT_EQ(RunTool({kToggle, "-"}, program).out, thread);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"kestrom-gen"}));

    std::filesystem::create_symlink(dir.File("elsewhere.dat"), dir.File("option.dat"));
    EXPECT_EQ(RunTool({kToggle, "-"}, program).out, thread);
    EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere.dat")));
}

TEST(BatchTool, AStoredChoiceThatCannotBeReadIsAWarning) {
    TempDir dir;
    const std::string program = dir.File("kestrom-gen");
    std::filesystem::copy_file(KESTROM_GEN, program);
    const std::string optionFile = dir.File("option.dat");
    const std::string thread = ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp");

    std::filesystem::create_directory(optionFile);
    ToolRun run = RunTool({kToggle, "-"}, program);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, thread);
    EXPECT_EQ(run.err, optionFile + ": warning: cannot read " + optionFile +
                           ": Is a directory; a thread process is generated [K201]\n");

    std::filesystem::remove(optionFile);
    ASSERT_EQ(::mkfifo(optionFile.c_str(), 0644), 0);
    run = RunTool({kToggle, "-"}, program); // would hang if the FIFO were waited on
    EXPECT_EQ(run.out, thread);
    EXPECT_EQ(run.err, optionFile + ": warning: cannot read " + optionFile +
                           ": not a regular file; a thread process is generated [K201]\n");
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
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage: kestrom-gen"), std::string::npos) << run.err;
    }
    EXPECT_EQ(RunTool({"--version"}).out, "Kestrom v1.0\n");
    EXPECT_EQ(RunTool({"--help"}).status, 0);
}

TEST(BatchTool, ErrorsAndWarningsNameFileAndLine) {
    TempDir dir;
    WriteFileBytes(dir.File("bad.asf"), "VERSION=1.18\r\n");
    WriteFileBytes(dir.File("short.asf"), "VERSION=1.19\nOBJECTS\nS 1 0 2\nW 1 0 0 4\nEND\n");
    WriteFileBytes(dir.File("warn.asf"), "VERSION=1.19\nOBJECTS\nS 1 0 2\nEND\n");

    EXPECT_EQ(RunTool({dir.File("bad.asf"), "-"}).err,
              dir.File("bad.asf") + ":1: error: Invalid ASF File Format\n");
    EXPECT_EQ(RunTool({dir.File("missing.asf"), "-"}).err,
              dir.File("missing.asf") +
                  ": error: cannot open the file: No such file or directory\n");
    const ToolRun failed = RunTool({dir.File("short.asf"), dir.File("out.cpp")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, dir.File("short.asf") + ":4: error: W line has 5 tokens, needs 6\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.cpp")));

    const ToolRun warned = RunTool({dir.File("warn.asf"), dir.File("out.cpp")});
    EXPECT_EQ(warned.status, 0);
    const std::string f = dir.File("warn.asf");
    EXPECT_EQ(warned.err, f +
                              ": warning: no initial state: no transition from the reset port "
                              "reaches a state [K101]\n" +
                              f + ": warning: no clock port: no port is marked as clock [K102]\n" +
                              f + ":3: warning: state 1 has no name [K104]\n");
}

TEST(BatchTool, ExtensionsChangeTheModuleAndTheAcceptedVersions) {
    const std::string older = KESTROM_TEST_DATA "/../fuzz/seeds/usbhostslave/"
                                                "slaveSendpacket_v1.15.asf";
    EXPECT_EQ(RunTool({older, "-"}).err, older + ":1: error: Invalid ASF File Format\n");
    const ToolRun accepted = RunTool({"--any-version", older, "-"});
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_NE(accepted.out.find("SC_MODULE ( slaveSendPacket )"), std::string::npos);

    const std::string pump = KESTROM_TEST_DATA "/extensions/pump.asf";
    const ToolRun all = RunTool({"--reset=async", "--action-kinds", "--typed-ports", "--state-port",
                                 "--process", "method", pump, "-"});
    EXPECT_EQ(all.status, 0) << all.err;
    for (const char* line : {"    sc_in <sc_uint<4>> sel ;\r\n", "    sc_out <int> fsm_state ;\r\n",
                             "        sensitive << rst ;\r\n", "        EntryPending = true ;\r\n"})
        EXPECT_NE(all.out.find(line), std::string::npos) << line;
    EXPECT_EQ(all.err, pump + ":58: warning: action of the diagram is not written [K112]\n");
}

TEST(BatchTool, AFailedWriteLeavesTheEarlierOutputIntact) {
    TempDir dir;
    const std::string out = dir.File("out.cpp");
    WriteFileBytes(out, "earlier");
    WriteFileBytes(dir.File("short.asf"), "VERSION=1.19\nOBJECTS\n");
    EXPECT_EQ(RunTool({dir.File("short.asf"), out}).status, 1);
    EXPECT_EQ(ReadFileBytes(out), "earlier");

    const ToolRun full = RunTool({kToggle, "/dev/full"});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "/dev/full: error: cannot write /dev/full: No space left on device\n");

    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
    ::chmod(dir.Path().c_str(), 0555);
    const ToolRun readOnly = RunTool({kToggle, out});
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(readOnly.status, 1);
    EXPECT_EQ(ReadFileBytes(out), "earlier");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"out.cpp", "short.asf"}));
}

TEST(BatchTool, RefusesToWriteOverItsInput) {
    TempDir dir;
    const std::string input = dir.File("in.asf");
    std::filesystem::copy_file(kToggle, input);
    std::filesystem::create_symlink(input, dir.File("link.cpp"));
    const ToolRun run = RunTool({input, dir.File("link.cpp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, dir.File("link.cpp") + ": error: cannot write " + dir.File("link.cpp") +
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
        const ToolRun run =
            RunTool({"--testbench", dir.File("b.cpp"), "--stimuli", stimuli, kToggle, module});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, stimuli + error);
    }
    const ToolRun missing = RunTool(
        {"--testbench", dir.File("b.cpp"), "--stimuli", dir.File("none.csv"), kToggle, module});
    EXPECT_EQ(missing.err,
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
        {{"--testbench", "b.cpp", "--cycles", "1e3", kToggle, "m.cpp"},
         "--cycles takes a whole number from 1, not '1e3'"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "kestrom-gen: " + message);
    }
}

TEST(BatchTool, ATestBenchTurnsTheStatePortOn) {
    TempDir dir;
    const ToolRun run = RunTool({"--testbench", dir.File("b.cpp"), kToggle, dir.File("m.cpp")});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string module = ReadFileBytes(dir.File("m.cpp"));
    EXPECT_NE(module.find("    sc_out <int> fsm_state ;\r\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(dir.File("b.cpp")).find("#include \"m.cpp\"\n"), std::string::npos);

    const ToolRun same = RunTool({"--testbench", dir.File("m.cpp"), kToggle, dir.File("m.cpp")});
    EXPECT_EQ(same.status, 1);
    EXPECT_EQ(same.err, dir.File("m.cpp") + ": error: cannot write the test bench " +
                            dir.File("m.cpp") + ": it is the ASF file or the module\n");
}

TEST(BatchTool, DrawsThePictureWithOrWithoutGenerating) {
    TempDir dir;
    const std::string crossing = KESTROM_EXAMPLES "/crossing.asf";
    const ToolRun picture = RunTool({"--svg", dir.File("c.svg"), crossing});
    EXPECT_EQ(picture.status, 0);
    EXPECT_EQ(picture.err,
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

    const ToolRun both = RunTool({kToggle, "--svg", dir.File("t.svg"), dir.File("t.cpp")});
    EXPECT_EQ(both.status, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("t.cpp")),
              ReadFileBytes(KESTROM_TEST_DATA "/golden/toggle_thread.cpp"));
    EXPECT_TRUE(std::filesystem::exists(dir.File("t.svg")));

    const ToolRun missing = RunTool({"--svg", dir.File("m.svg"), dir.File("missing.asf")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, dir.File("missing.asf") +
                               ": error: cannot open the file: No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("m.svg")));
    EXPECT_EQ(RunTool({"--svg", dir.File("x.svg"), kToggle, "a", "b"}).status, 2);
}

} // namespace
} // namespace kestrom::test
