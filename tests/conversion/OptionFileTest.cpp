#include <gtest/gtest.h>

#include <filesystem>

#include "io/OptionFile.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

TEST(OptionFile, FirstLoadCreatesAnEmptyFileAndKeepsThread) {
    TempDir dir;
    const std::string path = OptionFilePath(dir.Path());
    Integer kind = kThreadProcess;
    LoadProcessKind(path, kind);
    EXPECT_EQ(kind, kThreadProcess);
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(OptionFile, SavingRewritesOnlyTheFirstTwoBytes) {
    TempDir dir;
    const std::string path = OptionFilePath(dir.Path());
    WriteFileBytes(path, std::string(10, '\0'));
    Integer kind = kMethodProcess;
    LoadProcessKind(path, kind);
    EXPECT_EQ(kind, kThreadProcess);

    SaveProcessKind(path, kMethodProcess);
    EXPECT_EQ(ReadFileBytes(path), "\xFF\xFF" + std::string(8, '\0'));
    LoadProcessKind(path, kind);
    EXPECT_EQ(kind, kMethodProcess);

    SaveProcessKind(path, kThreadProcess);
    EXPECT_EQ(ReadFileBytes(path), std::string(10, '\0'));
}

TEST(OptionFile, AOneByteFileKeepsTheValueInMemory) {
    TempDir dir;
    const std::string path = OptionFilePath(dir.Path());
    WriteFileBytes(path, "\xFF");
    Integer kind = kMethodProcess;
    LoadProcessKind(path, kind);
    EXPECT_EQ(kind, kMethodProcess);
    EXPECT_EQ(ReadFileBytes(path), "\xFF");
}

TEST(OptionFile, ADirectoryInItsPlaceIsReportedWithThePath) {
    TempDir dir;
    const std::string path = OptionFilePath(dir.Path());
    std::filesystem::create_directory(path);
    Integer kind = kMethodProcess;
    try {
        LoadProcessKind(path, kind);
        FAIL() << "a directory was loaded";
    } catch (const OptionFileError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot open " + path + ": Is a directory");
    }
    EXPECT_EQ(kind, kMethodProcess);
    EXPECT_THROW(SaveProcessKind(path, kThreadProcess), OptionFileError);
}

TEST(OptionFile, AnInstalledProgramKeepsItInTheUserConfigurationFolder) {
    TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.File("config").c_str());
    EXPECT_EQ(OptionFileDirectory("/usr/bin", true), "/usr/bin");
    EXPECT_EQ(OptionFileDirectory("/usr/bin", false), dir.File("config") + "/kestrom");
    EXPECT_EQ(OptionFileLocation(dir.Path()), dir.File("option.dat"));

    const std::string path = dir.File("config") + "/kestrom/option.dat";
    MakeOptionFileDirectory(path);
    SaveProcessKind(path, kMethodProcess);
    EXPECT_EQ(ReadStoredProcessKind(path), kMethodProcess);
    MakeOptionFileDirectory(dir.File("beside/option.dat")); // a program's folder is never made
    EXPECT_FALSE(std::filesystem::exists(dir.File("beside")));

    ScopedEnv relative("XDG_CONFIG_HOME", "relative/not/allowed");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(OptionFileDirectory("/usr/bin", false), "/home/someone/.config/kestrom");
}

TEST(OptionFile, ReadingTheStoredChoiceLeavesEverythingAsItWas) {
    TempDir dir;
    const std::string path = OptionFilePath(dir.Path());
    EXPECT_EQ(ReadStoredProcessKind(path), kThreadProcess);
    EXPECT_TRUE(dir.Entries().empty());
    WriteFileBytes(path, "\xFF");
    EXPECT_EQ(ReadStoredProcessKind(path), kThreadProcess);
    WriteFileBytes(path, std::string("\xFF\xFF\x00", 3));
    EXPECT_EQ(ReadStoredProcessKind(path), kMethodProcess);
    EXPECT_EQ(ReadFileBytes(path), std::string("\xFF\xFF\x00", 3));
}

} // namespace
} // namespace kestrom::test
