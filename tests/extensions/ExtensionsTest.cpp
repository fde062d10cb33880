// The generation extensions on files written as the editor writes them.
#include <gtest/gtest.h>

#include <filesystem>

#include "drawing/PictureFile.h"
#include "extensions/ExtendedGeneration.h"
#include "extensions/ModulePorts.h"
#include "extensions/TestBenchGeneration.h"
#include "io/InputFile.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

const std::string kPump = KESTROM_TEST_DATA "/extensions/pump.asf";

std::string EditorFile(const std::vector<std::string>& objects,
                       const std::string& version = "VERSION=1.19") {
    std::string text = version + "\r\nHEADER\r\nENTITY=\"M\"\r\nEND\r\nOBJECTS\r\n";
    for (const std::string& line : objects)
        text += line + "\r\n";
    return text + "END\r\n";
}

std::string Port(int id, int flags, const std::string& kind, const std::string& label) {
    return "I " + std::to_string(id) + " 0 " + std::to_string(flags) + " Builtin " + kind +
           " | 1000,1000 \"\" \"\"\r\nL " + std::to_string(id + 1) + " " + std::to_string(id) +
           " 0 TEXT \"Labels\" | 1000,1000 1 0 0 \"" + label + "\"";
}

std::string State(int id, int flags, const std::string& name) {
    return "S " + std::to_string(id) + " 6 " + std::to_string(flags) +
           " ELLIPSE \"States\" | 1000,1000 6500 6500\r\nL " + std::to_string(id + 1) + " " +
           std::to_string(id) + " 0 TEXT \"State Labels\" | 1000,1000 1 0 0 \"" + name + "\"";
}

std::string Transition(int id, int flags, int from, int to, const std::string& condition = "") {
    std::string line = "W " + std::to_string(id) + " 6 " + std::to_string(flags) + " " +
                       std::to_string(from) + " " + std::to_string(to) +
                       " BEZIER \"Transitions\" | 1,1 2,2 3,3 4,4";
    if (!condition.empty())
        line += "\r\nC " + std::to_string(id + 1) + " " + std::to_string(id) +
                " 0 TEXT \"Conditions\" | 1,1 1 0 0 \"" + condition + "\"";
    return line;
}

std::string Action(int id, int owner, int kind, const std::string& text) {
    return "A " + std::to_string(id) + " " + std::to_string(owner) + " " + std::to_string(kind) +
           " TEXT \"Actions\" | 1,1 1 0 0 \"" + text + "\"";
}

struct Generated {
    std::string Text;
    Diagnostics Warnings;
    std::string Error = "no error";
};

Generated Generate(const std::string& asfText, const Extensions& extensions,
                   Integer process = kThreadProcess) {
    TempDir dir;
    WriteFileBytes(dir.File("in.asf"), asfText);
    Generated result;
    FsmModel model;
    model.ProcessKind = process;
    try {
        result.Text = GenerateModule(dir.File("in.asf"), model, extensions, result.Warnings);
    } catch (const AsfError& error) {
        result.Error = error.what();
    }
    return result;
}

std::vector<std::string> PortLines(const std::string& output) {
    std::vector<std::string> lines;
    bool inPorts = false;
    for (const std::string& line : SplitCrLfLines(output)) {
        if (inPorts && line.empty()) break;
        if (inPorts) lines.push_back(line.substr(4));
        inPorts = inPorts || line == "    //Decalare Input/Output Ports";
    }
    return lines;
}

TEST(Extensions, AllOffWritesThePlainFileByteForByte) {
    Extensions onlyVersions;
    onlyVersions.AnyVersion = true;
    for (const char* example : {"toggle", "blinker"})
        for (const auto& [process, kind] :
             {std::pair{kThreadProcess, "thread"}, std::pair{kMethodProcess, "method"}}) {
            const std::string golden = ReadFileBytes(std::string(KESTROM_TEST_DATA) + "/golden/" +
                                                     example + "_" + kind + ".cpp");
            const std::string asf =
                ReadFileBytes(std::string(KESTROM_EXAMPLES) + "/" + example + ".asf");
            EXPECT_EQ(Generate(asf, Extensions{}, process).Text, golden) << example << kind;
            EXPECT_EQ(Generate(asf, onlyVersions, process).Text, golden) << example << kind;
        }
}

TEST(Extensions, TypedPortsFollowTheDrawnWidths) {
    Extensions typed;
    typed.TypedPorts = true;
    typed.StatePort = true;
    const std::string asf =
        EditorFile({Port(10, 3, "InPort", "clk"), Port(12, 0, "InPort", "go"),
                    Port(14, 130, "InPort", "PID[3:0]"), Port(16, 0, "OutPort", "wide[79:0]"),
                    Port(18, 0, "BiDirPort", "data[63:0]"), Port(20, 1, "OutPort", "tick"),
                    State(30, 1, "A")});
    EXPECT_EQ(PortLines(Generate(asf, typed).Text),
              (std::vector<std::string>{
                  "sc_in <bool> clk ; //clk", "sc_in <bool> go ;", "sc_in <sc_uint<4>> PID ;",
                  "sc_out <sc_biguint<80>> wide ;", "sc_inout <sc_uint<64>> data ;",
                  "sc_out <bool> tick ;", "sc_out <int> fsm_state ;"}));
    typed.TypedPorts = false;
    EXPECT_EQ(PortLines(Generate(asf, typed).Text),
              (std::vector<std::string>{"sc_in <bool> clk ; //clk", "sc_in <int> go ;",
                                        "sc_in <int> PID ;", "sc_out <int> wide ;",
                                        "sc_out <int> tick ;", "sc_out <int> fsm_state ;"}));
}

TEST(Extensions, AStatePortDrawnAlreadyIsAnErrorNamingBothLines) {
    Extensions statePort;
    statePort.StatePort = true;
    const std::string asf = EditorFile({Port(10, 0, "OutPort", "fsm_state")});
    EXPECT_EQ(Generate(asf, statePort).Error,
              "line 6: the port drawn on line 6 and named on line 7 is called fsm_state, the name "
              "of the state port");
    EXPECT_EQ(Generate(asf, Extensions{}).Error, "no error");
}

TEST(Extensions, OtherVersionsPassOnlyWhenAsked) {
    TempDir dir;
    Extensions any;
    any.AnyVersion = true;
    const std::vector<std::pair<std::string, bool>> versions = {
        {"VERSION=1.19", true},  {"VERSION=1.15", true},   {"VERSION=1.29", true},
        {"VERSION=1.14", false}, {"VERSION=1.30", false},  {"VERSION=1.2", false},
        {"VERSION=2.19", false}, {"VERSION=1.21 ", false}, {"VERSION=1.1a", false}};
    for (const auto& [version, acceptedByAny] : versions) {
        WriteFileBytes(dir.File("v.asf"), version + "\r\nOBJECTS\r\nEND\r\n");
        EXPECT_EQ(PassesAcceptedFirstLine(dir.File("v.asf"), any), acceptedByAny) << version;
        EXPECT_EQ(PassesAcceptedFirstLine(dir.File("v.asf"), Extensions{}),
                  version == "VERSION=1.19")
            << version;
    }
}

TEST(Extensions, WarnsAboutActionsNotWrittenAndEqualPriorities) {
    const std::string asf = EditorFile(
        {State(30, 1, "A"), State(32, 0, "B"), Transition(40, 8193, 30, 32, "x==1"),
         Transition(42, 8193, 30, 30, "x==2"), Transition(44, 8193, 30, 32, "@ELSE"),
         Action(50, 40, 16, "t();"), Action(51, 6, 1, "d();"), Action(52, 30, 2, "e();")});
    const Diagnostic equal{
        12, "conditional transitions from state 'A' on lines 10 and 12 have the same priority 1",
        code::kSamePriority};
    const Diagnostic transitionAction{16, "action of a transition is not written",
                                      code::kActionNotWritten};
    const Diagnostic diagramAction{17, "action of the diagram is not written",
                                   code::kActionNotWritten};
    const Generated plain = Generate(asf, Extensions{});
    EXPECT_EQ(
        plain.Warnings,
        (Diagnostics{
            {0,
             "no initial state: no transition from the reset "
             "port reaches a state",
             code::kNoInitialState},
            {0, "no clock port: no port is marked as clock", code::kNoClockPort},
            {0,
             "no trap state: the default: branch names no state, so the written file will not "
             "compile (it reads \"NextState =  ;\"); mark one state as the trap state, or "
             "turn on an extension to keep the machine in its state",
             code::kNoTrapState},
            equal,
            transitionAction,
            diagramAction}));
    Extensions kinds;
    kinds.ActionKinds = true;
    const Diagnostics withKinds = Generate(asf, kinds).Warnings;
    EXPECT_EQ(Diagnostics(withKinds.begin() + 3, withKinds.end()),
              (Diagnostics{equal, diagramAction}));
}

// Without a trap state the plain file keeps its "NextState =  ;" and the
// warning says it will not compile; any extension keeps the machine where
// it is instead, and the warning says that.
TEST(Extensions, WithoutTrapStateAnExtensionKeepsTheMachineInItsState) {
    const auto file = [](const std::string& version) {
        return EditorFile({Port(20, 1, "InPort", "clk"), State(30, 1, "A"), State(32, 0, "B"),
                           Transition(40, 8193, 30, 32)},
                          version);
    };
    const auto trapWarning = [](const Generated& generated) {
        for (const Diagnostic& warning : generated.Warnings)
            if (warning.Code == code::kNoTrapState) return warning.Message;
        return std::string("none");
    };
    const std::string plainLine = "default:\r\n                        NextState =  ;\r\n";
    const std::string keptLine =
        "default:\r\n                        NextState = CurrentState ;\r\n";

    const Generated plain = Generate(file("VERSION=1.19"), Extensions{});
    EXPECT_NE(plain.Text.find(plainLine), std::string::npos);
    EXPECT_NE(trapWarning(plain).find("will not compile"), std::string::npos) << trapWarning(plain);

    Extensions any;
    any.AnyVersion = true;
    Extensions statePort;
    statePort.StatePort = true;
    for (const auto& [extensions, version] :
         {std::pair{any, "VERSION=1.15"}, {any, "VERSION=1.19"}, {statePort, "VERSION=1.19"}}) {
        const Generated kept = Generate(file(version), extensions);
        EXPECT_EQ(kept.Text.find(plainLine), std::string::npos) << version;
        EXPECT_NE(kept.Text.find(keptLine), std::string::npos) << version;
        EXPECT_EQ(trapWarning(kept),
                  "no trap state: the default: branch keeps the machine in its state");
    }
}

// A header in a hardware language without translation: one warning per
// file, at its LANGUAGE= line, naming the option that translates.
TEST(Extensions, ActionsInAHardwareLanguageAreSaidToBeCopiedOnce) {
    const auto file = [](const std::string& language) {
        std::string text = EditorFile({Port(20, 1, "InPort", "clk"), State(30, 1, "A"),
                                       Transition(40, 8193, 30, 30, "go == 1'b1"),
                                       Action(50, 30, 0, "x <= y;"), Action(51, 30, 0, "z <= 1;")});
        return text.replace(text.find("ENTITY"), 0, "LANGUAGE=" + language + "\r\n");
    };
    const auto untranslated = [](const Generated& generated) {
        Diagnostics found;
        for (const Diagnostic& warning : generated.Warnings)
            if (warning.Code == code::kActionsNotTranslated) found.push_back(warning);
        return found;
    };
    Extensions kinds;
    kinds.ActionKinds = true;
    for (const Extensions& extensions : {Extensions{}, kinds}) {
        const Diagnostics verilog = untranslated(Generate(file("VERILOG"), extensions));
        ASSERT_EQ(verilog.size(), 1u);
        EXPECT_EQ(verilog[0].Line, 3);
        EXPECT_NE(verilog[0].Message.find("in Verilog (LANGUAGE=VERILOG)"), std::string::npos);
        EXPECT_NE(verilog[0].Message.find("--hdl"), std::string::npos);
        const Diagnostics vhdl = untranslated(Generate(file("VHDL"), extensions));
        ASSERT_EQ(vhdl.size(), 1u);
        EXPECT_NE(vhdl[0].Message.find("as an assignment"), std::string::npos);
        EXPECT_TRUE(untranslated(Generate(file("CPP"), extensions)).empty());
    }
    EXPECT_TRUE(untranslated(Generate(EditorFile({State(30, 1, "A")}), Extensions{})).empty());
}

// Drawn constants, signals and declarations have no place in these modules:
// each is named where it is drawn. A declaration line the reader cannot
// make out is named too, and fails nothing.
TEST(Extensions, DrawnDeclarationsThatAreNotWrittenAreEachNamed) {
    const std::string asf = EditorFile(
        {Port(20, 1, "InPort", "clk"), State(30, 1, "A"),
         Port(40, 0, "Constant", "WR[2:0]=\\\"100\\\""), Port(42, 0, "Signal", "cnt[3:0]"),
         "D 44 0 0 TEXT \"Declarations\" | 1,1 1 0 0 \"reg [3:0] cnt;\"", "D 45"});
    Extensions kinds;
    kinds.ActionKinds = true;
    for (const Extensions& extensions : {Extensions{}, kinds}) {
        const Generated generated = Generate(asf, extensions);
        EXPECT_EQ(generated.Error, "no error");
        std::vector<std::pair<int, std::string>> named;
        for (const Diagnostic& warning : generated.Warnings)
            if (warning.Code == code::kDeclarationNotWritten)
                named.emplace_back(warning.Line, warning.Message);
        const std::string why = "' is not written: the module has no place for it "
                                "(kestrom-gen --hdl writes it)";
        EXPECT_EQ(named, (std::vector<std::pair<int, std::string>>{
                             {10, "constant 'WR[2:0]=\"100\"" + why},
                             {12, "signal 'cnt[3:0]" + why},
                             {14, "declaration 'reg [3:0] cnt;" + why},
                             {15, "declaration '" + why}}));
    }
}

// Each later conditional transition names the first of its state and
// priority; unconditional ones and other states' do not count.
TEST(Extensions, EqualPrioritiesNameTheFirstConditionalTransitionOfTheState) {
    const std::string asf =
        EditorFile({State(30, 1, "A"), State(32, 0, "B"), Transition(40, 8193, 30, 32, "x==1"),
                    Transition(42, 8193, 30, 30), Transition(44, 8193, 30, 32, "x==2"),
                    Transition(46, 8193, 30, 30, "x==3"), Transition(48, 8193, 32, 30, "y==1")});
    Diagnostics equal;
    for (const Diagnostic& warning : Generate(asf, Extensions{}).Warnings)
        if (warning.Code == code::kSamePriority) equal.push_back(warning);
    const auto sameAs10 = [](int line) {
        return Diagnostic{line,
                          "conditional transitions from state 'A' on lines 10 and " +
                              std::to_string(line) + " have the same priority 1",
                          code::kSamePriority};
    };
    EXPECT_EQ(equal, (Diagnostics{sameAs10(13), sameAs10(15)}));
}

TEST(Extensions, AResetNeedsATransitionFromResetWithACondition) {
    Extensions reset;
    reset.Reset = ResetStyle::Async;
    const std::string noReset = EditorFile({State(30, 1, "A")});
    const std::string noCondition =
        EditorFile({"I 20 6 0 Builtin Reset | 1,1", State(30, 1, "A"), Transition(40, 0, 20, 30)});
    const std::string readsNoPort = EditorFile(
        {"I 20 6 0 Builtin Reset | 1,1", State(30, 1, "A"), Transition(40, 0, 20, 30, "true")});
    auto lastWarning = [&](const std::string& asf) {
        const Generated generated = Generate(asf, reset);
        EXPECT_EQ(generated.Text.find("InReset") != std::string::npos, &asf == &readsNoPort);
        return generated.Warnings.back();
    };
    EXPECT_EQ(lastWarning(noReset),
              (Diagnostic{0, "no reset added: no transition leaves a Reset object",
                          code::kNoResetAdded}));
    EXPECT_EQ(lastWarning(noCondition),
              (Diagnostic{9, "no reset added: the transition from Reset has no condition",
                          code::kNoResetAdded}));
    EXPECT_EQ(lastWarning(readsNoPort),
              (Diagnostic{9,
                          "reset 'true' reads no input port: it is checked at clock edges "
                          "only",
                          code::kResetReadsNoInput}));
}

TEST(Extensions, ASynchronousResetAddsNoSensitivity) {
    if (!std::filesystem::exists(kPump)) GTEST_SKIP() << kPump;
    Extensions all;
    all.Reset = ResetStyle::Sync;
    all.ActionKinds = all.TypedPorts = all.StatePort = true;
    const Generated generated = Generate(ReadFileBytes(kPump), all, kMethodProcess);
    EXPECT_NE(generated.Text.find("        sensitive << clk.pos() ;\r\n\r\n"), std::string::npos);
    EXPECT_EQ(
        generated.Warnings,
        (Diagnostics{
            {4,
             "the actions and conditions are in Verilog (LANGUAGE=VERILOG) and are copied into "
             "C++ as they stand, where they do not mean what they say (\"x <= y;\" compiles as a "
             "comparison whose result is dropped); kestrom-gen --hdl translates them, as does the "
             "window's Extensions choice \"The diagram is written in its hardware language "
             "(translate and flatten)\"",
             code::kActionsNotTranslated},
            {58, "action of the diagram is not written", code::kActionNotWritten}}));
}

// A test bench run with a picture: one opening of the ASF file serves the
// first-line test, the module, the bench and the picture.
TEST(Extensions, ATestBenchRunWithAPictureReadsTheFileOnce) {
    TempDir dir;
    const std::string asf = KESTROM_EXAMPLES "/toggle.asf";
    const std::size_t before = InputFileOpenings();
    const auto design = machine::Design::Load(asf);
    Extensions extensions;
    RequireAcceptedFirstLine(*design, extensions);
    Diagnostics problems;
    EXPECT_FALSE(drawing::PictureSvgOf(design->Drawing(), design->Machine(), problems).empty());
    FsmModel model;
    TestBenchRequest bench;
    bench.BenchPath = dir.File("bench.cpp");
    GenerateModuleWithTestBench(asf, *design, dir.File("m.cpp"), model, extensions, bench);
    EXPECT_EQ(InputFileOpenings() - before, 1u);
    EXPECT_NE(ReadFileBytes(dir.File("m.cpp")).find("fsm_state"), std::string::npos);
    EXPECT_NE(ReadFileBytes(dir.File("bench.cpp")).find("sc_main"), std::string::npos);

    const auto other = machine::Design::FromText("VERSION=1.17\r\nHEADER\r\nEND\r\n");
    EXPECT_THROW(RequireAcceptedFirstLine(other, extensions), AsfError);
    extensions.AnyVersion = true;
    EXPECT_NO_THROW(RequireAcceptedFirstLine(other, extensions));
}

} // namespace
} // namespace kestrom::test
