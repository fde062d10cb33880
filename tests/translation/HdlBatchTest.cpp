// kestrom-gen --hdl as a user runs it: what it refuses and how it says so,
// what the options change, and what a reader of the module finds in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/TestSupport.h"
#include "translation/HdlGeneration.h"

namespace kestrom::test {
namespace {

const std::string kInclude = KESTROM_TEST_DATA "/hdl/include";
const std::string kSof =
    KESTROM_TEST_DATA "/samples/freecores__usbhostslave__sofcontroller_v1.19.asf";
const std::string kSlave =
    KESTROM_TEST_DATA "/samples/freecores__usbhostslave__slavecontroller_v1.19.asf";
const std::string kDirect =
    KESTROM_TEST_DATA "/hdl/samples/freecores__usbhostslave__directcontrol_v1.15.asf";

// The body of a member function of the module, up to its closing brace.
std::string FunctionBody(const std::string& module, const std::string& head) {
    const std::size_t start = module.find(head);
    if (start == std::string::npos) return "";
    return module.substr(start, module.find("\n    }", start) - start);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(HdlBatch, AnUntranslatableTextIsAnErrorAtItsPlaceAndNothingIsWritten) {
    // The reset state's entry action writes a name the design never declares.
    TempDir dir;
    const std::string module = dir.File("module.cpp");
    const std::string sarif = dir.File("run.sarif");
    const ProcessResult text = RunBatchTool({"--hdl", "-I", kInclude, kSlave, module});
    EXPECT_EQ(text.ExitCode, 1);
    EXPECT_NE(text.Err.find("slavecontroller_v1.19.asf:249:1: error: unknown name 'clearEPRdy'"),
              std::string::npos)
        << text.Err;
    EXPECT_FALSE(std::filesystem::exists(module));

    const ProcessResult json = RunBatchTool({"--hdl", "-I", kInclude, "--diagnostics-format",
                                             "json", "--sarif", sarif, kSlave, module});
    EXPECT_EQ(json.ExitCode, 1);
    EXPECT_NE(json.Err.find("\"line\": 249, \"column\": 1"), std::string::npos) << json.Err;
    EXPECT_NE(json.Err.find("\"code\": \"K402\""), std::string::npos) << json.Err;
    const std::string log = ReadFileBytes(sarif);
    EXPECT_NE(log.find("\"startLine\": 249, \"startColumn\": 1"), std::string::npos);
    EXPECT_NE(log.find("{\"id\": \"K402\", \"name\": \"unknown-name\""), std::string::npos) << log;
    EXPECT_FALSE(std::filesystem::exists(module));
}

TEST(HdlBatch, IncludeFilesAndDefinesGiveTheMacros) {
    const ProcessResult missing = RunBatchTool({"--hdl", kSof, "-"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_NE(missing.Err.find("usbSerialInterfaceEngine_h.v"), std::string::npos) << missing.Err;
    EXPECT_TRUE(missing.Out.empty());

    const ProcessResult included = RunBatchTool({"--hdl", "-I", kInclude, kSof, "-"});
    ASSERT_EQ(included.ExitCode, 0) << included.Err;
    // `TX_RESUME_START is 8'h01 in the include file; the command line overrides it.
    EXPECT_NE(included.Out.find("n_HCTxPortCntl = 1u;"), std::string::npos);
    const ProcessResult defined = RunBatchTool(
        {"--hdl", "--include-dir", kInclude, "--define", "TX_RESUME_START=8'h42", kSof, "-"});
    ASSERT_EQ(defined.ExitCode, 0) << defined.Err;
    EXPECT_NE(defined.Out.find("n_HCTxPortCntl = 0x42u;"), std::string::npos);
}

TEST(HdlBatch, OptionsThatDoNotGoTogetherAreUsageErrors) {
    EXPECT_EQ(RunBatchTool({"-I", kInclude, kSof, "-"}).ExitCode, 2);
    EXPECT_EQ(RunBatchTool({"--define", "A=1", kSof, "-"}).ExitCode, 2);
    EXPECT_EQ(RunBatchTool({"--package", "p.vhd", kSof, "-"}).ExitCode, 2);
    EXPECT_EQ(RunBatchTool({"--hdl", "--reset", "sync", kSof, "-"}).ExitCode, 2);
    const ProcessResult badName = RunBatchTool({"--hdl", "--define", "9A=1", kSof, "-"});
    EXPECT_EQ(badName.ExitCode, 2);
    EXPECT_NE(badName.Err.find("'9A=1'"), std::string::npos);
}

TEST(HdlBatch, TheModuleNamesLeafStatesByPathAndShowsEachTextWithItsLine) {
    const ProcessResult run = RunBatchTool({"--hdl", "-I", kInclude, "--state-port", kDirect, "-"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const std::string& module = run.Out;
    EXPECT_NE(module.find("DRCT_CNTL_WAIT_GNT , //DRCT_CNTL.WAIT_GNT"), std::string::npos);
    EXPECT_NE(module.find("IDLE_FIN , //IDLE.FIN"), std::string::npos);
    // A text of several lines: its first line after the ASF line, then the others.
    EXPECT_NE(
        module.find("//line 85: HCTxPortWEn <= 1'b1; \n"
                    "                //    HCTxPortData <= {6'b000000, directControlLineState}; "),
        std::string::npos)
        << module;
    // Each input the texts read is read once per activation; the clock is not.
    const std::string reads = FunctionBody(module, "void ReadInputs ( )");
    for (const char* input :
         {"rst", "directControlEn", "HCTxPortGnt", "HCTxPortRdy", "directControlLineState"})
        EXPECT_EQ(Count(reads, std::string(" = ") + input + ".read ( )"), 1u) << input;
    EXPECT_EQ(Count(reads, "clk.read"), 0u);
    // Each output is written in one place, when it changed.
    const std::string writes = FunctionBody(module, "void WriteOutputs ( )");
    EXPECT_EQ(Count(writes, "HCTxPortReq.write"), 1u);
    EXPECT_EQ(Count(module, ".write ("), Count(writes, ".write ("));
}

TEST(HdlBatch, TheTestBenchUsesThePathsAndTheTranslatedReset) {
    TempDir dir;
    const ProcessResult run =
        RunBatchTool({"--hdl", "-I", kInclude, "--testbench", dir.File("bench.cpp"), kDirect,
                      dir.File("module.cpp")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const std::string bench = ReadFileBytes(dir.File("bench.cpp"));
    EXPECT_NE(bench.find("\"DRCT_CNTL.CHK_LOOP\" ,"), std::string::npos);
    EXPECT_NE(bench.find("DRCT_CNTL.CHK_LOOP -> CHK_DRCT_CNTL [directControlEn == 1'b0]"),
              std::string::npos);
    EXPECT_NE(
        bench.find(
            "return static_cast < bool > ( static_cast < std::uint64_t > ( rst.read ( ) ) ) ;"),
        std::string::npos)
        << bench;
    EXPECT_NE(ReadFileBytes(dir.File("module.cpp")).find("KESTROM_COVERAGE ( 1 ) ;"),
              std::string::npos);
}

// A state in the "Delay" style counts with the register the editor declares
// for the design: 32 bits, named after the entity.
TEST(HdlBatch, DelayStatesCountWithTheDesignsOwnRegister) {
    const ProcessResult run =
        RunBatchTool({"--hdl", KESTROM_TEST_DATA "/hdl/delay_verilog.asf", "-"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(run.Out.find("std::uint64_t r_delay_counter_blink ; //32 bits"), std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("n_delay_counter_blink = (r_delay_counter_blink + 1u) & 0xffffffffu;"),
              std::string::npos);
}

// With line directives each translated text names its ASF line, and each
// directive back to the module names the line that follows it.
TEST(HdlLineDirectives, NameTheDiagramsLinesAndComeBackToTheModules) {
    translation::HdlRequest request;
    request.AsfPath = request.ShownName = kDirect;
    request.Options.IncludeDirs = {kInclude};
    request.LineDirectives = Extensions::LineNames{"d.asf", ""};
    Diagnostics problems;
    const std::string module = translation::GenerateHdl(request, false, problems).Module.Text;
    std::istringstream lines(module);
    int number = 0, toDiagram = 0, back = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (line.find("#line ") == std::string::npos) continue;
        if (line.find("\"d.asf\"") != std::string::npos) {
            ++toDiagram;
            continue;
        }
        EXPECT_EQ(line, "#line " + std::to_string(number + 1) + " \"directControl.cpp\"");
        ++back;
    }
    EXPECT_GT(toDiagram, 10);
    EXPECT_EQ(back, toDiagram);
    EXPECT_NE(module.find("#line 85 \"d.asf\"\n                n_HCTxPortWEn = 1u;"),
              std::string::npos)
        << module;
}

// next_X is a register's coming value: of a wire it is refused, and so is a
// wire built from one that the machine reads back.
TEST(HdlBatch, ComingValuesOfWiresAndLoopsThroughThemAreRefused) {
    const std::string drawing = ReadFileBytes(KESTROM_TEST_DATA "/hdl/coming_verilog.asf");
    auto refusal = [&](const std::string& from, const std::string& to) {
        TempDir dir;
        std::string text = drawing;
        text.replace(text.find(from), from.size(), to);
        WriteFileBytes(dir.File("c.asf"), text);
        const ProcessResult run = RunBatchTool({"--hdl", dir.File("c.asf"), "-"});
        EXPECT_EQ(run.ExitCode, 1);
        return run.Err.substr(run.Err.find("c.asf:"));
    };
    EXPECT_EQ(refusal("assign ahead = next_cnt;", "assign ahead = next_wrap;"),
              "c.asf:20:1: error: reading 'next_wrap' when no action of a state or transition "
              "writes 'wrap' is not supported\n");
    EXPECT_EQ(refusal("1 0 0 \"rst\"\r\nA 28", "1 0 0 \"rst || wrap\"\r\nA 28"),
              "c.asf:22: error: reading 'wrap' here, which depends on a next_ value: a loop "
              "without a register is not supported\n");
}

} // namespace
} // namespace kestrom::test
