#include "LargeDrawing.h"

#include <cstdio>
#include <string>

namespace kestrom::bench {
namespace {

constexpr int kColumns = 50;
constexpr int kSpacing = 20000;
constexpr int kMargin = 20000;
constexpr int kPorts = 16;

template <typename... Values> void Line(std::string& text, const char* format, Values... values) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, values...);
    text += buffer;
    text += "\r\n";
}

// State k is object 10k + 101; its label, action, transition and condition follow.
int StateId(int k) {
    return 10 * k + 101;
}

int X(int k) {
    return kMargin + (k % kColumns) * kSpacing;
}
int Y(int k) {
    return kMargin + (k / kColumns) * kSpacing;
}

void Header(std::string& text, int width, int height) {
    for (const char* line :
         {"VERSION=1.19", "HEADER", "FILE=\"large.asf\"", "LANGUAGE=VERILOG", "ENTITY=\"Large\"",
          "END", "BUNDLES", "B F \"States\" 0,0,0 0 0 1 0,255,0 1 3527 1480 0000 0 \"Arial\" 0",
          "B T \"Conditions\" 236,0,236 0 0 0 255,255,255 0 3333 0 0110 0 "
          "\"Arial\" 0",
          "END", "INSTHEADER 1"})
        Line(text, "%s", line);
    Line(text, "PAGE 0,0 %d,%d", width, height);
    Line(text, "END");
}

// State k, its label and its action.
void State(std::string& text, int k) {
    const int id = StateId(k);
    Line(text, "S %d 2 %d ELLIPSE \"States\" | %d,%d 6500 6500", id, k == 0 ? 1 : 0, X(k), Y(k));
    Line(text, "L %d %d 0 TEXT \"State Labels\" | %d,%d 1 0 0 \"S%d\\n/%d/\"", id + 1, id, X(k),
         Y(k), k, k);
    Line(text, "A %d %d 4 TEXT \"Actions\" | %d,%d 1 0 0 \"out <= %d;\\ndone <= 1'b0;\"", id + 2,
         id, X(k) + 8000, Y(k) - 4000, k % 256);
}

// From state k to its right-hand neighbour: two segments on two lines.
void Transition(std::string& text, int k, int states) {
    const int id = StateId(k) + 3, to = StateId((k + 1) % states);
    const int x0 = X(k) + 6500, y = Y(k), x3 = X((k + 1) % states) - 6500, y3 = Y((k + 1) % states);
    const int xm = (x0 + x3) / 2, ym = (y + y3) / 2 + 3000;
    Line(text, "W %d 2 %d %d %d BEZIER \"Transitions\" | %d,%d %d,%d %d,%d %d,%d\\", id, 8193,
         StateId(k), to, x0, y, x0 + 2000, y + 2000, xm - 2000, ym, xm, ym);
    Line(text, "                                      %d,%d %d,%d %d,%d", xm + 2000, ym, x3 - 2000,
         y3 + 2000, x3, y3);
    Line(text, "C %d %d 0 TEXT \"Conditions\" | %d,%d 1 0 0 \"go == 1'b%d\"", id + 1, id, xm,
         ym + 2500, k % 2);
}

} // namespace

std::string LargeDrawingAsfText(int states) {
    std::string text;
    const int rows = (states + kColumns - 1) / kColumns;
    const int width = 2 * kMargin + kColumns * kSpacing;
    const int height = 2 * kMargin + (rows + 2) * kSpacing;
    Header(text, width, height);
    Line(text, "OBJECTS");
    Line(text, "F 2 0 0 3 0 RECT 0,0,0 0 0 1 255,255,255 0 | %d,%d %d,%d", kMargin / 2, kMargin / 2,
         width - kMargin / 2, height - kSpacing);
    Line(text, "I 3 0 3 Builtin InPort | %d,%d \"\" \"\"", kMargin, height - kMargin / 2);
    Line(text, "L 4 3 0 TEXT \"Labels\" | %d,%d 1 0 0 \"clk\"", kMargin + 6000,
         height - kMargin / 2);
    Line(text, "I 5 2 0 Builtin Reset | %d,%d", X(0), Y(0) + 15000);
    Line(text, "W 6 2 0 5 101 BEZIER \"Transitions\" | %d,%d %d,%d %d,%d %d,%d", X(0), Y(0) + 15000,
         X(0), Y(0) + 12000, X(0), Y(0) + 9000, X(0), Y(0) + 6500);
    for (int p = 0; p < kPorts; ++p) {
        const int id = StateId(states) + 2 * p;
        Line(text, "I %d 0 130 Builtin %s | %d,%d \"\" \"\"", id, p % 2 ? "OutPort" : "InPort",
             kMargin + 30000 * (p + 1), height - kMargin / 2);
        Line(text, "L %d %d 0 TEXT \"Labels\" | %d,%d 1 0 0 \"bus%d[7:0]\"", id + 1, id,
             kMargin + 30000 * (p + 1) + 6000, height - kMargin / 2, p);
    }
    // The names the states' texts use, so the Verilog texts translate.
    const char* const named[][2] = {{"InPort", "go"}, {"OutPort", "out[7:0]"}, {"OutPort", "done"}};
    for (int n = 0; n < 3; ++n) {
        const int id = StateId(states) + 2 * (kPorts + n);
        const int x = kMargin + 30000 * (kPorts + n + 1);
        Line(text, "I %d 0 %d Builtin %s | %d,%d \"\" \"\"", id, n == 1 ? 130 : 2, named[n][0], x,
             height - kMargin / 2);
        Line(text, "L %d %d 0 TEXT \"Labels\" | %d,%d 1 0 0 \"%s\"", id + 1, id, x + 6000,
             height - kMargin / 2, named[n][1]);
    }
    for (int k = 0; k < states; ++k) {
        State(text, k);
        Transition(text, k, states);
    }
    Line(text, "END");
    return text;
}

} // namespace kestrom::bench
