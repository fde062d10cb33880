// The drawing reader on real editor files and on damaged geometry.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>

#include "drawing/Drawing.h"
#include "drawing/DrawnMachine.h"
#include "support/TestSupport.h"

namespace kestrom::drawing {
namespace {

using test::AsfWithObjects;

// The reader's problems: what could not be drawn as written.
Diagnostics DrawingProblems(const std::vector<std::pair<int, std::string>>& problems) {
    Diagnostics diagnostics;
    for (const auto& [line, message] : problems)
        diagnostics.push_back({line, message, code::kDrawingProblem});
    return diagnostics;
}

struct SampleCounts {
    const char* file;
    int minorVersion;
    std::map<char, int> kinds;
    std::size_t sheets;
};

void PrintTo(const SampleCounts& sample, std::ostream* out) {
    *out << sample.file;
}

std::map<char, int> CountKinds(const Drawing& drawing) {
    std::map<char, int> counts;
    for (const DrawnObject& object : drawing.Objects)
        ++counts[object.Letter];
    return counts;
}

#define READ_SAMPLE(drawing, file)                                                                 \
    if (!std::filesystem::exists(test::LocateSample(file)))                                        \
        GTEST_SKIP() << "sample not available: " << test::LocateSample(file);                      \
    const Drawing drawing = ReadDrawingFile(test::LocateSample(file))

class SampleKindsTest : public testing::TestWithParam<SampleCounts> {};

TEST_P(SampleKindsTest, ReadsEveryObjectAndSheetWithoutProblems) {
    const SampleCounts& sample = GetParam();
    READ_SAMPLE(drawing, sample.file);
    EXPECT_EQ(drawing.Problems, Diagnostics{});
    EXPECT_EQ(drawing.MinorVersion, sample.minorVersion);
    EXPECT_EQ(CountKinds(drawing), sample.kinds);
    EXPECT_EQ(drawing.Sheets.size(), sample.sheets);
    for (const DrawnObject& object : drawing.Objects)
        EXPECT_TRUE(object.GeometryValid) << "line " << object.Line;
    EXPECT_EQ(DescribeMachine(drawing).Problems, Diagnostics{});
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleKindsTest,
    testing::Values(SampleCounts{"freecores__usbhostslave__slaveSendpacket_v1.15.asf",
                                 15,
                                 {{'A', 12},
                                  {'W', 21},
                                  {'S', 16},
                                  {'I', 20},
                                  {'G', 1},
                                  {'L', 32},
                                  {'C', 8},
                                  {'H', 2},
                                  {'F', 1}},
                                 3},
                    SampleCounts{"freecores__usbhostslave__slavecontroller_v1.19.asf",
                                 19,
                                 {{'K', 1},
                                  {'A', 27},
                                  {'W', 50},
                                  {'S', 26},
                                  {'I', 48},
                                  {'G', 1},
                                  {'L', 60},
                                  {'C', 26},
                                  {'H', 7},
                                  {'F', 1}},
                                 8},
                    SampleCounts{"gbrangeon-telops__irc_common_hdl__Aurora_NFC.asf",
                                 21,
                                 {{'A', 12},
                                  {'D', 1},
                                  {'W', 10},
                                  {'S', 8},
                                  {'I', 12},
                                  {'G', 1},
                                  {'L', 20},
                                  {'C', 8},
                                  {'F', 1}},
                                 1},
                    SampleCounts{"gbrangeon-telops__irc_common_hdl__ddr_test_sm.asf",
                                 21,
                                 {{'A', 24},
                                  {'W', 21},
                                  {'S', 13},
                                  {'I', 29},
                                  {'G', 6},
                                  {'L', 36},
                                  {'C', 15},
                                  {'H', 3},
                                  {'F', 1}},
                                 4}),
    [](const testing::TestParamInfo<SampleCounts>& info) {
        // The sample's name as a test name: letters and digits only.
        std::string name;
        const std::string file = info.param.file;
        for (char c : file.substr(0, file.size() - 4))
            if (std::isalnum(static_cast<unsigned char>(c))) name += c;
        return name;
    });

TEST(DrawingReaderTest, KeepsGeometryStyleAndTextsOfNamedObjects) {
    READ_SAMPLE(drawing, "freecores__usbhostslave__slavecontroller_v1.19.asf");
    const DrawnObject* state = drawing.Find(551);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->Style, "0,0,0 0 0 1 0,255,255 1");
    EXPECT_EQ(state->Flags, 40964);
    EXPECT_EQ(state->Points[0].X, 63527);
    EXPECT_EQ(state->Points[0].Y, 72146);
    EXPECT_EQ(state->Radius.X, 6500);

    const DrawnObject* curve = drawing.Find(550); // three lines, ten points
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->Line, 68);
    EXPECT_EQ(curve->LastLine, 70);
    EXPECT_EQ(curve->From, 81);
    EXPECT_EQ(curve->To, 41);
    ASSERT_EQ(curve->Points.size(), 10u);
    EXPECT_EQ(curve->Points[4].X, 30330);
    EXPECT_EQ(curve->Points[9].Y, 167729);
    EXPECT_EQ(drawing.Find(83)->Style, "Transitions"); // lines after a continuation still read

    const DrawnObject* action = drawing.Find(548);
    EXPECT_EQ(action->Flags, kTransitionAction);
    EXPECT_EQ(action->Text, "USBEndPNakTransTypeReg <= tempUSBEndPTransTypeReg;\n"
                            "endPMuxErrorsWEn <= 1'b1;");
    const DrawnObject* frame = drawing.Find(6);
    EXPECT_EQ(frame->Kind, ObjectKind::Frame);
    EXPECT_EQ(frame->Clock, 282);
    EXPECT_EQ(frame->Points[1].Y, 202584);
    EXPECT_EQ(drawing.Find(1)->Text, "Module: slavecontroller");
    EXPECT_EQ(drawing.Find(96)->Builtin, BuiltinKind::Reset);
}

TEST(DrawingReaderTest, ReadsTheStyleBundles) {
    std::string text = AsfWithObjects({});
    text.insert(text.find("OBJECTS"),
                "BUNDLES\r\nB T \"State Labels\" 0,0,0 0 0 0 0,0,0 0 3333 0 0000 0 \"Arial\" "
                "4\r\nB F \"Junction\" 0,0,0 0 0 1 255,0,0 1\r\nB \"Lost\"\r\nEND\r\n");
    const Drawing drawing = ReadDrawingText(text);
    ASSERT_EQ(drawing.Bundles.size(), 2u);
    const Bundle* labels = drawing.FindBundle("State Labels");
    ASSERT_NE(labels, nullptr);
    EXPECT_EQ(labels->Kind, 'T');
    EXPECT_EQ(labels->Line, 4);
    EXPECT_EQ(labels->TextHeight, 3333);
    EXPECT_EQ(labels->Style, "0,0,0 0 0 0 0,0,0 0 3333 0 0000 0 \"Arial\" 4");
    EXPECT_EQ(drawing.FindBundle("Junction")->TextHeight, 0);
    EXPECT_EQ(drawing.FindBundle("Lost"), nullptr);
    EXPECT_EQ(drawing.Problems,
              DrawingProblems({{6, "\"B \"Lost\"\" is no style bundle: skipped"}}));
}

TEST(DrawingReaderTest, DescribesHierarchyJunctionsAndPorts) {
    READ_SAMPLE(drawing, "freecores__usbhostslave__slavecontroller_v1.19.asf");
    const DrawnMachine machine = DescribeMachine(drawing);
    ASSERT_EQ(machine.Diagrams.size(), 8u);
    const DrawnDiagram& top = machine.Diagrams[0];
    EXPECT_EQ(top.States.size(), 9u);
    EXPECT_EQ(top.Page->Diagram, 1);

    const DrawnDiagram* inside = machine.Find(589); // the sub-diagram of state IN (580)
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->Owner, 580);
    EXPECT_EQ(inside->Page->Line, 48);
    std::vector<std::string> names;
    for (const DrawnState& state : inside->States)
        names.push_back(state.Name + "/" + state.Code + (state.IsJunction ? " junction" : "") +
                        (state.IsHierarchical ? " sub " + std::to_string(state.SubDiagram) : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"CHK_RDY/10", "NAK_STALL/9", "J2/ junction sub 618",
                                               "DATA/11", "GET_RESP/12"}));
    const DrawnTransition& toStall = inside->Transitions[1]; // W 601
    EXPECT_EQ(toStall.Priority, 1);
    EXPECT_EQ(toStall.Condition->Text, "USBEndPControlReg [`ENDPOINT_READY_BIT] == 1'b0");
    ASSERT_EQ(toStall.Actions.size(), 1u);

    const DrawnDiagram* start = machine.Find(722); // the reset lives in START's sub-diagram
    ASSERT_EQ(start->States.size(), 1u);
    EXPECT_TRUE(start->States[0].IsInitial);
    EXPECT_EQ(top.Ports[1].Name, "clk");
    EXPECT_TRUE(top.Ports[1].IsClock);
}

TEST(DrawingReaderTest, ReadsPortWidthsAndConstantValues) {
    READ_SAMPLE(drawing, "gbrangeon-telops__irc_common_hdl__ddr_test_sm.asf");
    const DrawnMachine machine = DescribeMachine(drawing);
    std::map<std::string, std::pair<int, std::string>> ports;
    for (const DrawnPort& port : machine.Diagrams[0].Ports)
        ports[port.Name] = {port.Width, port.Value};
    EXPECT_EQ(ports["U_CMD"], std::make_pair(3, std::string()));
    EXPECT_EQ(ports["WR"], std::make_pair(3, std::string("100")));
    EXPECT_EQ(ports["DDR_FAIL"], std::make_pair(2, std::string("11")));
    EXPECT_EQ(ports["CLK"], std::make_pair(1, std::string()));
}

struct BadLine {
    const char* name;
    std::vector<std::string> objects;
    std::vector<std::pair<int, std::string>> problems; // lines count from the VERSION line
};

class BadGeometryTest : public testing::TestWithParam<BadLine> {};

TEST_P(BadGeometryTest, SaysWhichLineAndKeepsReading) {
    const BadLine& bad = GetParam();
    std::vector<std::string> objects = bad.objects;
    objects.push_back("S 99 0 0 ELLIPSE \"States\" | 1000,2000 6500 6500");
    const Drawing drawing = ReadDrawingText(AsfWithObjects(objects));
    EXPECT_EQ(drawing.Problems, DrawingProblems(bad.problems));
    ASSERT_NE(drawing.Find(99), nullptr);
    EXPECT_TRUE(drawing.Find(99)->GeometryValid);
    (void)DescribeMachine(drawing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadGeometryTest,
    testing::Values(
        BadLine{"NoBar",
                {"S 5 0 0 ELLIPSE \"States\" 100,100 6500 6500"},
                {{4, "state 5: no geometry (no \"|\"); drawn at a fallback place"}}},
        BadLine{"TooFewCoordinates",
                {"S 5 0 0 ELLIPSE \"States\" | 100,100 6500"},
                {{4, "state 5: too few coordinates (a centre and two radii); drawn at a "
                     "fallback place"}}},
        BadLine{
            "PastAnySheet",
            {"L 5 0 0 TEXT \"Labels\" | 100000001,5 1 0 0 \"x\""},
            {{4,
              "label 5: \"100000001,5\" is no point on any sheet; drawn at its owner's place, if "
              "that is drawn"}}},
        BadLine{"NumberOverflow",
                {"W 5 0 0 1 2 BEZIER \"Transitions\" | 1,1 2,2 3,3 99999999999999999999999,4"},
                {{4, "transition 5: \"99999999999999999999999,4\" is no point on any sheet; "
                     "drawn straight between its ends"}}},
        BadLine{"NegativeRadius",
                {"S 5 0 0 ELLIPSE \"States\" | 100,100 -3 7"},
                {{4, "state 5: the radii \"-3\" and \"7\" are no lengths on any sheet; drawn "
                     "at a fallback place"}}},
        BadLine{"NoComma",
                {"C 5 0 0 TEXT \"Conditions\" | 100 1 0 0 \"a\""},
                {{4, "condition 5: \"100\" is no point on any sheet; drawn at the middle of "
                     "its transition"}}},
        BadLine{"ShortChain",
                {"W 5 0 0 1 2 BEZIER \"Transitions\" | 1,1 2,2 3,3"},
                {{4, "transition 5: 3 points are too few for a Bézier segment (4 points); "
                     "drawn straight between its ends"}}},
        BadLine{"ChainWithSpareEnd",
                {"W 5 0 0 1 2 BEZIER \"Transitions\" | 1,1 2,2 3,3 4,4 5,5"},
                {{4, "transition 5: 5 points make no chain of Bézier segments (4, 7, 10, … "
                     "points); the last 1 left out"}}},
        BadLine{"ContinuationIntoNextObject",
                {"W 5 0 0 1 2 BEZIER \"Transitions\" | 1,1 2,2 3,3 4,4\\"},
                {{4, "the continuation that starts here never ends; read as far as it goes"}}},
        BadLine{"ContinuationOfNoPoints",
                {"W 5 0 0 1 2 BEZIER \"Transitions\" | 1,1 2,2\\", "   3,3 x\\", "  4,4"},
                {{4, "transition 5: \"x\" is no point on any sheet; drawn straight between its "
                     "ends"}}},
        BadLine{"FlagsAndEndsNoNumbers",
                {"W 5 0 x y | 1,1 2,2 3,3 4,4"},
                {{4, "transition 5: the flags token is missing or no number (\"x\"); taken as 0"},
                 {4, "transition 5: the source token is missing or no number (\"y\"); taken as 0"},
                 {4, "transition 5: the target token is missing or no number; taken as 0"}}},
        BadLine{"NoId",
                {"S x 0 0 ELLIPSE \"States\" | 100,100 6500 6500"},
                {{4, "S line has no object id (\"x\"): left out"}}},
        BadLine{"UnclosedQuote",
                {"G 5 0 0 TEXT \"Arial\" | 100,100 1 0 0 \"title"},
                {{4, "a quoted text has no closing quote; read to the line's end"}}},
        BadLine{"DuplicateId",
                {"S 99 0 0 ELLIPSE \"States\" | 5,5 6500 6500"},
                {{5, "state 99: the id is used before, on line 4; this one is not looked up"}}}),
    [](const testing::TestParamInfo<BadLine>& info) { return info.param.name; });

TEST(DrawingReaderTest, ContinuationAtTheFileEndAndVersions) {
    Drawing cut = ReadDrawingText("VERSION=1.29\nOBJECTS\nW 5 0 0 1 2 BEZIER \"T\" | 1,1 2,2\\");
    EXPECT_EQ(cut.Problems,
              DrawingProblems(
                  {{3, "the continuation that starts here never ends; read as far as it goes"},
                   {3, "transition 5: 2 points are too few for a Bézier segment (4 "
                       "points); drawn straight between its ends"},
                   {2, "the OBJECTS section has no END"}}));
    EXPECT_EQ(cut.MinorVersion, 29);
    EXPECT_EQ(
        ReadDrawingText("VERSION=1.30\r\n").Problems,
        DrawingProblems({{1, "version \"1.30\" is none of 1.15 to 1.29; read as those are"}}));
    EXPECT_EQ(ReadDrawingText("").Problems, DrawingProblems({{0, "the file is empty"}}));
}

TEST(DrawingReaderTest, LoadsTenThousandObjects) {
    std::vector<std::string> objects;
    for (int i = 1; i <= 5000; ++i) {
        const std::string centre = std::to_string(i * 10) + "," + std::to_string(i * 20);
        objects.push_back("S " + std::to_string(2 * i) + " 0 0 ELLIPSE \"States\" | " + centre +
                          " 6500 6500");
        objects.push_back("L " + std::to_string(2 * i + 1) + " " + std::to_string(2 * i) +
                          " 0 TEXT \"State Labels\" | " + centre + " 1 0 0 \"S" +
                          std::to_string(i) + "\"");
    }
    const Drawing drawing = ReadDrawingText(AsfWithObjects(objects));
    EXPECT_EQ(drawing.Problems, Diagnostics{});
    ASSERT_EQ(drawing.Objects.size(), 10000u);
    const DrawnMachine machine = DescribeMachine(drawing);
    ASSERT_EQ(machine.Diagrams[0].States.size(), 5000u);
    EXPECT_EQ(machine.Diagrams[0].States[4999].Name, "S5000");
    EXPECT_EQ(drawing.Find(10000)->Points[0].Y, 100000);
}

TEST(DrawingReaderTest, AFileThatCannotBeReadIsAnError) {
    test::TempDir dir;
    try {
        ReadDrawingFile(dir.File("missing.asf"));
        FAIL() << "no error";
    } catch (const AsfError& error) {
        EXPECT_EQ(error.Message(), "cannot open the file: No such file or directory");
    }
}

} // namespace
} // namespace kestrom::drawing
