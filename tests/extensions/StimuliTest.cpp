// The stimuli file: what it sets from which cycle on, and the whole message of
// each way it can be wrong.
#include <gtest/gtest.h>

#include "base/Diagnostics.h"
#include "support/TestSupport.h"
#include "extensions/Stimuli.h"

namespace kestrom::test {
namespace {

const std::vector<StimulusPort> kPorts = {
    {"clk", {1, false}, "the clock, which the test bench drives"},
    {"go", {1, false}, ""},
    {"count", {32, true}, ""},
    {"nibble", {4, false}, ""},
    {"wide", {64, false}, ""},
    {"q", {32, true}, "an output port"},
};

std::string Cells(const StimuliRow& row) {
    std::string text = std::to_string(row.Line) + "@" + std::to_string(row.Cycle) + ":";
    for (const auto& value : row.Values)
        text += " " + (value ? ValueLiteral(*value) : std::string("-"));
    return text;
}

std::string FailureOf(const std::string& text) {
    try {
        ReadStimuliText(text, "s.csv", kPorts);
    } catch (const InputFileError& error) {
        return FormatDiagnostic(error.File(), error.Line(), "error", error.Message());
    }
    return "no error";
}

TEST(Stimuli, RowsSetTheirPortsFromTheirCycleOn) {
    const Stimuli read = ReadStimuliText("# warm-up\r\n"
                                         "cycle, go ,\tnibble,count,wide\r\n"
                                         "\r\n"
                                         "0,1,0xF,-2147483648,18446744073709551615\r\n"
                                         "4,,0b0101,+7,\r\n"
                                         "9,false,,0x7fffffff,0\r\n",
                                         "s.csv", kPorts);
    EXPECT_EQ(read.File, "s.csv");
    EXPECT_EQ(read.Ports, (std::vector<std::string>{"go", "nibble", "count", "wide"}));
    ASSERT_EQ(read.Rows.size(), 3u);
    EXPECT_EQ(Cells(read.Rows[0]), "4@0: 1ULL 15ULL -2147483648LL 18446744073709551615ULL");
    EXPECT_EQ(Cells(read.Rows[1]), "5@4: - 5ULL 7ULL -");
    EXPECT_EQ(Cells(read.Rows[2]), "6@9: 0ULL - 2147483647ULL 0ULL");
}

TEST(Stimuli, EveryFaultNamesFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "s.csv:1: error: no header line 'cycle,PORT,...' in the file"},
        {"time,go\n", "s.csv:1: error: the header must begin with 'cycle', not 'time'"},
        {"cycle,go,\n", "s.csv:1: error: a column of the header has no port name"},
        {"cycle,go,go\n", "s.csv:1: error: port 'go' has two columns"},
        {"cycle,stop\n", "s.csv:1: error: the module has no port 'stop'; its input ports are "
                         "go, count, nibble, wide"},
        {"cycle,q\n", "s.csv:1: error: port 'q' is an output port; the stimuli drive input "
                      "ports only"},
        {"cycle,clk\n", "s.csv:1: error: port 'clk' is the clock, which the test bench drives; "
                        "the stimuli drive input ports only"},
        {"cycle,go\n0,1,1\n", "s.csv:2: error: the row has 3 cells, the header 2"},
        {"cycle,go\n-1,1\n", "s.csv:2: error: the cycle '-1' is not a whole number from 0 up"},
        {"cycle,go\n5,1\n\n5,0\n", "s.csv:4: error: cycle 5 does not come after cycle 5"},
        {"cycle,go\n0,yes\n",
         "s.csv:2: error: the value 'yes' for port 'go' is not a whole number"},
        {"cycle,go\n0,2\n", "s.csv:2: error: the value 2 does not fit port 'go' (0 to 1)"},
        {"cycle,nibble\n0,-1\n",
         "s.csv:2: error: the value -1 does not fit port 'nibble' (0 to 15)"},
        {"cycle,count\n0,2147483648\n",
         "s.csv:2: error: the value 2147483648 does not fit port 'count' (-2147483648 to "
         "2147483647)"},
        {"cycle,wide\n0,18446744073709551616\n",
         "s.csv:2: error: the value '18446744073709551616' for port 'wide' is not a whole number"},
        {"cycle,go\n0,0x\n", "s.csv:2: error: the value '0x' for port 'go' is not a whole number"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(FailureOf(text), expected) << text;
}

TEST(Stimuli, MissingFileIsAnErrorOfThatFile) {
    TempDir dir;
    try {
        ReadStimuliFile(dir.File("none.csv"), kPorts);
        FAIL() << "no error";
    } catch (const InputFileError& error) {
        EXPECT_EQ(FormatDiagnostic(error.File(), error.Line(), "error", error.Message()),
                  dir.File("none.csv") + ": error: cannot open it: No such file or directory");
    }
}

TEST(Stimuli, PortTypesGiveTheirRanges) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bool", "0 to 1"},
        {"int", "-2147483648 to 2147483647"},
        {"sc_uint<4>", "0 to 15"},
        {"sc_int< 8 >", "-128 to 127"},
        {"sc_lv<64>", "0 to 18446744073709551615"},
        {"sc_biguint<100>", "0 to 18446744073709551615"},
        {"sc_bigint<64>", "-9223372036854775808 to 9223372036854775807"},
    };
    for (const auto& [type, range] : cases) {
        const auto found = RangeOfType(type);
        ASSERT_TRUE(found) << type;
        EXPECT_EQ(DescribeRange(*found), range) << type;
    }
    for (const char* type : {"double", "sc_uint<0>", "sc_uint<>", "sc_uint4", "sc_fixed<8,4>"})
        EXPECT_FALSE(RangeOfType(type)) << type;
}

} // namespace
} // namespace kestrom::test
