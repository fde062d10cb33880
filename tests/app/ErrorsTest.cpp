// Every error of the program is one kestrom::Error: its code, file, line and
// column travel with it, so one catch reports any of them.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/CommandLine.h"
#include "base/Diagnostics.h"
#include "io/OptionFile.h"
#include "io/OutputFile.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

// "CODE file:line:column message | what()" of the error thrown.
template <typename Throw> std::string Caught(Throw&& toThrow) {
    try {
        toThrow();
    } catch (const Error& error) {
        return std::string(error.Code()) + " " + error.File() + ":" + std::to_string(error.Line()) +
               ":" + std::to_string(error.Column()) + " " + error.Message() + " | " + error.what();
    }
    return "nothing thrown";
}

TEST(Errors, CarryTheirCodeAndPlace) {
    EXPECT_EQ(Caught([] { throw AsfError(4, "W line has 5 tokens, needs 6"); }),
              "K001 :4:0 W line has 5 tokens, needs 6 | line 4: W line has 5 tokens, needs 6");
    EXPECT_EQ(Caught([] { throw InputFileError("s.csv", 2, "no such port"); }),
              "K003 s.csv:2:0 no such port | line 2: no such port");
    EXPECT_EQ(Caught([] { throw OutputError("cannot write o.cpp"); }),
              "K002 :0:0 cannot write o.cpp | cannot write o.cpp");
    EXPECT_EQ(Caught([] { throw OptionFileError("cannot read option.dat"); }),
              "K004 :0:0 cannot read option.dat | cannot read option.dat");
}

TEST(Errors, ComeFromTheFilesAndTheCommandLineAlike) {
    TempDir dir;
    EXPECT_EQ(Caught([&] {
                  RequireOutputIsNotInput(ExamplePath("toggle.asf"),
                                          ExamplePath("../examples/toggle.asf"));
              }),
              "K002 :0:0 cannot write " + ExamplePath("../examples/toggle.asf") +
                  ": it is the ASF file being read | cannot write " +
                  ExamplePath("../examples/toggle.asf") + ": it is the ASF file being read");
    std::filesystem::create_directory(dir.File("option.dat"));
    EXPECT_EQ(Caught([&] { ReadStoredProcessKind(dir.File("option.dat")); }).substr(0, 5), "K004 ");
    const char* const argv[] = {"kestrom-gen", "--process=fast", "m.asf", "-"};
    EXPECT_EQ(Caught([&] { ParseArguments(4, argv); }),
              " :0:0 --process takes thread or method, not 'fast' | --process takes thread or "
              "method, not 'fast'");
}

} // namespace
} // namespace kestrom::test
