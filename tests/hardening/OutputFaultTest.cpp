// Faults injected into every write of the generated file. Each must give a
// clear error, leave the earlier output byte-identical and leave no temporary
// file behind, both through the library and through the batch tool.
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/Diagnostics.h"
#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/SystemCWriter.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

const std::string kEarlier = "// the earlier output\r\n";

std::string WriteToggleTo(const std::string& path) {
    FsmModel model;
    Diagnostics warnings;
    try {
        ReadAsfFile(ExamplePath("toggle.asf"), model);
        WriteSystemCFile(path, model, warnings);
    } catch (const OutputError& error) {
        return error.Message();
    }
    return "written";
}

class OutputFaults : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir_ / "out");
        WriteFileBytes(earlier_, kEarlier);
        WriteFileBytes(input_, ToggleAsf());
    }

    // The fault is injected by setup; the library and the batch tool must
    // both refuse the write with message and leave every file as it was.
    void ExpectRefused(const std::string& path, const ChildSetup& setup,
                       const std::string& message) {
        const auto before = dir_.Entries("out");
        EXPECT_EQ(RunInChild([&] { return WriteToggleTo(path); }, setup), message);
        ExpectUntouched(before);

        const ProcessResult run = RunBatchTool({"--process", "thread", input_, path}, setup);
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_EQ(run.Err, path + ": error: " + message + "\n");
        ExpectUntouched(before);
    }

    void ExpectUntouched(const std::vector<std::string>& before) {
        EXPECT_EQ(ReadFileBytes(earlier_), kEarlier);
        EXPECT_EQ(ReadFileBytes(input_), ToggleAsf());
        EXPECT_EQ(dir_.Entries("out"), before);
    }

    TempDir dir_;
    const std::string input_ = dir_ / "toggle.asf";
    const std::string earlier_ = dir_ / "out/toggle.cpp";
};

TEST_F(OutputFaults, DiskFullWhileTheEarlierOutputExists) {
    ChildSetup full;
    full.FileSizeLimit = 1000; // the module is longer
    ExpectRefused(earlier_, full, "cannot write " + earlier_ + ": File too large");
}

TEST_F(OutputFaults, TheFullDevice) {
    ExpectRefused("/dev/full", {}, "cannot write /dev/full: No space left on device");

    ChildSetup toFullDevice;
    toFullDevice.StandardOutput = "/dev/full";
    const ProcessResult run = RunBatchTool({"--process", "thread", input_, "-"}, toFullDevice);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, "-: error: cannot write standard output: No space left on device\n");
}

TEST_F(OutputFaults, AReadOnlyDirectory) {
    if (UnprivilegedUser() < 0) GTEST_SKIP() << "running as root with no unprivileged user";
    ::chmod(earlier_.c_str(), 0666);
    ::chmod((dir_ / "out").c_str(), 0555);
    ChildSetup unprivileged;
    unprivileged.Unprivileged = true;
    ExpectRefused(dir_ / "out/new.cpp", unprivileged,
                  "cannot create a file beside " + dir_ / "out/new.cpp" + ": Permission denied");

    // A file the user may write is still regenerated, in place.
    const auto before = dir_.Entries("out");
    const std::string module = RunBatchTool({"--process", "thread", input_, "-"}).Out;
    EXPECT_EQ(RunInChild([&] { return WriteToggleTo(earlier_); }, unprivileged), "written");
    EXPECT_EQ(ReadFileBytes(earlier_), module);
    WriteFileBytes(earlier_, kEarlier);
    const ProcessResult run = RunBatchTool({"--process", "thread", input_, earlier_}, unprivileged);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(ReadFileBytes(earlier_), module);
    EXPECT_EQ(dir_.Entries("out"), before);
}

TEST_F(OutputFaults, ADirectoryThatDoesNotExist) {
    const std::string path = dir_ / "out/missing/toggle.cpp";
    ExpectRefused(path, {}, "cannot create a file beside " + path + ": No such file or directory");
}

TEST_F(OutputFaults, APathThatIsADirectory) {
    std::filesystem::create_directory(dir_ / "out/toggle.d");
    ExpectRefused(dir_ / "out/toggle.d", {},
                  "cannot write " + dir_ / "out/toggle.d" + ": Is a directory");
    EXPECT_TRUE(dir_.Entries("out/toggle.d").empty());
}

TEST_F(OutputFaults, AFailedReadLeavesTheEarlierOutputAlone) {
    WriteFileBytes(input_, ToggleAsf().substr(0, 200));
    const auto before = dir_.Entries("out");
    const ProcessResult run = RunBatchTool({"--process", "thread", input_, earlier_});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find(": error: "), std::string::npos);
    EXPECT_EQ(ReadFileBytes(earlier_), kEarlier);
    EXPECT_EQ(dir_.Entries("out"), before);
}

TEST_F(OutputFaults, ASuccessfulWriteReplacesTheWholeFileAndKeepsLinksAndModes) {
    WriteFileBytes(earlier_, std::string(100000, 'x'));
    ::chmod(earlier_.c_str(), 0640);
    ::symlink(earlier_.c_str(), (dir_ / "out/link.cpp").c_str());
    const auto before = dir_.Entries("out");

    const ProcessResult run = RunBatchTool({"--process", "thread", input_, dir_ / "out/link.cpp"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string written = ReadFileBytes(earlier_);
    EXPECT_EQ(written.rfind("/****", 0), 0u);
    EXPECT_EQ(written.substr(written.size() - 3), "}\r\n");
    struct stat info {};
    ASSERT_EQ(::lstat((dir_ / "out/link.cpp").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(earlier_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(dir_.Entries("out"), before);
}

// The batch tool refuses to write over the file it reads, by whatever path
// the output names it, before anything is written.
TEST_F(OutputFaults, TheBatchToolRefusesToOverwriteItsInput) {
    ::symlink(input_.c_str(), (dir_ / "link.asf").c_str());
    ::link(input_.c_str(), (dir_ / "hard.asf").c_str());
    struct Case {
        const char* What;
        std::string Input;
        std::string Output;
        std::string WorkingDir;
    };
    const std::vector<Case> cases = {
        {"the same path", input_, input_, ""},
        {"a symbolic link to it", input_, dir_ / "link.asf", ""},
        {"the input through a link", dir_ / "link.asf", input_, ""},
        {"a hard link", input_, dir_ / "hard.asf", ""},
        {"a relative path", input_, "toggle.asf", dir_.Path()},
        {"a relative path with dots", "toggle.asf", "out/../toggle.asf", dir_.Path()},
    };
    const auto before = dir_.Entries();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        ChildSetup setup;
        setup.WorkingDir = c.WorkingDir;
        const ProcessResult run = RunBatchTool({"--process", "thread", c.Input, c.Output}, setup);
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_EQ(run.Err, c.Output + ": error: cannot write " + c.Output +
                               ": it is the ASF file being read\n");
        EXPECT_EQ(ReadFileBytes(input_), ToggleAsf());
        EXPECT_EQ(dir_.Entries(), before);
    }
}

} // namespace
} // namespace kestrom::test
