// option.dat under faults: whatever stands at its path, a load or a save
// either works or says why, and never changes more than the first two bytes.
#include <filesystem>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "io/OptionFile.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

using namespace std::string_literals;

const std::string kMethod = "\xFF\xFF"s;
const std::string kThread = "\0\0"s;

// What a load leaves in a kind that held start, or the error it gives.
std::string Load(const std::string& path, Integer start = 7) {
    Integer kind = start;
    try {
        LoadProcessKind(path, kind);
    } catch (const OptionFileError& error) {
        return error.what() + " (kind "s + std::to_string(kind) + ")";
    }
    return std::to_string(kind);
}

std::string Save(const std::string& path, Integer kind) {
    try {
        SaveProcessKind(path, kind);
    } catch (const OptionFileError& error) {
        return error.what();
    }
    return "saved";
}

class OptionFileFaults : public ::testing::Test {
protected:
    TempDir dir_;
    const std::string path_ = OptionFilePath(dir_.Path());
};

TEST_F(OptionFileFaults, OnlyTheFirstTwoBytesEverChange) {
    WriteFileBytes(path_, "\xFF"s);
    EXPECT_EQ(Load(path_), "7") << "one byte holds no value";
    EXPECT_EQ(ReadFileBytes(path_), "\xFF"s);
    EXPECT_EQ(Save(path_, 0), "saved");
    EXPECT_EQ(ReadFileBytes(path_), kThread);

    const std::string tail = "\x01\x02\r\n\0rest of the file"s;
    WriteFileBytes(path_, kThread + tail);
    EXPECT_EQ(Load(path_), "0");
    EXPECT_EQ(Save(path_, -1), "saved");
    EXPECT_EQ(ReadFileBytes(path_), kMethod + tail);
    EXPECT_EQ(Load(path_), "-1");
    EXPECT_EQ(Save(path_, 0), "saved");
    EXPECT_EQ(ReadFileBytes(path_), kThread + tail);
}

TEST_F(OptionFileFaults, AMissingFileIsCreatedEmptyByALoad) {
    EXPECT_EQ(Load(path_, -1), "-1");
    EXPECT_EQ(ReadFileBytes(path_), "");
}

TEST_F(OptionFileFaults, ADirectoryInItsPlace) {
    std::filesystem::create_directory(path_);
    EXPECT_EQ(Load(path_, -1), "cannot open " + path_ + ": Is a directory (kind -1)");
    EXPECT_EQ(Save(path_, 0), "cannot open " + path_ + ": Is a directory");
    EXPECT_TRUE(dir_.Entries("option.dat").empty());
}

TEST_F(OptionFileFaults, AReadOnlyFileIsReadButNotWritten) {
    if (UnprivilegedUser() < 0) GTEST_SKIP() << "running as root with no unprivileged user";
    WriteFileBytes(path_, kMethod + "tail");
    ::chmod(path_.c_str(), 0444);
    ChildSetup unprivileged;
    unprivileged.Unprivileged = true;
    EXPECT_EQ(RunInChild([&] { return Load(path_); }, unprivileged), "-1");
    EXPECT_EQ(RunInChild([&] { return Save(path_, 0); }, unprivileged),
              "cannot open " + path_ + ": Permission denied");
    EXPECT_EQ(ReadFileBytes(path_), kMethod + "tail");
}

TEST_F(OptionFileFaults, AReadOnlyDirectoryWithoutTheFile) {
    if (UnprivilegedUser() < 0) GTEST_SKIP() << "running as root with no unprivileged user";
    ::chmod(dir_.Path().c_str(), 0555);
    ChildSetup unprivileged;
    unprivileged.Unprivileged = true;
    EXPECT_EQ(RunInChild([&] { return Load(path_, -1); }, unprivileged),
              "cannot open " + path_ + ": No such file or directory (kind -1)");
    EXPECT_EQ(RunInChild([&] { return Save(path_, -1); }, unprivileged),
              "cannot open " + path_ + ": Permission denied");
    EXPECT_FALSE(Exists(path_));
}

TEST_F(OptionFileFaults, AFullDiskKeepsTheFileAsItWas) {
    WriteFileBytes(path_, "");
    ChildSetup full;
    full.FileSizeLimit = 0;
    EXPECT_EQ(RunInChild([&] { return Save(path_, -1); }, full),
              "cannot write " + path_ + ": File too large");
    EXPECT_EQ(ReadFileBytes(path_), "");
}

// The batch tool reads the choice stored beside it and never writes it.
class StoredChoice : public OptionFileFaults {
protected:
    void SetUp() override {
        std::filesystem::copy_file(KESTROM_GEN, tool_);
        WriteFileBytes(input_, ToggleAsf());
    }
    std::string Generated() {
        const ProcessResult run = RunProgram({tool_, input_, dir_ / "out.cpp"});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        const std::string text = ReadFileBytes(dir_ / "out.cpp");
        if (text.find("SC_METHOD ( fsm_run ) ;") != std::string::npos) return "method";
        if (text.find("SC_THREAD ( fsm_run ) ;") != std::string::npos) return "thread";
        return "neither";
    }

    const std::string tool_ = dir_ / "kestrom-gen";
    const std::string input_ = dir_ / "toggle.asf";
};

TEST_F(StoredChoice, FollowsTheFileAndLeavesItAlone) {
    const std::vector<std::pair<std::string, const char*>> files = {
        {kMethod, "method"}, {kThread, "thread"}, {kMethod + "0123456789", "method"},
        {"\xFF"s, "thread"}, {"", "thread"},
    };
    for (const auto& [content, kind] : files) {
        SCOPED_TRACE(kind);
        WriteFileBytes(path_, content);
        EXPECT_EQ(Generated(), kind);
        EXPECT_EQ(ReadFileBytes(path_), content);
    }
}

TEST_F(StoredChoice, AnOptionFileThatCannotBeReadMeansAThreadProcess) {
    std::filesystem::create_directory(path_);
    EXPECT_EQ(Generated(), "thread");
    std::filesystem::remove(path_);
    EXPECT_EQ(Generated(), "thread");
    EXPECT_FALSE(std::filesystem::exists(path_)) << "reading the choice created the file";
}

} // namespace
} // namespace kestrom::test
