#include "LargestModel.h"

#include <cstdio>

namespace kestrom::bench {
namespace {

// One model holds 150 labels for 150 states and 150 ports. So that every
// state and every port has a name, state k and port k share object number
// 1000 + k and one label names both, as the reader's linking allows.
int SharedId(int k) {
    return 1000 + k;
}
constexpr int kResetPortId = 900;
constexpr int kFirstLabelId = 2001;
constexpr int kFirstActionId = 3001;
constexpr int kFirstTransitionId = 4001;
constexpr int kFirstConditionId = 5001;

std::string Format(const char* format, int a = 0, int b = 0, int c = 0, int d = 0) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
    return buffer;
}

void Line(std::string& text, const std::string& line) {
    text += line;
    text += "\r\n";
}

void Header(std::string& text) {
    for (const char* line :
         {"VERSION=1.19",
          "HEADER",
          "FILE=\"largest.asf\"",
          "FID=6a0c4d11",
          "LANGUAGE=VERILOG",
          "ENTITY=\"Largest\"",
          "FREEOID=6000",
          "MULTIPLEARCHSTATUS=FALSE",
          "SYNTHESISATTRIBUTES=TRUE",
          "END",
          "BUNDLES",
          "B T \"Conditions\" 236,0,236 0 0 0 255,255,255 0 3333 0 0110 0 \"Arial\" 0",
          "B F \"States\" 0,0,0 0 0 1 0,255,0 1 3527 1480 0000 0 \"Arial\" 0",
          "B T \"Actions\" 0,0,0 0 0 1 255,255,255 0 3333 0 0000 0 \"Arial\" 0",
          "B T \"Labels\" 0,0,0 0 0 0 0,0,0 0 3333 0 0000 0 \"Arial\" 0",
          "B L \"Transitions\" 0,0,0 0 0 1 0,0,0 1 3527 1480 0000 0 \"Arial\" 0",
          "END",
          "INSTHEADER 1",
          "PAGE 0,0 215900,279400",
          "MARGINS 12700,12700 12700,12700",
          "END",
          "OBJECTS"})
        Line(text, line);
}

// Port 1 is the clock; the others alternate between inputs and outputs.
void Ports(std::string& text) {
    Line(text, Format("I %d 6 0 Builtin Reset | 56682,217090", kResetPortId));
    for (int k = 1; k <= kObjectsPerKind; ++k) {
        const char* kind = k == 1 || k % 2 == 0 ? "InPort" : "OutPort";
        Line(text, Format("I %d 0 %d Builtin ", SharedId(k), k == 1 ? 3 : 2) + kind +
                       Format(" | 180096,%d \"\" \"\"", 100000 + k * 100));
    }
}

// State 1 is the default state and the initial one, state 150 the trap.
void States(std::string& text) {
    for (int k = 1; k <= kObjectsPerKind; ++k) {
        const int mark = (k - 1) * 4096 % 1048576 + (k == 1 ? 1 : k == kObjectsPerKind ? 2 : 0);
        Line(text, Format("L %d %d 0 TEXT \"State Labels\" | 101706,%d 1 0 0 \"n%03d\\n/",
                          kFirstLabelId + k - 1, SharedId(k), 100000 + k * 100, k) +
                       Format("%d/\"", k - 1));
        Line(text, Format("S %d 6 %d ELLIPSE \"States\" | 101706,%d 6500 6500", SharedId(k), mark,
                          100000 + k * 100));
    }
}

// Action lines have blanks, so each quoted text runs over many tokens.
void Actions(std::string& text) {
    for (int k = 1; k <= kObjectsPerKind; ++k) {
        std::string code;
        for (int step = 1; step <= kLinesPerAction; ++step) {
            if (step > 1) code += "\\n";
            code += Format("n%03d.write(n%03d.read() + %d);  // step %d", k % 2 ? k + 1 : k,
                           k % 2 ? k + 1 : k, step, step);
        }
        Line(text, Format("A %d %d 2 TEXT \"Actions\" | 124168,%d 1 0 0 \"", kFirstActionId + k - 1,
                          SharedId(k), 100000 + k * 100) +
                       code + "\"");
    }
}

// The reset transition and 149 more, a tree rooted at the initial state so
// that every state is reached: state k leads to states 2k and 2k + 1, so
// states 1 to 74 have two transitions each (state 75 one), written with the
// higher priority number first so that the writer sorts them.
void TransitionsAndConditions(std::string& text) {
    Line(text, Format("W %d 6 0 %d %d BEZIER \"Transitions\" | 56682,217090 66531,215181 "
                      "85597,210696 95446,208787",
                      kFirstTransitionId, kResetPortId, SharedId(1)));
    Line(text, Format("C %d %d 0 TEXT \"Conditions\" | 80380,211899 1 0 0 \"n002.read() == 1\"",
                      kFirstConditionId, kFirstTransitionId));
    for (int target = kObjectsPerKind; target >= 2; --target) {
        const int t = kObjectsPerKind + 1 - target; // 1 to 149
        const int source = target / 2;
        const int priority = 8192 + target % 2 + 1;
        Line(text, Format("W %d 6 %d %d ", kFirstTransitionId + t, priority, SharedId(source)) +
                       Format("%d BEZIER \"Transitions\" | 101472,200547 101472,195422 "
                              "101786,186460 101786,181335",
                              SharedId(target)));
        Line(text, Format("C %d %d 0 TEXT \"Conditions\" | 103587,190712 1 0 0 "
                          "\"n%03d.read() == %d && ",
                          kFirstConditionId + t, kFirstTransitionId + t, source % 75 * 2 + 2, t) +
                       Format("n%03d.read() != 0\"", target % 74 * 2 + 2));
    }
}

} // namespace

std::string LargestAsfText() {
    std::string text;
    Header(text);
    Ports(text);
    States(text);
    Actions(text);
    TransitionsAndConditions(text);
    Line(text, "END");
    return text;
}

} // namespace kestrom::bench
