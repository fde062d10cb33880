// Flattening drawn hierarchies, junctions and links into leaf states and
// choices, on real editor files and on small drawings made for one rule.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"
#include "machine/MachineTestSupport.h"

namespace kestrom::machine {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

constexpr int kPriority = 8192; // flags of a transition with an explicit priority, plus it

Flattened FlattenSample(const std::string& file) {
    return Flattened(kestrom::test::ReadFileBytes(kestrom::test::LocateSample(file)));
}

Lines Paths(const FlatMachine& machine) {
    Lines paths;
    for (const FlatState& state : machine.States)
        paths.push_back(state.Path);
    return paths;
}

TEST(FlattenSample, SlaveControllerLeavesJunctionsLinksAndExits) {
    const Flattened sample = FlattenSample("freecores__usbhostslave__slavecontroller_v1.19.asf");
    EXPECT_EQ(Codes(sample.Problems), Lines{});
    EXPECT_EQ(
        Paths(sample.Flat),
        (Lines{"WAIT_RX1", "FIN_SC", "CHK_PID", "PID_ERROR", "CHK_RDY", "SETUP_OUT.CHK",
               "SETUP_OUT.SEND", "SETUP_OUT.GET_PKT", "IN.CHK_RDY", "IN.NAK_STALL", "IN.DATA",
               "IN.GET_RESP", "GET_TOKEN.WAIT_CRC", "GET_TOKEN.WAIT_ADDR", "GET_TOKEN.WAIT_STOP",
               "GET_TOKEN.CHK_ADDR", "GET_TOKEN.CHK_SOF", "GET_TOKEN.DELAY", "START.S1"}));
    // Into GET_TOKEN: on through its Entry object to WAIT_ADDR.
    EXPECT_EQ(ChoicesOf(sample.Flat, "WAIT_RX1"),
              (Lines{"-> GET_TOKEN.WAIT_ADDR [RxDataWEn == 1'b1 &&  RxStatus == "
                     "`RX_PACKET_START &&  RxByte[1:0] == `TOKEN] lines 137,231 "
                     "{PIDByte <= RxByte;}"}));
    // Junction J1: its two ways, the second through a link to the top level.
    EXPECT_EQ(ChoicesOf(sample.Flat, "GET_TOKEN.WAIT_STOP"),
              (Lines{"-> GET_TOKEN.CHK_SOF [RxDataWEn == 1'b1] & [RxByte[`CRC_ERROR_BIT] == "
                     "1'b0 && RxByte[`BIT_STUFF_ERROR_BIT] == 1'b0 && RxByte [`RX_OVERFLOW_BIT] "
                     "== 1'b0] lines 224,219",
                     "-> WAIT_RX1 [RxDataWEn == 1'b1] lines 224,220"}));
    // Junction J3, then out of SETUP_OUT through its Exit object.
    EXPECT_EQ(ChoicesOf(sample.Flat, "SETUP_OUT.GET_PKT"),
              (Lines{"-> SETUP_OUT.CHK [getPacketRdy == 1'b1] & [CRCError == 1'b0 && "
                     "bitStuffError == 1'b0 && RxOverflow == 1'b0 && RxTimeOut == 1'b0] "
                     "lines 197,214",
                     "-> CHK_RDY [getPacketRdy == 1'b1] lines 197,204,334"}));
    // Priorities 1 to 3, the last one without condition.
    EXPECT_EQ(ChoicesOf(sample.Flat, "CHK_RDY"),
              (Lines{"-> FIN_SC [USBEndPControlReg [`ENDPOINT_READY_BIT] == 1'b1] lines 336 "
                     "{transDone <= 1'b1; clrEPRdy <= 1'b1; USBEndPTransTypeReg <= "
                     "tempUSBEndPTransTypeReg; endPMuxErrorsWEn <= 1'b1;}",
                     "-> FIN_SC [NAKSent == 1'b1] lines 73 {USBEndPNakTransTypeReg <= "
                     "tempUSBEndPTransTypeReg; endPMuxErrorsWEn <= 1'b1;}",
                     "-> FIN_SC lines 327"}));
}

TEST(FlattenSample, SlaveControllerResetPortsAndTextPlaces) {
    const Flattened sample = FlattenSample("freecores__usbhostslave__slavecontroller_v1.19.asf");
    const FlatMachine& flat = sample.Flat;
    ASSERT_TRUE(flat.Reset);
    // The Reset object sits inside START's sub-diagram.
    EXPECT_EQ(flat.States[flat.Reset->Target].Path, "START.S1");
    EXPECT_EQ(flat.Reset->Condition.Text, "rst");
    EXPECT_EQ(flat.Reset->AsfLine, 162);
    EXPECT_FALSE(flat.Reset->Asynchronous);
    ASSERT_TRUE(flat.Clock);
    EXPECT_EQ(flat.Ports[*flat.Clock].Name, "clk");
    EXPECT_EQ(flat.Ports.size(), 27u);
    const auto port = [&](const std::string& name) {
        for (const FlatPort& each : flat.Ports)
            if (each.Name == name) return each;
        return FlatPort{};
    };
    EXPECT_EQ(port("RxStatus").Range, "[7:0]");
    EXPECT_EQ(port("RxStatus").Width, 8);
    EXPECT_EQ(port("frameNum").Direction, PortDirection::Out);
    EXPECT_EQ(port("frameNum").Width, 11);
    // The condition of WAIT_RX1's transition starts on line 161, column 52.
    const ConditionText& condition = flat.States[0].Choices[0].Conditions[0];
    EXPECT_EQ(condition.AsfLine, 161);
    EXPECT_EQ(condition.Column, 52);
    const std::string line161 = kestrom::test::SplitCrLfLines(kestrom::test::ReadFileBytes(
        kestrom::test::LocateSample("freecores__usbhostslave__slavecontroller_v1.19.asf")))[160];
    EXPECT_EQ(line161.substr(condition.Column - 1, 9), "RxDataWEn");
}

TEST(FlattenSample, SieTransmitterLeavesThroughExitsOfSeveralLevels) {
    const std::string file = "freecores__usbhostslave__SIETransmitter_v1.21.asf";
    if (!std::filesystem::exists(kestrom::test::LocateSample(file)))
        GTEST_SKIP() << "the shared samples are not beside the checkout: " << file;
    const Flattened sample = FlattenSample(file);
    EXPECT_EQ(Codes(sample.Problems), Lines{});
    // CRC's Exit, TKN's Exit, junction out of PKT_ST's sheet, PKT_ST's Exit, then
    // PKT_ST's own transition.
    EXPECT_EQ(ChoicesOf(sample.Flat, "PKT_ST.TKN.CRC.PKT_SENT"),
              (Lines{"-> STX_WAIT_BYTE lines 303,248,563,236,191"}));
    // WAIT_RDY is drawn in nine sheets: nine paths, nine identifiers.
    std::set<std::string> identifiers;
    int waitRdy = 0;
    for (const FlatState& state : sample.Flat.States) {
        identifiers.insert(state.Identifier);
        const std::size_t dot = state.Path.rfind('.');
        waitRdy += state.Path.substr(dot == std::string::npos ? 0 : dot + 1) == "WAIT_RDY";
    }
    EXPECT_EQ(waitRdy, 9);
    EXPECT_EQ(identifiers.size(), sample.Flat.States.size());
    const auto state = sample.Flat.FindPath("PKT_ST.TKN.PID.WAIT_RDY");
    ASSERT_TRUE(state);
    EXPECT_EQ(sample.Flat.States[*state].Identifier, "PKT_ST_TKN_PID_WAIT_RDY");
}

struct SampleSize {
    const char* File;
    std::size_t States;
    std::size_t Choices;
};

void PrintTo(const SampleSize& sample, std::ostream* out) {
    *out << sample.File;
}

class EverySample : public ::testing::TestWithParam<SampleSize> {};

// Every real file flattens without a problem into this many leaves and choices.
TEST_P(EverySample, FlattensWithoutProblems) {
    const SampleSize& expected = GetParam();
    if (!std::filesystem::exists(kestrom::test::LocateSample(expected.File)))
        GTEST_SKIP() << "the shared samples are not beside the checkout: " << expected.File;
    const Flattened sample = FlattenSample(expected.File);
    EXPECT_EQ(Codes(sample.Problems), Lines{});
    EXPECT_EQ(sample.Flat.States.size(), expected.States);
    EXPECT_EQ(sample.Flat.ChoiceCount(), expected.Choices);
    EXPECT_TRUE(sample.Flat.Reset);
    EXPECT_TRUE(sample.Flat.Clock);
    for (const FlatState& state : sample.Flat.States)
        for (const Choice& choice : state.Choices)
            EXPECT_EQ(choice.TransitionLines.size(), choice.TransitionIds.size());
}

INSTANTIATE_TEST_SUITE_P(
    Samples, EverySample,
    ::testing::Values(SampleSize{"freecores__usbhostslave__SIETransmitter_v1.21.asf", 57, 68},
                      SampleSize{"freecores__usbhostslave__directcontrol_v1.15.asf", 8, 10},
                      SampleSize{"freecores__usbhostslave__hctxportarbiter_v1.15.asf", 5, 7},
                      SampleSize{"freecores__usbhostslave__processRxBit_v1.15.asf", 15, 22},
                      SampleSize{"freecores__usbhostslave__sctxportarbiter_v1.21.asf", 4, 5},
                      SampleSize{"freecores__usbhostslave__sendpacket_v1.15.asf", 23, 28},
                      SampleSize{"freecores__usbhostslave__sendpacketarbiter_v1.15.asf", 4, 5},
                      SampleSize{"freecores__usbhostslave__slaveGetpacket_v1.15.asf", 19, 29},
                      SampleSize{"freecores__usbhostslave__slaveSendpacket_v1.15.asf", 14, 16},
                      SampleSize{"freecores__usbhostslave__slaveSendpacket_v1.19.asf", 14, 16},
                      SampleSize{"freecores__usbhostslave__slavecontroller_v1.19.asf", 19, 35},
                      SampleSize{"freecores__usbhostslave__sofcontroller_v1.19.asf", 6, 6},
                      SampleSize{"freecores__usbhostslave__softransmit_v1.15.asf", 7, 8},
                      SampleSize{"freecores__usbhostslave__usbTxWireArbiter_v1.15.asf", 4, 5},
                      SampleSize{"gbrangeon-telops__irc_common_hdl__Aurora_NFC.asf", 8, 9},
                      SampleSize{"gbrangeon-telops__irc_common_hdl__ddr_test_sm.asf", 10, 14}));

TEST(FlattenRules, ChoicesAreTriedByPriorityThenFileOrderThenElse) {
    const Flattened flat = FlattenObjects({
        StateLine(1, 0, "A"), StateLine(2, 0, "B"), StateLine(3, 0, "C"),
        TransitionLine(10, 0, 1, 2), ConditionLine(11, 10, "plain"),
        TransitionLine(12, 0, 1, 3, kPriority + 2), ConditionLine(13, 12, "second"),
        TransitionLine(14, 0, 1, 2, kPriority + 1), ConditionLine(15, 14, "first"),
        TransitionLine(16, 0, 1, 3), ConditionLine(17, 16, "@else"),
        TransitionLine(18, 0, 1, 1), // no condition: always holds
    });
    EXPECT_EQ(ChoicesOf(flat.Flat, "A", Via::Ids),
              (Lines{"-> B [first] via 14", "-> C [second] via 12", "-> B [plain] via 10",
                     "-> A via 18", "else -> C via 16"}));
    EXPECT_EQ(Codes(flat.Problems), Lines{});
}

TEST(FlattenRules, JunctionJoinsConditionsAndActionsAlongThePath) {
    const Flattened flat = FlattenObjects({
        StateLine(1, 0, "A"),
        StateLine(2, 0, "B"),
        StateLine(3, 0, "C"),
        JunctionLine(4, 0, "J"),
        JunctionLine(5, 0, "K"),
        TransitionLine(10, 0, 1, 4),
        ConditionLine(11, 10, "go"),
        ActionLine(12, 10, 16, "a1;"),
        TransitionLine(20, 0, 4, 3),
        ConditionLine(21, 20, "@ELSE"),
        TransitionLine(22, 0, 4, 5, kPriority + 1),
        ConditionLine(23, 22, "x"),
        ActionLine(24, 22, 16, "a2;"),
        TransitionLine(30, 0, 5, 2),
        ActionLine(31, 30, 16, "a3;"),
    });
    // The junction's @ELSE adds no condition: it comes after the way beside it.
    EXPECT_EQ(
        ChoicesOf(flat.Flat, "A", Via::Ids),
        (Lines{"-> B [go] & [x] via 10,22,30 {a1;} {a2;} {a3;}", "-> C [go] via 10,20 {a1;}"}));
    EXPECT_EQ(Paths(flat.Flat), (Lines{"A", "B", "C"}));
}

// O holds I, which holds L; L leaves through I's Exit, I through O's.
std::vector<std::string> NestedDrawing() {
    return {
        StateLine(1, 0, "O"),
        SubDiagramLine(2, 1),
        StateLine(3, 0, "T"),
        BuiltinLine(4, 2, "Entry"),
        BuiltinLine(5, 2, "Exit"),
        StateLine(6, 2, "I"),
        SubDiagramLine(7, 6),
        BuiltinLine(8, 7, "Entry"),
        BuiltinLine(9, 7, "Exit"),
        StateLine(10, 7, "L"),
        TransitionLine(20, 2, 4, 6),
        ActionLine(21, 20, 16, "entering I;"),
        TransitionLine(22, 7, 8, 10),
        TransitionLine(23, 7, 10, 9),
        ConditionLine(24, 23, "p"),
        ActionLine(25, 23, 16, "L out;"),
        TransitionLine(26, 2, 6, 5),
        ConditionLine(27, 26, "q"),
        TransitionLine(28, 0, 1, 3),
        ConditionLine(29, 28, "r"),
        ActionLine(30, 28, 16, "O out;"),
        TransitionLine(31, 0, 3, 1),
        ActionLine(40, 1, 2, "O entry;"),
        ActionLine(41, 1, 4, "O state;"),
        ActionLine(42, 1, 8, "O exit;"),
        ActionLine(43, 6, 2, "I entry;"),
        ActionLine(44, 6, 4, "I state;"),
        ActionLine(45, 6, 8, "I exit;"),
        ActionLine(46, 10, 2, "L entry;"),
        ActionLine(47, 10, 4, "L state;"),
        ActionLine(48, 10, 8, "L exit;"),
    };
}

TEST(FlattenRules, ExitThroughTwoLevelsJoinsTheOwnersTransitions) {
    const Flattened flat = FlattenObjects(NestedDrawing());
    EXPECT_EQ(Codes(flat.Problems), Lines{});
    EXPECT_EQ(Paths(flat.Flat), (Lines{"T", "O.I.L"}));
    EXPECT_EQ(ChoicesOf(flat.Flat, "O.I.L", Via::Ids),
              (Lines{"-> T [p] & [q] & [r] via 23,26,28 {L out;} {I exit;} {O exit;} {O out;}"}));
    EXPECT_EQ(ChoicesOf(flat.Flat, "T", Via::Ids),
              (Lines{"-> O.I.L via 31,20,22 {O entry;} {entering I;} {I entry;}"}));
}

TEST(FlattenRules, LeafKeepsItsOwnEntryAndExitAndEveryStateAction) {
    const Flattened flat = FlattenObjects(NestedDrawing());
    const FlatState& leaf = flat.Flat.States[*flat.Flat.FindPath("O.I.L")];
    const auto texts = [](const std::vector<ActionText>& actions) {
        Lines lines;
        for (const ActionText& action : actions)
            lines.push_back(action.Text);
        return lines;
    };
    EXPECT_EQ(texts(leaf.Entry), Lines{"L entry;"});
    EXPECT_EQ(texts(leaf.Exit), Lines{"L exit;"});
    EXPECT_EQ(texts(leaf.StateActions), (Lines{"O state;", "I state;", "L state;"}));
    EXPECT_EQ(leaf.Identifier, "O_I_L");
}

TEST(FlattenRules, LinkGoesToTheNearestStateOfItsName) {
    const Flattened flat = FlattenObjects({
        StateLine(1, 0, "A"),        StateLine(2, 0, "X"),
        StateLine(3, 0, "H"),        SubDiagramLine(4, 3),
        BuiltinLine(5, 4, "Entry"),  StateLine(6, 4, "X"),
        StateLine(7, 4, "Y"),        BuiltinLine(8, 4, "Link"),
        LabelLine(9, 8, "X"),                                // the X of H's sheet
        BuiltinLine(10, 0, "Link"),  LabelLine(11, 10, "Y"), // only H.Y has that name
        BuiltinLine(12, 0, "Link"),  LabelLine(13, 12, "Z"), // no such state
        TransitionLine(20, 4, 5, 7), TransitionLine(21, 4, 7, 8),
        ConditionLine(22, 21, "y"),  TransitionLine(23, 0, 1, 10),
        ConditionLine(24, 23, "a"),  TransitionLine(25, 0, 1, 12),
        ConditionLine(26, 25, "z"),
    });
    EXPECT_EQ(ChoicesOf(flat.Flat, "H.Y", Via::Ids), (Lines{"-> H.X [y] via 21"}));
    EXPECT_EQ(ChoicesOf(flat.Flat, "A", Via::Ids), (Lines{"-> H.Y [a] via 23"}));
    ASSERT_EQ(Codes(flat.Problems).size(), 1u);
    EXPECT_EQ(flat.Problems[0].Code, code::kFlatUnknownLink);
    EXPECT_EQ(flat.Problems[0].Line, flat.Drawing.Find(12)->Line);
}

TEST(FlattenRules, PathsIntoNothingAreReportedAndLeftOut) {
    const Flattened flat = FlattenObjects({
        StateLine(1, 0, "A"),
        StateLine(2, 0, "B"),
        BuiltinLine(3, 0, "InPort"),
        LabelLine(4, 3, "go"),
        StateLine(5, 0, "H"),
        SubDiagramLine(6, 5),
        StateLine(7, 6, "Inside"),
        JunctionLine(8, 0, "J"),
        TransitionLine(10, 0, 1, 3),  // into a port
        TransitionLine(11, 0, 1, 99), // into an id the drawing lacks
        TransitionLine(12, 0, 1, 5),  // into H, which has no Entry
        TransitionLine(13, 0, 1, 8),  // into a junction with no way out
        TransitionLine(14, 0, 1, 2),
    });
    EXPECT_EQ(ChoicesOf(flat.Flat, "A", Via::Ids), (Lines{"-> B via 14"}));
    const auto line = [&](int id) { return std::to_string(flat.Drawing.Find(id)->Line); };
    Lines codes;
    for (const Diagnostic& problem : flat.Problems)
        if (problem.Code.substr(0, 3) == "K31")
            codes.push_back(std::to_string(problem.Line) + " " + std::string(problem.Code));
    EXPECT_EQ(codes, (Lines{line(10) + " K311", line(11) + " K311", line(5) + " K313",
                            line(8) + " K311"}));
    EXPECT_TRUE(HasFlatteningErrors(flat.Problems));
}

TEST(FlattenRules, CyclesOfJunctionsAndExitsAreRefusedNotFollowed) {
    const Flattened flat = FlattenObjects({
        StateLine(1, 0, "A"),
        StateLine(2, 0, "B"),
        JunctionLine(3, 0, "J"),
        JunctionLine(4, 0, "K"),
        StateLine(5, 0, "H"),
        SubDiagramLine(6, 5),
        BuiltinLine(7, 6, "Entry"),
        BuiltinLine(8, 6, "Exit"),
        TransitionLine(10, 0, 1, 3),
        TransitionLine(11, 0, 3, 4),
        TransitionLine(12, 0, 4, 3),
        ConditionLine(13, 12, "round"),
        TransitionLine(14, 0, 4, 2),
        // H's Entry leads straight out of H, whose one transition enters H again.
        TransitionLine(20, 6, 7, 8),
        TransitionLine(21, 0, 5, 5),
        TransitionLine(22, 0, 2, 5),
    });
    EXPECT_EQ(ChoicesOf(flat.Flat, "A", Via::Ids), (Lines{"-> B via 10,11,14"}));
    EXPECT_EQ(ChoicesOf(flat.Flat, "B", Via::Ids), Lines{});
    Lines codes;
    for (const Diagnostic& problem : flat.Problems)
        codes.push_back(std::string(problem.Code));
    EXPECT_EQ(codes, (Lines{"K314", "K314"}));
}

TEST(FlattenRules, IdentifiersAreValidAndUnique) {
    const Flattened flat = FlattenObjects({
        StateLine(1, 0, "P"),
        SubDiagramLine(2, 1),
        BuiltinLine(3, 2, "Entry"),
        StateLine(4, 2, "WAIT"),
        TransitionLine(5, 2, 3, 4),
        StateLine(6, 0, "P_WAIT"),
        StateLine(7, 0, "int"),
        StateLine(8, 0, "2nd"),
        StateLine(9, 0, "A"),
        StateLine(10, 0, "A"),
    });
    Lines identifiers;
    for (const FlatState& state : flat.Flat.States)
        identifiers.push_back(state.Path + "=" + state.Identifier);
    EXPECT_EQ(identifiers,
              (Lines{"P_WAIT=P_WAIT", "int=int_", "2nd=S_2nd", "A=A", "A=A_2", "P.WAIT=P_WAIT_2"}));
    EXPECT_EQ(Codes(flat.Problems), Lines{std::to_string(flat.Drawing.Find(10)->Line) + " K316"});
}

TEST(FlattenRules, ResetEntersItsTargetAndReadsTheAsynchronousMark) {
    const Flattened flat = FlattenObjects({
        BuiltinLine(1, 0, "Reset", 1),
        StateLine(2, 0, "H", 1),
        SubDiagramLine(3, 2),
        BuiltinLine(4, 3, "Entry"),
        StateLine(5, 3, "First"),
        StateLine(6, 3, "Second"),
        TransitionLine(7, 3, 4, 5),
        TransitionLine(8, 0, 1, 2),
        ConditionLine(9, 8, "rst == 1'b1"),
    });
    ASSERT_TRUE(flat.Flat.Reset);
    EXPECT_EQ(flat.Flat.States[flat.Flat.Reset->Target].Path, "H.First");
    EXPECT_EQ(flat.Flat.Reset->Condition.Text, "rst == 1'b1");
    EXPECT_TRUE(flat.Flat.Reset->Asynchronous);
    // H is drawn as the default state: the leaf it enters first is the default.
    EXPECT_TRUE(flat.Flat.States[*flat.Flat.FindPath("H.First")].IsDefault);
    EXPECT_FALSE(flat.Flat.States[*flat.Flat.FindPath("H.Second")].IsDefault);
}

TEST(FlattenRules, PortsSignalsConstantsAndTextsWithTheirLines) {
    const Flattened flat = FlattenObjects({
        "F 90 0 0 93 0 RECT 0,0,0 0 0 1 255,255,255 0 | 0,0 100000,100000",
        BuiltinLine(91, 0, "InPort", 1),
        LabelLine(92, 91, "tick"), // marked, not the frame's
        BuiltinLine(93, 0, "InPort"),
        LabelLine(94, 93, "clk"),
        BuiltinLine(95, 0, "BiDirPort"),
        LabelLine(96, 95, "bus[7:0]"),
        BuiltinLine(97, 0, "Constant"),
        LabelLine(98, 97, "WR[2:0]=\"100\""),
        BuiltinLine(99, 0, "Signal"),
        LabelLine(100, 99, "cnt[3:0]"),
        "D 101 0 1 TEXT \"Declarations\" | 1,1 1 0 0 \"reg [3:0] x;\"",
        ActionLine(102, 0, 1, "assign y = x;"),
    });
    const FlatMachine& machine = flat.Flat;
    ASSERT_EQ(machine.Ports.size(), 3u);
    EXPECT_FALSE(machine.Ports[0].IsClock);
    ASSERT_TRUE(machine.Clock);
    EXPECT_EQ(machine.Ports[*machine.Clock].Name, "clk");
    EXPECT_EQ(machine.Ports[2].Direction, PortDirection::InOut);
    EXPECT_EQ(machine.Ports[2].Range, "[7:0]");
    ASSERT_EQ(machine.Constants.size(), 1u);
    EXPECT_EQ(machine.Constants[0].Value, "100");
    EXPECT_EQ(machine.Constants[0].Width, 3);
    ASSERT_EQ(machine.Signals.size(), 1u);
    EXPECT_EQ(machine.Signals[0].Width, 4);
    ASSERT_EQ(machine.Declarations.size(), 1u);
    EXPECT_EQ(machine.Declarations[0].Text, "reg [3:0] x;");
    EXPECT_EQ(machine.Declarations[0].AsfLine, flat.Drawing.Find(101)->Line);
    ASSERT_EQ(machine.DiagramActions.size(), 1u);
    EXPECT_EQ(machine.DiagramActions[0].Text, "assign y = x;");
}

// 2,000 states in a ring, every fifth a hierarchical one with a leaf inside:
// over 10,000 objects.
TEST(FlattenScale, TenThousandObjectsFlatten) {
    std::vector<std::string> objects;
    constexpr int kStates = 2000;
    const auto stateId = [](int s) { return 10 + s * 10; };
    for (int s = 0; s < kStates; ++s) {
        const int id = stateId(s);
        objects.push_back(StateLine(id, 0, "S" + std::to_string(s)));
        const int next = stateId((s + 1) % kStates);
        objects.push_back(TransitionLine(id + 1, 0, id, next));
        objects.push_back(ConditionLine(id + 2, id + 1, "go"));
        if (s % 5 != 0) continue;
        objects.push_back(SubDiagramLine(id + 3, id));
        objects.push_back(BuiltinLine(id + 4, id + 3, "Entry"));
        objects.push_back(StateLine(id + 5, id + 3, "IN"));
        objects.push_back(TransitionLine(id + 6, id + 3, id + 4, id + 5));
        objects.push_back(BuiltinLine(id + 7, id + 3, "Exit"));
        objects.push_back(TransitionLine(id + 8, id + 3, id + 5, id + 7));
    }
    const Flattened flat = FlattenObjects(objects);
    EXPECT_GT(flat.Drawing.Objects.size(), 10000u);
    EXPECT_EQ(Codes(flat.Problems), Lines{});
    EXPECT_EQ(flat.Flat.States.size(), static_cast<std::size_t>(kStates));
    EXPECT_EQ(flat.Flat.ChoiceCount(), static_cast<std::size_t>(kStates));
    EXPECT_EQ(ChoicesOf(flat.Flat, "S0.IN", Via::Ids), (Lines{"-> S1 [go] via 18,11"}));
    EXPECT_EQ(ChoicesOf(flat.Flat, "S4", Via::Ids), (Lines{"-> S5.IN [go] via 51,66"}));
}

} // namespace
} // namespace kestrom::machine
