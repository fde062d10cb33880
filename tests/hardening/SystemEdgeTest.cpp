// The batch tool at the edges of the system around it: too little memory,
// inputs that are pipes or FIFOs, outputs that are devices, descriptors,
// links, files of other users or long names, and signals during a write.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

const std::string kEarlier = "// the earlier output\r\n";
constexpr long kOneGigabyte = 1000L * 1000 * 1000;

// An ASF file of one state whose action is the given text, quoted.
std::string OneActionAsf(const std::string& action) {
    return "VERSION=1.19\nOBJECTS\nS 1 0 1 0 0 0 0 0 0 0 0 0\n"
           "L 2 1 0 0 $State 0 0 0 0 0 0 \"A\"\n"
           "A 3 1 0 0 0 0 0 0 0 0 \"" +
           action + "\"\nEND\n";
}

class SystemEdges : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir_ / "out");
        WriteFileBytes(input_, ToggleAsf());
        module_ = RunBatchTool({"--process", "thread", input_, "-"}).Out;
        ASSERT_EQ(module_.rfind("/****", 0), 0u);
    }

    ProcessResult Generate(const std::string& input, const std::string& output,
                           const ChildSetup& setup = {}) {
        return RunBatchTool({"--process", "thread", input, output}, setup);
    }

    void ExpectGenerated(const ProcessResult& run) {
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
    }

    TempDir dir_;
    const std::string input_ = dir_ / "toggle.asf";
    std::string module_;
};

TEST_F(SystemEdges, RunningOutOfMemoryIsAnErrorNeverAnAbort) {
    if (UnderAddressSanitizer()) GTEST_SKIP() << "AddressSanitizer needs more address space";
    ChildSetup little;
    little.AddressSpaceLimit = kOneGigabyte;
    const std::string huge = dir_ / "huge.asf";
    WriteFileBytes(huge, "VERSION=1.19\nOBJECTS\n");
    std::filesystem::resize_file(huge, 3 * kOneGigabyte);
    const ProcessResult run = Generate(huge, dir_ / "out/huge.cpp", little);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, huge + ": error: not enough memory to read and convert the file\n");
    EXPECT_TRUE(dir_.Entries("out").empty());

    // Neither a line of blanks nor a long run of escapes needs memory in
    // proportion to anything but what is written.
    const std::string blanks = dir_ / "blanks.asf";
    WriteFileBytes(blanks, "VERSION=1.19\nOBJECTS\n" + std::string(100'000'000, ' ') + "\nEND\n");
    EXPECT_EQ(Generate(blanks, dir_ / "out/blanks.cpp", little).ExitCode, 0);
    const std::string escapes = dir_ / "escapes.asf";
    WriteFileBytes(escapes, OneActionAsf(std::string(100'000'000, '\\')));
    EXPECT_EQ(Generate(escapes, dir_ / "out/escapes.cpp", little).ExitCode, 0);
    WriteFileBytes(escapes, OneActionAsf("\\\\"));
    EXPECT_EQ(Generate(escapes, dir_ / "out/one.cpp").ExitCode, 0);
    EXPECT_EQ(std::filesystem::file_size(dir_ / "out/escapes.cpp"),
              std::filesystem::file_size(dir_ / "out/one.cpp") + 50'000'000 - 1);
}

// Needs 2.2 GB of disk and memory and about a minute: run with KESTROM_SLOW_TESTS=1.
TEST_F(SystemEdges, TheLineCountStopsWithAnErrorBeforeItOverflows) {
    if (!std::getenv("KESTROM_SLOW_TESTS")) GTEST_SKIP() << "set KESTROM_SLOW_TESTS=1 to run";
    const std::string many = dir_ / "many.asf";
    {
        std::ofstream out(many, std::ios::binary);
        out << "VERSION=1.19\n";
        const std::string newlines(1 << 20, '\n');
        for (int chunk = 0; chunk < 2100; ++chunk)
            out << newlines;
    }
    const ProcessResult run = Generate(many, dir_ / "out/many.cpp");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, many + ":2147483647: error: the file has more than 2147483647 lines\n");
}

TEST_F(SystemEdges, PipesFifosAndStandardInputAreReadOnce) {
    const std::string fifo = dir_ / "fifo.asf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto feed = [&] { WriteFileBytes(fifo, ToggleAsf()); };
    struct Case {
        const char* What;
        std::string Input;
        bool FromStandardInput;
    };
    for (const Case& c : {Case{"a FIFO", fifo, false}, Case{"-", "-", true},
                          Case{"/dev/stdin", "/dev/stdin", true}}) {
        SCOPED_TRACE(c.What);
        ChildSetup setup;
        if (c.FromStandardInput) setup.StandardInput = fifo;
        std::thread writer(feed);
        const ProcessResult run = Generate(c.Input, dir_ / "out/toggle.cpp", setup);
        writer.join();
        ExpectGenerated(run);
        EXPECT_EQ(ReadFileBytes(dir_ / "out/toggle.cpp"), module_);
    }
}

TEST_F(SystemEdges, DevicesAndDescriptorsAreWrittenDirectly) {
    const std::string log = dir_ / "out/log";
    WriteFileBytes(log, "earlier lines\n");
    struct stat before {};
    ::stat(log.c_str(), &before);
    ChildSetup appending;
    appending.StandardOutput = log;
    appending.AppendToOutput = true;
    ExpectGenerated(Generate(input_, "/dev/stdout", appending));
    EXPECT_EQ(ReadFileBytes(log), "earlier lines\n" + module_);
    struct stat after {};
    ::stat(log.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);

    ExpectGenerated(Generate(input_, "/dev/null"));
    EXPECT_EQ(dir_.Entries("out"), std::vector<std::string>{"log"});
}

TEST_F(SystemEdges, FilesOfOthersAndReadOnlyFilesAreRefused) {
    if (UnprivilegedUser() < 0) GTEST_SKIP() << "running as root with no unprivileged user";
    const std::string output = dir_ / "out/toggle.cpp";
    WriteFileBytes(output, kEarlier);
    ::chmod(output.c_str(), 0444);
    ::chmod((dir_ / "out").c_str(), 0777);
    struct stat before {};
    ::stat(output.c_str(), &before);
    ChildSetup unprivileged;
    unprivileged.Unprivileged = true;
    const ProcessResult run = Generate(input_, output, unprivileged);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, output + ": error: cannot write " + output + ": Permission denied\n");
    EXPECT_EQ(ReadFileBytes(output), kEarlier);
    struct stat after {};
    ::stat(output.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(dir_.Entries("out"), std::vector<std::string>{"toggle.cpp"});
}

TEST_F(SystemEdges, LinksAreFollowedAsARedirectFollowsThem) {
    ::symlink("target.cpp", (dir_ / "out/dangling.cpp").c_str());
    ExpectGenerated(Generate(input_, dir_ / "out/dangling.cpp"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "out/dangling.cpp"));
    EXPECT_EQ(ReadFileBytes(dir_ / "out/target.cpp"), module_);

    // A link in a directory whose whole path is longer than PATH_MAX.
    ChildSetup there;
    there.WorkingDir = dir_ / "out";
    const std::string part(200, 'd');
    for (int level = 0; level < 25; ++level) {
        ASSERT_EQ(RunInChild([&] { return std::to_string(::mkdir(part.c_str(), 0755)); }, there),
                  "0");
        there.WorkingDir += "/" + part;
    }
    ASSERT_EQ(RunInChild([] { return std::to_string(::symlink("target.cpp", "link.cpp")); }, there),
              "0");
    ExpectGenerated(Generate(input_, "link.cpp", there));
    EXPECT_EQ(RunInChild(
                  [] {
                      std::ifstream in("target.cpp", std::ios::binary);
                      const bool link = std::filesystem::is_symlink("link.cpp");
                      return std::string(link ? "link kept, " : "link replaced, ") +
                             std::to_string(std::filesystem::file_size("target.cpp"));
                  },
                  there),
              "link kept, " + std::to_string(module_.size()));
    RunInChild(
        [&] {
            ::unlink("link.cpp");
            ::unlink("target.cpp");
            for (int level = 0; level < 25; ++level)
                if (::chdir("..") != 0 || ::rmdir(part.c_str()) != 0) return "left behind";
            return "";
        },
        there);
}

TEST_F(SystemEdges, NamesUpToTheLimitWork) {
    for (std::size_t length : {248u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".cpp";
        ExpectGenerated(Generate(input_, dir_ / ("out/" + name)));
        EXPECT_EQ(ReadFileBytes(dir_ / ("out/" + name)), module_);
    }
    EXPECT_EQ(dir_.Entries("out").size(), 2u);
}

TEST_F(SystemEdges, ASignalDuringAWriteLeavesNothingBehind) {
    const std::string large = dir_ / "large.asf";
    WriteFileBytes(large, OneActionAsf(std::string(60'000'000, 'x')));
    const std::string output = dir_ / "out/large.cpp";
    WriteFileBytes(output, kEarlier);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        SCOPED_TRACE(strsignal(signal));
        const ProcessResult run = RunBatchToolSignalledWhileWriting(
            {"--process", "thread", large, output}, signal, dir_ / "out");
        EXPECT_EQ(run.Signal, signal) << run.Err;
        EXPECT_EQ(ReadFileBytes(output), kEarlier);
        EXPECT_EQ(dir_.Entries("out"), std::vector<std::string>{"large.cpp"});
    }
}

TEST_F(SystemEdges, HelpAndVersionReportAFailedWrite) {
    ChildSetup full;
    full.StandardOutput = "/dev/full";
    for (const char* option : {"--help", "--version"}) {
        const ProcessResult run = RunBatchTool({option}, full);
        EXPECT_EQ(run.ExitCode, 1) << option;
        EXPECT_EQ(run.Err,
                  "kestrom-gen: error: cannot write standard output: No space left on device\n");
    }
}

} // namespace
} // namespace kestrom::test
