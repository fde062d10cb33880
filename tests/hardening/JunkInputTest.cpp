// Files that are not what the editor writes: junk, NUL bytes, huge lines,
// bytes that are not UTF-8, and paths that are no readable file at all. The
// batch tool reports each the way compilers do; nothing crashes or hangs.
#include <random>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "conversion/AsfReader.h"
#include "conversion/SystemCWriter.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

using namespace std::string_literals;

const std::string kHeader = "VERSION=1.19\r\nENTITY=\"M\"\r\nOBJECTS\r\n";
constexpr size_t kTenMegabytes = 10 * 1024 * 1024;

// Bytes of every value but CR, LF and blank, so that they stay one token of
// one line; the first is no object kind.
std::string Junk(size_t size) {
    std::mt19937 random(20261207);
    std::string junk = "Z";
    while (junk.size() < size) {
        const char c = static_cast<char>(random() & 0xFF);
        if (c != '\r' && c != '\n' && c != ' ') junk += c;
    }
    return junk;
}

class GeneratingFiles : public ::testing::Test {
protected:
    // Runs the batch tool on the given content and returns its standard error.
    ProcessResult Generate(const std::string& content, const std::string& process = "thread") {
        WriteFileBytes(input_, content);
        return RunBatchTool({"--process", process, input_, output_});
    }
    std::string Error(const std::string& lineAndMessage) const {
        return input_ + ":" + lineAndMessage + "\n";
    }
    std::string Generated() const { return ReadFileBytes(output_); }

    TempDir dir_;
    const std::string input_ = dir_ / "in.asf";
    const std::string output_ = dir_ / "out.cpp";
};

TEST_F(GeneratingFiles, FilesThatAreNoAsfFileFailTheFirstLineTest) {
    const std::vector<std::pair<const char*, std::string>> inputs = {
        {"binary junk", Junk(65536)},
        {"empty file", ""},
        {"NUL inside the version line", "VERSION=1.19\0\r\n"s + kHeader.substr(14) + "END\r\n"},
        {"byte order mark", "\xEF\xBB\xBF" + kHeader + "END\r\n"},
        {"ten megabytes on the first line", std::string(kTenMegabytes, 'V')},
        {"lower-case version", "version=1.19\r\nOBJECTS\r\nEND\r\n"},
        {"a later version", "VERSION=1.21\r\nOBJECTS\r\nEND\r\n"},
    };
    for (const auto& [what, content] : inputs) {
        SCOPED_TRACE(what);
        const ProcessResult run = Generate(content);
        EXPECT_EQ(run.ExitCode, 1);
        const std::string refusal = "1: error: Invalid ASF File Format";
        // A version line is shown in the refusal, its control characters as '?'.
        if (content.rfind("VERSION=", 0) == 0)
            EXPECT_EQ(run.Err.rfind(input_ + ":" + refusal + ": the first line is \"VERSION=1.", 0),
                      0u);
        else
            EXPECT_EQ(run.Err, Error(refusal));
        EXPECT_FALSE(Exists(output_));
    }
}

TEST_F(GeneratingFiles, TruncatedFilesNameWhereTheyEnd) {
    EXPECT_EQ(Generate("VERSION=1.19").Err, Error("1: error: file ends before the OBJECTS line"));
    EXPECT_EQ(Generate("VERSION=1.19\r\n").Err,
              Error("1: error: file ends before the OBJECTS line"));
    EXPECT_EQ(Generate("VERSION=1.19\n").Err, Error("1: error: file ends before the OBJECTS line"));
    EXPECT_EQ(Generate(kHeader + "S 1 0").Err, Error("4: error: S line has 3 tokens, needs 4"));
    EXPECT_EQ(Generate(kHeader + Junk(65536)).Err,
              Error("4: error: file ends before the END line"));
    EXPECT_FALSE(Exists(output_));
}

TEST_F(GeneratingFiles, NulBytesAreOrdinaryCharacters) {
    EXPECT_EQ(Generate("VERSION=1.19\r\nOBJECTS\0\r\nEND\r\n"s).Err,
              Error("3: error: file ends before the OBJECTS line"));
    EXPECT_EQ(Generate(kHeader + "S 1 0 0\r\nEND\0\r\n"s).Err,
              Error("5: error: file ends before the END line"));

    const std::string condition = "a\0b==1"s;
    const ProcessResult run =
        Generate(kHeader + "S 1\0 0 0\r\nL 2 1 0 0 .State 0 0 0 0 0 0 \"Go\"\r\n"s +
                 "W 3 0 0 1 1\r\nC 4 3 0 0 0 0 0 0 0 0 \"" + condition + "\"\r\nEND\r\n");
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(Generated().find("if ( " + condition + " ) NextState = Go ;\r\n"), std::string::npos);
}

TEST_F(GeneratingFiles, TenMegabyteLinesAreReadWhole) {
    const std::string text(kTenMegabytes, 'x');
    ProcessResult run = Generate(kHeader + "S 1 0 0\r\nW 2 0 0 1 1\r\nC 3 2 0 0 0 0 0 0 0 0 \"" +
                                 text + "\"\r\nEND\r\n");
    EXPECT_EQ(run.ExitCode, 0) << run.Err.substr(0, 500);
    EXPECT_NE(Generated().find("if ( " + text + " ) NextState"), std::string::npos);

    run = Generate(kHeader + std::string(kTenMegabytes, ' ') + "\r\nS 1 0 0\r\nEND\r\n");
    EXPECT_EQ(run.ExitCode, 0) << run.Err.substr(0, 500);

    run = Generate(kHeader + "S 1 0 " + std::string(kTenMegabytes, '1') + "\r\nEND\r\n");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, input_ + ":4: error: number " + std::string(40, '1') +
                           "... (10485760 characters) does not fit a 32-bit integer\n")
        << run.Err.substr(0, 200);
}

TEST_F(GeneratingFiles, BytesThatAreNotUtf8PassThroughUnchanged) {
    const std::string name = "Zust\xE4nd\xC3(\xFF";
    const std::string port = "in\x80\x81";
    const std::string condition = port + "==\xA7";
    const std::string action = "x = \"\xE9\xFE\";";
    const ProcessResult run =
        Generate("VERSION=1.19\r\nENTITY=\"M\xF6\"\r\nOBJECTS\r\n"
                 "I 10 0 1 0 InPort\r\nL 11 10 0 0 .Labels 0 0 0 0 0 \"" +
                 port + "\"\r\nS 1 0 0\r\nL 2 1 0 0 .State 0 0 0 0 0 0 \"" + name +
                 "\"\r\nA 3 1 0 0 0 0 0 0 0 0 \"" + action + "\"\r\nW 4 0 0 1 1\r\n" +
                 "C 5 4 0 0 0 0 0 0 0 0 \"" + condition + "\"\r\nEND\r\n");
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string generated = Generated();
    for (const std::string& expected :
         {"SC_MODULE ( M\xF6 )\r\n"s, "    sc_in <bool> " + port + " ; //clk\r\n",
          "        " + name + "\r\n", "                case " + name + ":\r\n",
          std::string(24, ' ') + action + "\r\n",
          "if ( " + condition + " ) NextState = " + name + " ;\r\n"})
        EXPECT_NE(generated.find(expected), std::string::npos) << expected;
}

TEST_F(GeneratingFiles, AnInputThatIsNoReadableFileIsNamedInTheError) {
    ProcessResult run = RunBatchTool({"--process", "thread", dir_.Path(), output_});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, dir_.Path() + ": error: cannot read the file: it is a directory\n");

    run = RunBatchTool({"--process", "thread", dir_ / "missing.asf", output_});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err,
              dir_ / "missing.asf" + ": error: cannot open the file: No such file or directory\n");
    EXPECT_FALSE(Exists(output_));

    FsmModel model;
    EXPECT_FALSE(PassesFirstLineTest(dir_.Path()));
    EXPECT_THROW(ReadAsfFile(dir_.Path(), model), AsfError);
}

TEST_F(GeneratingFiles, AnUnreadableFileIsReported) {
    if (UnprivilegedUser() < 0) GTEST_SKIP() << "running as root with no unprivileged user";
    WriteFileBytes(input_, ToggleAsf());
    ::chmod(input_.c_str(), 0);
    ChildSetup unprivileged;
    unprivileged.Unprivileged = true;
    const ProcessResult run = RunBatchTool({"--process", "thread", input_, "-"}, unprivileged);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, Error(" error: cannot open the file: Permission denied"));
}

} // namespace
} // namespace kestrom::test
