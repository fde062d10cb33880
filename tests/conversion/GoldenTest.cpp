// Whole generated files compared byte for byte with checked-in copies.
#include <gtest/gtest.h>

#include "conversion/AsfReader.h"
#include "conversion/SystemCWriter.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

struct GoldenCase {
    const char* example;
    const char* process;
    const char* golden;
};

std::string FirstDifference(const std::string& actual, const std::string& expected) {
    const std::vector<std::string> a = SplitCrLfLines(actual), e = SplitCrLfLines(expected);
    for (std::size_t i = 0; i < std::max(a.size(), e.size()); ++i) {
        const std::string got = i < a.size() ? a[i] : "<end of file>";
        const std::string want = i < e.size() ? e[i] : "<end of file>";
        if (got != want)
            return "line " + std::to_string(i + 1) + ":\n  expected: [" + want +
                   "]\n  actual:   [" + got + "]";
    }
    return "the files differ in their line ends";
}

class GoldenTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, GeneratedFileMatchesTheCheckedInCopy) {
    const GoldenCase& c = GetParam();
    FsmModel model;
    ReadAsfFile(std::string(KESTROM_EXAMPLES) + "/" + c.example, model);
    model.ProcessKind = std::string(c.process) == "method" ? kMethodProcess : kThreadProcess;
    Diagnostics warnings;
    const std::string actual = WriteSystemC(model, warnings);
    const std::string goldenPath = std::string(KESTROM_TEST_DATA) + "/golden/" + c.golden;
    const std::string expected = ReadFileBytes(goldenPath);
    EXPECT_TRUE(actual == expected)
        << FirstDifference(actual, expected) << "\nIf the new output is right, update it with:\n"
        << "  build/src/kestrom-gen --process " << c.process << " examples/" << c.example << " "
        << "tests/data/golden/" << c.golden;
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenTest,
                         testing::Values(GoldenCase{"toggle.asf", "thread", "toggle_thread.cpp"},
                                         GoldenCase{"toggle.asf", "method", "toggle_method.cpp"},
                                         GoldenCase{"blinker.asf", "thread", "blinker_thread.cpp"},
                                         GoldenCase{"blinker.asf", "method", "blinker_method.cpp"}),
                         [](const auto& info) {
                             std::string name = info.param.golden;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
} // namespace kestrom::test
