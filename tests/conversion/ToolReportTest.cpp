#include <gtest/gtest.h>

#include <set>

#include "base/ToolReport.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

TEST(ToolReport, TextShowsTheCodeOfWarningsOnly) {
    EXPECT_EQ(FileDiagnosticText({"m.asf",
                                  7,
                                  "warning",
                                  "state 'A' is not reached from the initial state",
                                  code::kUnreachedState,
                                  0,
                                  {}}),
              "m.asf:7: warning: state 'A' is not reached from the initial state [K108]");
    EXPECT_EQ(FileDiagnosticText({"m.asf",
                                  0,
                                  "warning",
                                  "no clock port: no port is marked as clock",
                                  code::kNoClockPort,
                                  0,
                                  {}}),
              "m.asf: warning: no clock port: no port is marked as clock [K102]");
    EXPECT_EQ(FileDiagnosticText(
                  {"m.asf", 1, "error", "Invalid ASF File Format", code::kAsfError, 0, {}}),
              "m.asf:1: error: Invalid ASF File Format");
}

TEST(ToolReport, JsonStringsAreValidWhateverTheBytes) {
    EXPECT_EQ(JsonString("a \"b\" \\c"), R"("a \"b\" \\c")");
    EXPECT_EQ(JsonString(std::string("\t\r\n\x01\0", 5)), R"("\u0009\u000d\u000a\u0001\u0000")");
    EXPECT_EQ(JsonString("gr\xC3\xBC\xC3\x9F \xE2\x82\xAC"), "\"gr\xC3\xBC\xC3\x9F \xE2\x82\xAC\"");
    // Bytes of another code page, a cut sequence and an overlong form.
    EXPECT_EQ(JsonString("\xFC\xDF"), "\"\xC3\xBC\xC3\x9F\"");
    EXPECT_EQ(JsonString("\xE2\x82"), "\"\xC3\xA2\xC2\x82\"");
    EXPECT_EQ(JsonString("\xC0\xAF"), "\"\xC3\x80\xC2\xAF\"");
}

TEST(ToolReport, JsonDocumentListsEveryDiagnostic) {
    EXPECT_EQ(DiagnosticsJson({}), "{\"diagnostics\": []}\n");
    EXPECT_EQ(
        DiagnosticsJson({{"a.asf", 3, "warning", "port 3 has no name", code::kNoName, 0, {}},
                         {"o.cpp", 0, "error", "cannot write o.cpp", code::kOutputError, 0, {}}}),
        "{\"diagnostics\": [\n"
        "  {\"file\": \"a.asf\", \"line\": 3, \"severity\": \"warning\", \"code\": \"K104\", "
        "\"message\": \"port 3 has no name\"},\n"
        "  {\"file\": \"o.cpp\", \"line\": null, \"severity\": \"error\", \"code\": \"K002\", "
        "\"message\": \"cannot write o.cpp\"}\n"
        "]}\n");
}

TEST(ToolReport, EveryCodeIsDescribedOnceAndInTheUserGuide) {
    const std::string guide = ReadFileBytes(KESTROM_SOURCE_DIR "/src/ui/help/kestrom.hlp");
    std::set<std::string_view> codes;
    for (const CodeKind& kind : CodeKinds()) {
        EXPECT_TRUE(codes.insert(kind.Code).second) << kind.Code;
        EXPECT_FALSE(kind.Name.empty() || kind.Summary.empty()) << kind.Code;
        const bool warning = kind.Code[1] != '0';
        EXPECT_NE(guide.find((warning ? "<td>" : "") + std::string(kind.Code)), std::string::npos)
            << kind.Code << " is not in the user guide";
    }
    EXPECT_EQ(codes.size(), 45u);
}

} // namespace
} // namespace kestrom::test
