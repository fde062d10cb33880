#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/OptionFile.h"
#include "conversion/TestSupport.h"

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

} // namespace
} // namespace kestrom::test
