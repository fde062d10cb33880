// The picture of a diagram and its SVG.
#include <gtest/gtest.h>

#include <map>

#include "drawing/Picture.h"
#include "drawing/SvgWriter.h"
#include "support/TestSupport.h"

namespace kestrom::drawing {
namespace {

const char* KindName(PrimitiveKind kind) {
    static const char* const kNames[] = {"ellipse", "double-ellipse", "dot",  "bezier",
                                         "polygon", "line",           "rect", "text"};
    return kNames[static_cast<int>(kind)];
}

// "state 2: ellipse/initial text/state-name:Idle", one line per item.
std::vector<std::string> Summary(const Picture& picture) {
    std::vector<std::string> lines;
    for (const PictureItem& item : picture.Items) {
        std::string line = item.Group + " " + std::to_string(item.Id) + ":";
        for (const Primitive& primitive : item.Primitives) {
            line += std::string(" ") + KindName(primitive.Kind) + "/" + RoleName(primitive.Role);
            if (!primitive.Text.empty()) line += ":" + primitive.Text;
        }
        lines.push_back(line);
    }
    return lines;
}

struct Drawn {
    Drawing drawing;
    DrawnMachine machine;
    Picture picture;
};

std::unique_ptr<Drawn> Draw(const std::vector<std::string>& objects, ObjectId diagram = 1) {
    auto drawn = std::make_unique<Drawn>();
    drawn->drawing = ReadDrawingText(test::AsfWithObjects(objects));
    drawn->machine = DescribeMachine(drawn->drawing);
    drawn->picture = BuildPicture(drawn->drawing, drawn->machine, diagram);
    return drawn;
}

std::string Label(int id, int owner, const std::string& text) {
    return "L " + std::to_string(id) + " " + std::to_string(owner) +
           " 0 TEXT \"State Labels\" | 10000,10000 1 0 0 \"" + text + "\"";
}

TEST(PictureTest, MarksEachKindOfState) {
    const auto drawn = Draw({
        "I 1 0 0 Builtin Reset | 20000,90000",
        "W 9 0 0 1 2 BEZIER \"Transitions\" | 20000,90000 20000,80000 20000,70000 20000,66500",
        "S 2 0 0 ELLIPSE \"States\" | 20000,60000 6500 6500",
        Label(12, 2, "Idle\\n/0/"),
        "S 3 0 1 ELLIPSE \"States\" | 40000,60000 6500 6500",
        "S 4 0 2 ELLIPSE \"States\" | 60000,60000 6500 6500",
        "S 5 0 0 ELLIPSE \"Junction\" | 80000,60000 3500 3500",
        "S 6 0 0 ELLIPSE \"States\" | 100000,60000 6500 6500",
        "H 7 6 0 RECT 0 | 0,0 100000,100000",
        "S 8 7 0 ELLIPSE \"States\" | 50000,50000 6500 6500",
    });
    EXPECT_EQ(Summary(drawn->picture), (std::vector<std::string>{
                                           "transition 9: bezier/transition polygon/arrow-head",
                                           "state 2: ellipse/initial text/state-name:Idle",
                                           "state 3: ellipse/default",
                                           "state 4: ellipse/trap",
                                           "state 5: dot/junction",
                                           "state 6: double-ellipse/hierarchical",
                                           "builtin 1: polygon/reset",
                                       }));
    const Picture inside = BuildPicture(drawn->drawing, drawn->machine, 7);
    EXPECT_EQ(Summary(inside),
              (std::vector<std::string>{"frame 7: rect/frame", "state 8: ellipse/state"}));
}

TEST(PictureTest, TransitionsKeepTheirCurveOrFallBackToAStraightOne) {
    const auto drawn = Draw({
        "S 2 0 0 ELLIPSE \"States\" | 0,0 6500 6500",
        "S 3 0 0 ELLIPSE \"States\" | 30000,0 6500 6500",
        "W 4 0 8194 2 3 BEZIER \"Transitions\" | 0,6500 10000,20000 20000,20000 30000,6500",
        "C 5 4 0 TEXT \"Conditions\" | 15000,22000 1 0 0 \"go == 1\"",
        "W 6 0 0 3 2 BEZIER \"Transitions\"",
        "C 7 6 0 TEXT \"Conditions\" 1 0 0 \"@ELSE\"",
        "W 8 0 0 3 99 BEZIER \"Transitions\"",
    });
    const auto& items = drawn->picture.Items;
    ASSERT_EQ(Summary(drawn->picture)[0],
              "transition 4: bezier/transition polygon/arrow-head text/priority:2 "
              "text/condition:go == 1");
    const Primitive& arrow = items[0].Primitives[1];
    EXPECT_EQ(arrow.Points[0].X, 30000); // the tip sits on the curve's end
    EXPECT_EQ(arrow.Points[0].Y, 6500);
    EXPECT_GT(arrow.Points[1].Y, 6500); // and points along its last tangent, downward

    const Primitive& straight = items[1].Primitives[0]; // from edge to edge
    EXPECT_EQ(straight.Points.front().X, 23500);
    EXPECT_EQ(straight.Points.back().X, 6500);
    const Primitive& guard = items[1].Primitives[2]; // at the middle of the line
    EXPECT_EQ(guard.Text, "@ELSE");
    EXPECT_EQ(guard.Points[0].X, 15000);
    EXPECT_EQ(items.size(), 4u); // no curve to the unknown state 99
}

TEST(PictureTest, PortsShowTheirDirectionAndWholeLabel) {
    const auto drawn = Draw({
        "I 2 0 2 Builtin InPort | 10000,200000 \"\" \"\"",
        "L 3 2 0 TEXT \"Labels\" | 16000,200000 1 0 0 \"PID[3:0]\"",
        "I 4 0 2 Builtin OutPort | 10000,190000 \"\" \"\"",
        "I 5 0 259 Builtin Constant | 10000,180000 \"\"",
        "K 6 0 0 TEXT \"Comments\" | 50000,50000 1 0 0 \"two\\nlines\"",
    });
    EXPECT_EQ(Summary(drawn->picture),
              (std::vector<std::string>{"port 2: polygon/port-in text/port-name:PID[3:0]",
                                        "port 4: polygon/port-out", "port 5: polygon/constant",
                                        "text 6: text/comment:two\nlines"}));
}

// Every font-size="…" of the SVG, with how many texts have it.
std::map<std::string, int> FontSizes(const std::string& svg) {
    std::map<std::string, int> sizes;
    const std::string key = "font-size=\"";
    for (std::size_t at = svg.find(key); at != std::string::npos; at = svg.find(key, at + 1)) {
        const std::size_t start = at + key.size();
        ++sizes[svg.substr(start, svg.find('"', start) - start)];
    }
    return sizes;
}

TEST(SvgTest, TextsTakeTheHeightOfTheirStyleBundle) {
    const std::string file = test::LocateSample("freecores__usbhostslave__sofcontroller_v1.19.asf");
    const Drawing drawing = ReadDrawingFile(file);
    const std::string svg = WriteSvg(BuildPicture(drawing, DescribeMachine(drawing)));
    // Its one text of an inline style, the module's name, asks for 3527.
    EXPECT_EQ(FontSizes(svg), (std::map<std::string, int>{{"3333", 29}, {"3527", 1}}));

    // A bundle of the file's own, and an inline style beside it.
    const std::string bundles = "BUNDLES\r\nB T \"Conditions\" 236,0,236 0 0 0 255,255,255 0 "
                                "5000 0 0110 0 \"Arial\" 0\r\nEND\r\n";
    std::string text = test::AsfWithObjects(
        {"S 2 0 0 ELLIPSE \"States\" | 20000,60000 6500 6500",
         "W 9 0 0 2 2 BEZIER \"Transitions\" | 20000,66500 10000,80000 30000,80000 20000,66500",
         "C 10 9 0 TEXT \"Conditions\" | 20000,82000 1 0 0 \"go\"",
         "G 11 0 0 TEXT 0,0,0 0 0 0 255,255,255 0 2000 0 0000 0 \"Arial\" 0 | 20000,86000 1 0 0 "
         "\"stop\""});
    text.insert(text.find("OBJECTS"), bundles);
    const Drawing own = ReadDrawingText(text);
    EXPECT_EQ(own.Problems, Diagnostics{});
    EXPECT_EQ(FontSizes(WriteSvg(BuildPicture(own, DescribeMachine(own)))),
              (std::map<std::string, int>{{"2000", 1}, {"5000", 1}}));
}

TEST(SvgTest, EscapesEveryTextIntoXml) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a<b && c>\"d\"'", "a&lt;b &amp;&amp; c&gt;&quot;d&quot;&apos;"},
        {"tab\there", "tab&#9;here"},
        {std::string("nul\0bell\x07", 9), "nul\xEF\xBF\xBD"
                                          "bell\xEF\xBF\xBD"},
        {"caf\xE9", "caf\xC3\xA9"},                               // Latin-1 byte
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"}, // UTF-8 kept
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},             // an encoded surrogate
        {"\xEF\xBF\xBE", "\xC3\xAF\xC2\xBF\xC2\xBE"},             // U+FFFE
        {"\xC3", "\xC3\x83"},                                     // cut short
    };
    for (const auto& [text, xml] : cases)
        EXPECT_EQ(XmlText(text), xml) << text;
}

TEST(SvgTest, FlipsTheSheetAndKeepsIdsUnique) {
    Picture picture;
    picture.Low = {1000, 0};
    picture.High = {11000, 20000};
    PictureItem state;
    state.Group = "state";
    state.Id = 5;
    state.Line = 7;
    Primitive outline;
    outline.Kind = PrimitiveKind::Ellipse;
    outline.Points = {{2000, 15000}};
    outline.Radius = {500, 400};
    state.Primitives = {outline};
    picture.Items = {state, state};
    EXPECT_EQ(WriteSvg(picture),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10mm\" height=\"20mm\" "
              "viewBox=\"0 0 10000 20000\">\r\n"
              "<rect class=\"sheet\" x=\"0\" y=\"0\" width=\"10000\" height=\"20000\" "
              "fill=\"#fff\" stroke=\"#bbb\" stroke-width=\"200\"/>\r\n"
              "<g class=\"state\" id=\"state-5\" data-line=\"7\">\r\n"
              "<ellipse class=\"state\" fill=\"#dff7df\" stroke=\"#000\" stroke-width=\"300\" "
              "cx=\"1000\" cy=\"5000\" rx=\"500\" ry=\"400\"/>\r\n"
              "</g>\r\n"
              "<g class=\"state\" id=\"state-5-2\" data-line=\"7\">\r\n"
              "<ellipse class=\"state\" fill=\"#dff7df\" stroke=\"#000\" stroke-width=\"300\" "
              "cx=\"1000\" cy=\"5000\" rx=\"500\" ry=\"400\"/>\r\n"
              "</g>\r\n"
              "</svg>\r\n");
}

} // namespace
} // namespace kestrom::drawing
