#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "io/OutputFile.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

std::string ErrorOfReplacing(const std::string& path, const std::string& content) {
    try {
        ReplaceFileContent(path, content);
    } catch (const OutputError& error) {
        return error.what();
    }
    return "no error";
}

TEST(OutputFile, ReplacesTheWholeFileKeepingModeAndLinks) {
    TempDir dir;
    WriteFileBytes(dir.File("real.cpp"), "a much longer earlier content");
    ::chmod(dir.File("real.cpp").c_str(), 0640);
    std::filesystem::create_symlink("real.cpp", dir.File("link.cpp"));

    ReplaceFileContent(dir.File("link.cpp"), "new");

    EXPECT_EQ(ReadFileBytes(dir.File("real.cpp")), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.cpp")));
    struct stat info {};
    ::stat(dir.File("real.cpp").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"link.cpp", "real.cpp"}));
}

// The earlier file is replaced as a whole, never rewritten in place: who holds
// it open or by another name still has the earlier bytes.
TEST(OutputFile, TheEarlierFileStaysWholeForWhoeverHoldsIt) {
    TempDir dir;
    WriteFileBytes(dir.File("out.cpp"), "earlier");
    ASSERT_EQ(::link(dir.File("out.cpp").c_str(), dir.File("kept.cpp").c_str()), 0);
    const int held = ::open(dir.File("out.cpp").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);

    ReplaceFileContent(dir.File("out.cpp"), "new");

    char bytes[16] = {};
    EXPECT_EQ(::pread(held, bytes, sizeof bytes, 0), 7);
    ::close(held);
    EXPECT_EQ(std::string(bytes), "earlier");
    EXPECT_EQ(ReadFileBytes(dir.File("kept.cpp")), "earlier");
    EXPECT_EQ(ReadFileBytes(dir.File("out.cpp")), "new");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"kept.cpp", "out.cpp"}));
}

TEST(OutputFile, FailuresAreReportedAndLeaveNothingBehind) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    EXPECT_EQ(ErrorOfReplacing(dir.File("sub"), "x"),
              "cannot write " + dir.File("sub") + ": Is a directory");
    EXPECT_EQ(ErrorOfReplacing(dir.File("none/out.cpp"), "x"), "cannot create a file beside " +
                                                                   dir.File("none/out.cpp") +
                                                                   ": No such file or directory");
    EXPECT_EQ(ErrorOfReplacing("/dev/full", "x"),
              "cannot write /dev/full: No space left on device");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"sub"}));
}

TEST(OutputFile, SameFileSeesThroughLinksAndRelativePaths) {
    TempDir dir;
    WriteFileBytes(dir.File("in.asf"), "x");
    std::filesystem::create_symlink(dir.File("in.asf"), dir.File("alias.cpp"));
    EXPECT_TRUE(IsSameFile(dir.File("in.asf"), dir.File("alias.cpp")));
    EXPECT_TRUE(IsSameFile(dir.File("in.asf"), dir.Path() + "/./in.asf"));
    EXPECT_FALSE(IsSameFile(dir.File("in.asf"), dir.File("missing.cpp")));
}

} // namespace
} // namespace kestrom::test
