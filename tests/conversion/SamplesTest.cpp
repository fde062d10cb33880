// Real files saved by the state-diagram editor. The usbhostslave ones are in
// tests/data (LGPL, see the notice there); others are read from beside the
// checkout when present.
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/AsfReader.h"
#include "conversion/SystemCWriter.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

struct Sample {
    const char* file;
    const char* module;
    std::vector<std::string> expectedLines; // lines the output must hold, without indentation
};

std::string Locate(const std::string& file) {
    const std::string here = std::string(KESTROM_TEST_DATA) + "/samples/" + file;
    if (std::filesystem::exists(here)) return here;
    return std::string(KESTROM_SHARED_SAMPLES) + "/" + file;
}

bool HasTrimmedLine(const std::string& output, const std::string& wanted) {
    for (const std::string& line : SplitCrLfLines(output)) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.substr(start) == wanted) return true;
    }
    return false;
}

class SamplesTest : public testing::TestWithParam<Sample> {};

TEST_P(SamplesTest, ReadsWithoutErrorAndKeepsNamesAndConditions) {
    const Sample& sample = GetParam();
    const std::string path = Locate(sample.file);
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample not available: " << path;
    ASSERT_TRUE(PassesFirstLineTest(path));
    FsmModel model;
    ReadAsfFile(path, model);
    EXPECT_EQ(model.ModuleName, sample.module);
    Diagnostics warnings;
    const std::string output = WriteSystemC(model, warnings);
    for (const std::string& line : sample.expectedLines)
        EXPECT_TRUE(HasTrimmedLine(output, line)) << "missing: " << line;
}

INSTANTIATE_TEST_SUITE_P(
    EditorFiles, SamplesTest,
    testing::Values(
        Sample{"freecores__usbhostslave__sofcontroller_v1.19.asf",
               "SOFController",
               {"sc_in <bool> clk ; //clk", "sc_in <int> rst ;", "case WAIT_SOF_EN:",
                "if ( SOFEnable == 1'b1 ) NextState = SC_WAIT_GNT ;", "HCTxPortData <= 8'h00;"}},
        Sample{"freecores__usbhostslave__slaveSendpacket_v1.19.asf",
               "slaveSendPacket",
               {"case START_SP1:", "if ( PID == `DATA0 || PID == `DATA1 ) NextState = SP_D0_D1 ;"}},
        Sample{"freecores__usbhostslave__slavecontroller_v1.19.asf",
               "slavecontroller",
               {"case SETUP_OUT:", "case IN:"}}),
    [](const auto& info) { return "sample" + std::to_string(info.index); });

} // namespace
} // namespace kestrom::test
