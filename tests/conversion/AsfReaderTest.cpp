#include <gtest/gtest.h>

#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/SystemCWriter.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

// Object lines in the editor's layout: text of actions, conditions and port
// labels at token 11, of state labels at token 12.
std::string State(int id, int kind) {
    return "S " + std::to_string(id) + " 0 " + std::to_string(kind);
}
std::string StateLabel(int id, int owner, const std::string& quoted) {
    return "L " + std::to_string(id) + " " + std::to_string(owner) +
           " 0 TEXT \"State Labels\" | 1,1 1 0 0 " + quoted;
}
std::string PortLabel(int id, int owner, const std::string& quoted) {
    return "L " + std::to_string(id) + " " + std::to_string(owner) +
           " 0 TEXT \"Labels\" | 1,1 1 0 0 " + quoted;
}
std::string Port(int id, int clockMark, const std::string& kind) {
    return "I " + std::to_string(id) + " 0 " + std::to_string(clockMark) + " Builtin " + kind;
}
std::string Transition(int id, int priority, int from, int to) {
    return "W " + std::to_string(id) + " 0 " + std::to_string(priority) + " " +
           std::to_string(from) + " " + std::to_string(to);
}

TEST(AsfReaderHeader, ModuleNameComesFromTheLastEntityLineBeforeObjects) {
    FsmModel model;
    ReadAsfText("VERSION=1.19\nOBJECTS\nEND\n", model);
    EXPECT_EQ(model.ModuleName, "MyModule");

    const auto nameOf = [](const std::string& header) {
        FsmModel m;
        ReadAsfText("VERSION=1.19\n" + header + "OBJECTS\nEND\n", m);
        return m.ModuleName;
    };
    EXPECT_EQ(nameOf("ENTITY=\"A b\"\n"), "A b");
    EXPECT_EQ(nameOf("ENTITY=\"\"\n"), "");
    EXPECT_EQ(nameOf("ENTITYX=\"Odd\"\n"), "\"Odd"); // characters 7 and 8 are skipped
    EXPECT_EQ(nameOf("ENTITY=\"First\"\nENTITY=\"Second\"\n"), "Second");
    EXPECT_EQ(nameOf("ENTITY=\"  Padded  \"  \n"), "Padded  ");
}

TEST(AsfReaderLines, AcceptsCrLfLoneCrAndLf) {
    for (const std::string eol : {"\r\n", "\r", "\n"}) {
        FsmModel model;
        ReadAsfText("VERSION=1.19" + eol + "ENTITY=\"E\"" + eol + "OBJECTS" + eol + "S 1 0 2" +
                        eol + "END" + eol,
                    model);
        EXPECT_EQ(model.ModuleName, "E");
        EXPECT_EQ(model.StateCount, 1);
        EXPECT_EQ(model.TrapStateIndex, 1);
    }
}

TEST(AsfReaderObjects, StateKindsPrioritiesAndClockMarksUseTruncatedRemainders) {
    const FsmModel model =
        ReadObjects({State(1, 5), State(2, -3), State(3, 6), State(4, 2),
                     Transition(10, 4097, 1, 2), Transition(11, -1, 2, 1), Port(20, 3, "InPort"),
                     Port(21, -1, "InPort"), Port(22, 2, "InPort"), Port(23, 1, "OutPort")});
    EXPECT_EQ(model.StateTable[1].IsDefault, kTrue); // 5 mod 4 is 1
    EXPECT_EQ(model.StateTable[2].IsDefault | model.StateTable[2].IsTrap, kFalse);
    EXPECT_EQ(model.TrapStateIndex, 4); // the later of two kind-2 states
    EXPECT_EQ(model.StateTable[3].IsTrap, kTrue);
    EXPECT_EQ(model.DefaultStateIndex, 1);
    EXPECT_EQ(model.TransitionTable[1].Priority, 1);
    EXPECT_EQ(model.TransitionTable[2].Priority, -1);
    EXPECT_EQ(model.PortTable[1].IsClock, kTrue);
    EXPECT_EQ(model.PortTable[2].IsClock, kFalse);
    EXPECT_EQ(model.PortTable[3].IsClock, kFalse);
    EXPECT_EQ(model.PortTable[4].IsClock, kTrue);
    EXPECT_EQ(model.PortTable[4].IsOutput, kTrue);
}

TEST(AsfReaderObjects, OtherKindsAndLinesStartingWithABlankAreSkipped) {
    const FsmModel model = ReadObjects({" S 1 0 0", "X 1 2 3", "G 1 0 0 TEXT", Port(5, 0, "Entry"),
                                        "L 1 2 0 0 .States 0 0 0 0 0 \"x\"", State(2, 0)});
    EXPECT_EQ(DumpModel(model), "module M, init 0, trap 0, default 0, clock \nS1 2 \n");
}

TEST(AsfReaderLabels, KindDecidesTheTokenOfTheText) {
    const FsmModel model = ReadObjects({
        "L 1 7 0 0 .State 0 0 0 0 0 0 \"S\"",
        "L 2 7 0 0 xLabelsMore 0 0 0 0 0 \"P\"",
        "L 3 7 0 0 .Labels 0 0 0 0 0 \"\"",
    });
    EXPECT_EQ(model.LabelCount, 3);
    EXPECT_EQ(model.LabelTable[1].Text, "S");
    EXPECT_EQ(model.LabelTable[2].Text, "P");
    EXPECT_EQ(model.LabelTable[3].Text, "");
}

TEST(AsfReaderTexts, QuotedTextsWithBlanksSpanTokens) {
    const FsmModel model = ReadObjects({
        "C 1 9 0 TEXT \"Conditions\" | 1,1 1 0 0 \"SOFEnable == 1'b1\"",
        "A 2 9 0 TEXT \"Actions\" | 1,1 1 0 0 \"x  =  1;\"",
        "A 3 9 0 TEXT \"Actions\" | 1,1 1 0 0 \"say(\\\"hi there\\\");\" trailing",
        "A 4 9 0 TEXT \"Actions\" | 1,1 1 0 0 \"never closed",
        "A 5 9 0 TEXT \"Actions\" | 1,1 1 0 0 'as is'",
    });
    EXPECT_EQ(model.ConditionTable[1].Text, "SOFEnable == 1'b1");
    EXPECT_EQ(model.ActionTable[1].Text, "x  =  1;");
    EXPECT_EQ(model.ActionTable[2].Text, "say(\\\"hi there\\\");");
    EXPECT_EQ(model.ActionTable[3].Text, "never close");
    EXPECT_EQ(model.ActionTable[4].Text, "a");
}

TEST(AsfReaderLinking, LastMatchWinsEverywhere) {
    const FsmModel model = ReadObjects({
        Port(30, 0, "Reset"),
        Port(31, 0, "Reset"), // the later reset port counts
        State(1, 0),
        State(2, 0),
        State(3, 0),
        StateLabel(10, 1, "\"first\""),
        StateLabel(11, 1, "\"second\""),
        StateLabel(12, 2, "\"B\""),
        StateLabel(13, 3, "\"C\""),
        Transition(20, 0, 30, 1),
        Transition(21, 0, 31, 2),
        Transition(22, 0, 31, 3),
    });
    EXPECT_EQ(model.StateTable[1].Name, "second");
    EXPECT_EQ(model.InitStateIndex, 3);
}

TEST(AsfReaderLinking, ALabelNamesEveryObjectOfItsNumber) {
    const FsmModel model =
        ReadObjects({State(7, 0), Port(7, 1, "OutPort"), Port(8, 1, "InPort"),
                     PortLabel(9, 7, "\"q [3:0]\""), PortLabel(10, 8, "\"ck\"")});
    EXPECT_EQ(model.StateTable[1].Name, "q [3:0]");
    EXPECT_EQ(model.PortTable[1].Name, "q"); // ports drop their bus range
    EXPECT_EQ(model.ClockName, "ck");        // the last port marked as clock
}

TEST(AsfReaderLinking, NamesAreTheFirstLineOfTheLabel) {
    const FsmModel model = ReadObjects({State(1, 0), StateLabel(2, 1, "\"START_SC\\n/0/\""),
                                        State(3, 0), StateLabel(4, 3, "\"a\\\\b\\\"c\"")});
    EXPECT_EQ(model.StateTable[1].Name, "START_SC");
    EXPECT_EQ(model.StateTable[2].Name, "a\\b\"c");
}

TEST(AsfReaderLinking, WithoutResetPortSourceZeroIsTheResetTransition) {
    EXPECT_EQ(ReadObjects({State(1, 0), State(2, 0), Transition(5, 0, 0, 2)}).InitStateIndex, 2);
    EXPECT_EQ(ReadObjects({State(1, 0), State(0, 0)}).InitStateIndex, 2);
}

TEST(AsfReaderLinking, EachReadStartsFromACleanModel) {
    FsmModel model;
    ReadAsfText(AsfWithObjects({Port(1, 1, "InPort"), PortLabel(2, 1, "\"clk\""),
                                Port(3, 0, "Reset"), State(4, 0), State(5, 0),
                                StateLabel(6, 5, "\"Old\""), Transition(7, 0, 3, 5)}),
                model);
    ASSERT_EQ(model.ClockName, "clk");
    model.ProcessKind = kMethodProcess;
    model.AsfPath = "kept.asf";

    ReadAsfText(AsfWithObjects({State(5, 0)}), model);
    EXPECT_EQ(model.StateTable[1].Name, "");
    EXPECT_EQ(model.StateTable[2].Id, 0);
    EXPECT_EQ(model.InitStateIndex, 0);
    EXPECT_EQ(model.ClockName, "");
    EXPECT_EQ(model.ProcessKind, kMethodProcess);
    EXPECT_EQ(model.AsfPath, "kept.asf");
}

// What an editor file and its generation leave in every table, the writer's
// rows included, is gone after reading a smaller file into the same model.
TEST(AsfReaderLinking, NoRowOfAnEarlierFileSurvives) {
    const std::string earlier =
        ReadFileBytes(LocateSample("freecores__usbhostslave__slavecontroller_v1.19.asf"));
    const std::string later = AsfWithObjects({State(5, 0), StateLabel(6, 5, "\"S\"")});
    FsmModel model;
    ReadAsfText(earlier, model);
    Diagnostics warnings;
    WriteSystemC(model, warnings);
    ASSERT_GT(model.BranchCount, 0);
    ReadAsfText(later, model);

    FsmModel fresh;
    ReadAsfText(later, fresh);
    EXPECT_EQ(DumpModel(model), DumpModel(fresh));
    EXPECT_EQ(model.ModuleLine, fresh.ModuleLine);
    const auto blank = [](const auto& table, int count) {
        for (std::size_t row = static_cast<std::size_t>(count) + 1; row < table.size(); ++row)
            if (table[row].Line != 0) return false;
        return true;
    };
    EXPECT_TRUE(blank(model.StateTable, 1) && blank(model.LabelTable, 1) &&
                blank(model.ActionTable, 0) && blank(model.TransitionTable, 0) &&
                blank(model.ConditionTable, 0) && blank(model.PortTable, 0));
    EXPECT_EQ(model.BranchCount, 0);
    EXPECT_TRUE(blank(model.BranchTable, 0) && model.BranchTable[1].Condition.empty() &&
                model.BranchTable[1].TargetName.empty());
}

TEST(AsfReaderExample, TheBlinkerExampleYieldsItsModel) {
    FsmModel model;
    ReadAsfFile(KESTROM_EXAMPLES "/blinker.asf", model);
    EXPECT_EQ(DumpModel(model), "module Blinker, init 1, trap 3, default 2, clock clk\n"
                                "I1 20 in clock clk\n"
                                "I2 22 in go\n"
                                "I3 24 out led\n"
                                "S1 1 Off\n"
                                "S2 3 default On\n"
                                "S3 5 trap Halt\n"
                                "L1 21 of 20 clk\n"
                                "L2 23 of 22 go\n"
                                "L3 25 of 24 led\n"
                                "L4 2 of 1 Off\n"
                                "L5 4 of 3 On\n"
                                "L6 6 of 5 Halt\n"
                                "A1 7 of 3 led=1;\n"
                                "W1 8 26->1 priority 0\n"
                                "W2 9 1->3 priority 1\n"
                                "W3 11 3->1 priority 2\n"
                                "C1 10 of 9 go==1\n"
                                "C2 12 of 11 go==0\n");
}

TEST(AsfReaderFailures, EachFailureNamesItsLineAndCause) {
    const std::string head = "VERSION=1.19\nENTITY=\"M\"\nOBJECTS\n";
    EXPECT_EQ(ReadError("VERSION=1.19\nENTITY=\"M\"\n"),
              "line 2: file ends before the OBJECTS line");
    EXPECT_EQ(ReadError("VERSION=1.19\nOBJECTS \nEND\n"),
              "line 3: file ends before the OBJECTS line");
    EXPECT_EQ(ReadError("VERSION=1.19\nENTITY=  \nOBJECTS\n"),
              "line 2: ENTITY line has no module name");
    EXPECT_EQ(ReadError("VERSION=1.19\nENTITY\nOBJECTS\n"),
              "line 2: ENTITY line has no module name");
    EXPECT_EQ(ReadError(head + "S 1 0 0\n"), "line 4: file ends before the END line");
    EXPECT_EQ(ReadError(head + "S 1 0 0\n\nEND\n"), "line 5: empty line among the objects");
    EXPECT_EQ(ReadError(head + "W 1 0 0 4\n"), "line 4: W line has 5 tokens, needs 6");
    EXPECT_EQ(ReadError(head + "L 1 2 0 0 .State 0 0 0 0 0 \"x\"\n"),
              "line 4: L line has 12 tokens, needs 13");
    EXPECT_EQ(ReadError(head + "I 1 0 0 Builtin\n"), "line 4: I line has 5 tokens, needs 6");
    EXPECT_EQ(ReadError(head + "S 40000 0 0\n"),
              "line 4: number 40000 does not fit a 16-bit integer");
    EXPECT_EQ(ReadError(head + "S 1 0 2147483648\n"),
              "line 4: number 2147483648 does not fit a 32-bit integer");
    EXPECT_EQ(ReadError(head + "A 1 2 0 0 0 0 0 0 0 0 \"\n"),
              "line 4: quoted text '\"' has fewer than 2 characters");
}

TEST(AsfReaderFailures, A151stObjectFailsAndTheCountStaysAt150) {
    std::vector<std::string> states;
    for (int i = 1; i <= 150; ++i)
        states.push_back(State(i, 0));
    EXPECT_EQ(ReadObjects(states).StateCount, 150);

    states.push_back(State(151, 0));
    FsmModel model;
    try {
        ReadAsfText(AsfWithObjects(states), model);
        FAIL() << "a 151st state was accepted";
    } catch (const AsfError& error) {
        EXPECT_STREQ(error.what(), "line 154: more than 150 states");
    }
    EXPECT_EQ(model.StateCount, 150);
}

TEST(AsfReaderFiles, FirstLineTestAndUnreadableFiles) {
    TempDir dir;
    const auto firstLineOf = [&](const std::string& bytes) {
        WriteFileBytes(dir.File("f.asf"), bytes);
        return PassesFirstLineTest(dir.File("f.asf"));
    };
    EXPECT_TRUE(firstLineOf("VERSION=1.19\r\nrest"));
    EXPECT_TRUE(firstLineOf("VERSION=1.19\nrest"));
    EXPECT_TRUE(firstLineOf("VERSION=1.19"));
    EXPECT_FALSE(firstLineOf("VERSION=1.19 \r\n"));
    EXPECT_FALSE(firstLineOf("version=1.19\r\n"));
    EXPECT_FALSE(firstLineOf(""));
    EXPECT_FALSE(PassesFirstLineTest(dir.File("missing.asf")));

    FsmModel model;
    try {
        ReadAsfFile(dir.File("missing.asf"), model);
        FAIL() << "a missing file was read";
    } catch (const AsfError& error) {
        EXPECT_STREQ(error.what(), "cannot open the file: No such file or directory");
    }
}

// A file is read in pieces; whatever falls on a piece's edge (a CR apart from
// its LF, a line longer than a piece, a lone CR at the end) reads as the
// same text in memory does, up to the line a failure names.
TEST(AsfReaderFiles, AFileReadInPiecesReadsAsItsWholeText) {
    TempDir dir;
    const auto fromFileAndText = [&](const std::string& text) {
        WriteFileBytes(dir.File("big.asf"), text);
        const auto generate = [&](bool fromFile) {
            FsmModel model;
            Diagnostics warnings;
            try {
                return fromFile ? GenerateSystemC(dir.File("big.asf"), model, warnings)
                                : GenerateSystemCFromText(text, model, warnings);
            } catch (const AsfError& error) {
                return std::string(error.what());
            }
        };
        return std::make_pair(generate(true), generate(false));
    };
    constexpr std::size_t kPiece = 64 * 1024;
    const std::string head = "VERSION=1.19\r\nENTITY=\"Big\"\r\nOBJECTS\r\n" + State(1, 0) + "\r\n";
    const std::string action = "A 3 1 0 TEXT \"Actions\" | 1,1 1 0 0 \"";
    for (std::size_t shift = 0; shift < 4; ++shift) {
        // The first action's CR lands at shift - 2 from the piece's edge.
        const std::size_t fill = kPiece - head.size() - action.size() - 3 + shift;
        std::string text = head + action + std::string(fill, 'x') + "\"\r\n";
        text += action + std::string(3 * kPiece, 'y') + "\"\r";
        text += StateLabel(2, 1, "\"S\"") + "\n" + Transition(4, 0, 1, 1) + "\r\nEND\r";
        const auto [fromFile, fromText] = fromFileAndText(text);
        EXPECT_EQ(fromFile, fromText) << "shift " << shift;
        EXPECT_NE(fromFile.find(std::string(3 * kPiece, 'y')), std::string::npos);

        const auto [failedFile, failedText] =
            fromFileAndText(text.substr(0, text.size() - 6) + "\r\n\r\nEND\r\n");
        EXPECT_EQ(failedFile, "line 9: empty line among the objects");
        EXPECT_EQ(failedText, failedFile);
    }
}

} // namespace
} // namespace kestrom::test
