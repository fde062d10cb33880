// Hand-drawn states and the whole diagnostics the analysis reports for them.
#include <gtest/gtest.h>

#include "analysis/AnalysisSupport.h"

namespace kestrom::analysis::test {
namespace {

hdl::Scope UsbInputs() {
    hdl::Scope scope;
    Declare(scope, "RxPID", hdl::SymbolKind::Input, 4);
    Declare(scope, "RxValid", hdl::SymbolKind::Input, 1);
    Declare(scope, "cnt", hdl::SymbolKind::Output, 4);
    scope.Macros.Define("DATA0", "4'h3");
    return scope;
}

struct TableCase {
    std::vector<TransitionSpec> Transitions;
    std::vector<std::string> Expected;
};

// The diagnostics' lines, with time enough for every query.
std::vector<std::string> LinesOf(const TestMachine& machine, const hdl::Scope& scope,
                                 hdl::Language language, bool uncovered = false,
                                 std::chrono::milliseconds perQuery = std::chrono::seconds(5)) {
    AnalysisOptions options;
    options.UncoveredInputs = uncovered;
    options.Limit.PerQuery = perQuery;
    return DiagnosticLines(Analyse(machine, scope, language, options));
}

std::vector<std::string> DiagnosticsOf(const std::vector<TransitionSpec>& transitions,
                                       bool uncovered = false) {
    const TestMachine machine =
        MachineOf({{"IDLE", 130, transitions}, {"CHK_PID", 200, {}}, {"CHK_ADDR", 210, {}}});
    return LinesOf(machine, UsbInputs(), hdl::Language::Verilog, uncovered);
}

TEST(DiagnosticsTable, WholeMessages) {
    const std::vector<TableCase> cases = {
        {{{139, 1, "RxPID[0] == 1'b1", "CHK_PID"}, {142, 2, "RxPID == 4'h5", "CHK_ADDR"}},
         {"m.asf:142: warning: transition to 'CHK_ADDR' can never be taken: whenever 'RxPID == "
          "4'h5' holds, the transition on line 139 (priority 1) is taken first [K202]"}},
        {{{139, 1, "RxPID == 4'h5", "CHK_PID"},
          {142, 1, "RxValid && RxPID[3:2] == 2'b01", "CHK_ADDR"}},
         {"m.asf:142: warning: transition to 'CHK_ADDR' and the transition on line 139 have the "
          "same priority 1 and both hold for (RxPID = 4'h5, RxValid = 1): the one on line 139 is "
          "taken [K201]"}},
        {{{139, 1, "RxValid == 1'b1 && RxValid == 1'b0", "CHK_PID"},
          {142, 2, "cnt > 4'hf", "CHK_ADDR"}},
         {"m.asf:139: warning: transition to 'CHK_PID' can never be taken: its condition "
          "'RxValid == 1'b1 && RxValid == 1'b0' never holds [K203]",
          "m.asf:142: warning: transition to 'CHK_ADDR' can never be taken: its condition 'cnt > "
          "4'hf' never holds [K203]"}},
        {{{139, 1, "cnt <= 4'hf", "CHK_PID"},
          {142, 2, "RxValid", "CHK_ADDR"},
          {144, 3, "@ELSE", "IDLE"}},
         {"m.asf:139: warning: transition to 'CHK_PID' is always taken: its condition 'cnt <= "
          "4'hf' holds for every input, so the transitions on lines 142 and 144 below it can "
          "never be taken [K204]"}},
        {{{139, 1, "RxValid", "CHK_PID"},
          {142, 2, "!RxValid", "CHK_ADDR"},
          {144, 0, "@ELSE", "IDLE"}},
         {"m.asf:144: warning: else transition to 'IDLE' can never be taken: the transitions on "
          "lines 139 (priority 1) and 142 (priority 2) cover every input [K202]"}},
        {{{139, 1, "RxPID == `DATA0", "CHK_PID"}, {142, 2, "RxPID == `DATA1", "CHK_ADDR"}},
         {"m.asf:142: note: condition 'RxPID == `DATA1' of the transition to 'CHK_ADDR' is not "
          "analysed: macro `DATA1 is used on line 143 but never defined [K206]"}},
        {{{139, 1, "RxPID == 4'h5", "CHK_PID"}, {142, 2, "RxPID != 4'h5", "CHK_ADDR"}}, {}},
    };
    for (const TableCase& test : cases)
        EXPECT_EQ(DiagnosticsOf(test.Transitions), test.Expected) << test.Transitions[0].Condition;
}

TEST(DiagnosticsTable, UncoveredInputsOnlyWhenAsked) {
    const std::vector<TransitionSpec> gap = {{139, 1, "RxValid && RxPID == 4'h1", "CHK_PID"},
                                             {142, 2, "!RxValid", "CHK_ADDR"}};
    EXPECT_EQ(DiagnosticsOf(gap), std::vector<std::string>{});
    const std::vector<std::string> found = DiagnosticsOf(gap, true);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].substr(0, found[0].find(" for (")),
              "m.asf:130: note: no transition of state 'IDLE' holds");
    EXPECT_NE(found[0].find("RxValid = 1"), std::string::npos) << found[0];
}

TEST(DiagnosticsTable, VhdlAndCppWitnessesInTheirOwnNotation) {
    hdl::Scope scope;
    Declare(scope, "sel", hdl::SymbolKind::Input, 3);
    Declare(scope, "go", hdl::SymbolKind::Input, 1);
    const TestMachine vhdl = MachineOf(
        {{"A", 10, {{12, 1, "sel = \"101\"", "B"}, {14, 1, "go = '1' and sel(0) = '1'", "A"}}},
         {"B", 20, {}}});
    const std::vector<std::string> vhdlFound = LinesOf(vhdl, scope, hdl::Language::Vhdl);
    ASSERT_EQ(vhdlFound.size(), 1u);
    EXPECT_NE(vhdlFound[0].find("both hold for (sel = \"101\", go = '1')"), std::string::npos)
        << vhdlFound[0];
    const TestMachine cpp = MachineOf(
        {{"A", 10, {{12, 1, "sel.read() == 5", "B"}, {14, 1, "go.read() && sel.read() > 4", "A"}}},
         {"B", 20, {}}});
    const std::vector<std::string> cppFound = LinesOf(cpp, scope, hdl::Language::Cpp);
    ASSERT_EQ(cppFound.size(), 1u);
    EXPECT_NE(cppFound[0].find("both hold for (sel = 5, go = 1)"), std::string::npos)
        << cppFound[0];
}

TEST(DiagnosticsTable, ASlowConditionIsNotDecidedAndNeverAWarning) {
    hdl::Scope scope;
    Declare(scope, "a", hdl::SymbolKind::Input, 64);
    Declare(scope, "b", hdl::SymbolKind::Input, 64);
    // The product of two random 32-bit primes: holding means factoring it.
    const std::string factors = "a * b == 64'hb572c1bc87d0178d && a > 64'd1 && b > 64'd1 && "
                                "a < 64'h100000000 && b < 64'h100000000";
    const TestMachine machine = MachineOf({{"A", 10, {{12, 1, factors, "B"}}}, {"B", 20, {}}});
    EXPECT_EQ(
        LinesOf(machine, scope, hdl::Language::Verilog, false, std::chrono::milliseconds(200)),
        std::vector<std::string>{"m.asf:12: note: not decided within 200 ms whether the "
                                 "condition of the transition to 'B' can hold [K206]"});
}

} // namespace
} // namespace kestrom::analysis::test
