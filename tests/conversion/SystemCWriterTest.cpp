#include <gtest/gtest.h>

#include <algorithm>

#include "conversion/SystemCWriter.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

using Lines = std::vector<std::string>;

// Three named states (1 A, 2 B, 3 C) plus whatever the test adds.
Lines Machine(Lines extra, bool withDefault = false, bool withTrap = true) {
    Lines objects = {"S 1 0 " + std::string(withDefault ? "1" : "0"),
                     "L 11 1 0 0 .State 0 0 0 0 0 0 \"A\"",
                     "S 2 0 0",
                     "L 12 2 0 0 .State 0 0 0 0 0 0 \"B\"",
                     "S 3 0 " + std::string(withTrap ? "2" : "0"),
                     "L 13 3 0 0 .State 0 0 0 0 0 0 \"C\""};
    objects.insert(objects.end(), extra.begin(), extra.end());
    return objects;
}

std::string W(int id, int priority, int from, int to) {
    return "W " + std::to_string(id) + " 0 " + std::to_string(priority) + " " +
           std::to_string(from) + " " + std::to_string(to);
}
std::string C(int id, int transition, const std::string& text) {
    return "C " + std::to_string(id) + " " + std::to_string(transition) + " 0 0 0 0 0 0 0 0 \"" +
           text + "\"";
}
std::string A(int id, int state, const std::string& text) {
    return "A " + std::to_string(id) + " " + std::to_string(state) + " 0 0 0 0 0 0 0 0 \"" + text +
           "\"";
}

bool HasLine(const std::string& output, const std::string& line) {
    const Lines lines = SplitCrLfLines(output);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Lines Between(const std::string& output, const std::string& first, const std::string& last) {
    const Lines lines = SplitCrLfLines(output);
    auto begin = std::find(lines.begin(), lines.end(), first);
    auto end = std::find(begin, lines.end(), last);
    return begin == lines.end() ? Lines{} : Lines(begin + 1, end);
}

TEST(SystemCWriterDeclaration, EmptyTablesLeaveTheirFramesAlone) {
    const std::string out = Generate({}, kThreadProcess);
    EXPECT_EQ(Between(out, "    //Decalare Input/Output Ports", "    //Declare Member function"),
              Lines({"", ""}));
    EXPECT_EQ(Between(out, "    enum typeState", "    };"), Lines({"    {"}));
    EXPECT_EQ(
        Between(out, "                switch (CurrentState)", "                default:"),
        Lines({"                {",
               "                //Trap State, the state machine will terminate on any illigal "
               "state"}));
    EXPECT_TRUE(HasLine(out, "        InitState =  ;")); // no initial state: row 0 is nameless
    EXPECT_TRUE(HasLine(out, "                        NextState =  ;"));
    EXPECT_EQ(out.substr(out.size() - 3), "}\r\n");
}

TEST(SystemCWriterDeclaration, PortsKeepTheirOrderAndOnlyClockInputsAreBool) {
    const std::string out = Generate({"I 1 0 1 0 OutPort", "L 2 1 0 0 .Labels 0 0 0 0 0 \"o\"",
                                      "I 3 0 0 0 InPort", "L 4 3 0 0 .Labels 0 0 0 0 0 \"a b\"",
                                      "I 5 0 1 0 InPort", "L 6 5 0 0 .Labels 0 0 0 0 0 \"c1\"",
                                      "I 7 0 1 0 InPort", "L 8 7 0 0 .Labels 0 0 0 0 0 \"c2\""},
                                     kMethodProcess);
    EXPECT_EQ(Between(out, "    //Decalare Input/Output Ports", ""),
              Lines({"    sc_out <int> o ;", "    sc_in <int> a b ;", "    sc_in <bool> c1 ; //clk",
                     "    sc_in <bool> c2 ; //clk"}));
    EXPECT_TRUE(HasLine(out, "        sensitive << c2.pos() ;"));
}

TEST(SystemCWriterDeclaration, ProcessKindChoosesMethodOnlyForMinusOne) {
    const std::string method = Generate({}, kMethodProcess);
    EXPECT_TRUE(HasLine(method, "        SC_METHOD ( fsm_run ) ;"));
    EXPECT_TRUE(HasLine(method, "        sensitive << .pos() ;"));
    EXPECT_FALSE(HasLine(method, "        while ( true )"));
    for (Integer kind : {kThreadProcess, Integer{1}}) {
        const std::string thread = Generate({}, kind);
        EXPECT_TRUE(HasLine(thread, "        SC_THREAD ( fsm_run ) ;"));
        EXPECT_TRUE(HasLine(thread, "        while ( true )"));
        EXPECT_TRUE(HasLine(thread, "                wait (->posedge_event() ) ;"));
    }
}

TEST(SystemCWriterActions, SplitAtLineBreaksAndDecodeEscapes) {
    const std::string out = Generate(Machine({A(20, 1, "a=1;\\n\\nb=2;"), A(21, 1, ""),
                                              A(22, 1, "s(\\\"x\\\\n\\\");\\N"), A(23, 1, "t\\")}),
                                     kThreadProcess);
    const std::string in = std::string(24, ' ');
    EXPECT_EQ(
        Between(out, in + "//Action", in + "//Next State"),
        Lines({in + "a=1;", in, in + "b=2;", "", "", in + "s(\"x\\n\");\\N", "", in + "t\\", ""}));
}

TEST(SystemCWriterActions, LinesAfterThe125thAreDroppedWithAWarning) {
    std::string text = "x0;";
    for (int i = 1; i < 130; ++i)
        text += "\\nx" + std::to_string(i) + ";";
    Diagnostics warnings;
    const std::string out = Generate(Machine({A(20, 2, text)}), kThreadProcess, &warnings);
    EXPECT_TRUE(HasLine(out, std::string(24, ' ') + "x124;"));
    EXPECT_FALSE(HasLine(out, std::string(24, ' ') + "x125;"));
    EXPECT_EQ(warnings,
              Diagnostics({{10,
                            "action of state 'B' has 130 lines; lines after the 125th are "
                            "dropped",
                            code::kActionLinesDropped}}));
}

TEST(SystemCWriterNextState, ExchangeSortOrdersByPriorityAndMayReverseEqualOnes) {
    const std::string out =
        Generate(Machine({W(20, 3, 1, 1), C(30, 20, "p3"), W(21, -1, 1, 2), C(31, 21, "neg"),
                          W(22, 2, 1, 3), C(32, 22, "p2"), W(23, 2, 2, 1), C(33, 23, "A"),
                          W(24, 2, 2, 2), C(34, 24, "B"), W(25, 1, 2, 3), C(35, 25, "C")}),
                 kThreadProcess);
    EXPECT_EQ(NextStateLines(out, "A"),
              Lines({"if ( neg ) NextState = B ;", "else if ( p2 ) NextState = C ;",
                     "else if ( p3 ) NextState = A ;"}));
    EXPECT_EQ(NextStateLines(out, "B"),
              Lines({"if ( C ) NextState = C ;", "else if ( B ) NextState = B ;",
                     "else if ( A ) NextState = A ;"}));
}

TEST(SystemCWriterNextState, DefaultStateClosesConditionalChains) {
    const Lines objects = {W(20, 0, 1, 2), C(30, 20, "go"), C(31, 20, "later wins"),
                           W(21, 0, 2, 3)};
    const std::string with = Generate(Machine(objects, true), kThreadProcess);
    EXPECT_EQ(NextStateLines(with, "A"),
              Lines({"if ( later wins ) NextState = B ;", "else NextState = A ;"}));
    EXPECT_EQ(NextStateLines(with, "B"), Lines({"NextState = C ;"}));
    EXPECT_EQ(NextStateLines(with, "C"), Lines({"NextState = A ;"}));

    const std::string without = Generate(Machine(objects, false), kThreadProcess);
    EXPECT_EQ(NextStateLines(without, "A"), Lines({"if ( later wins ) NextState = B ;"}));
    EXPECT_EQ(NextStateLines(without, "C"), Lines({}));
}

TEST(SystemCWriterNextState, ElseConditionGoesLastAndConditionsStayOnOneLine) {
    const std::string out = Generate(
        Machine({W(20, 0, 1, 3), C(30, 20, " @else "), W(21, 5, 1, 2), C(31, 21, "a &&\\nb")},
                true),
        kThreadProcess);
    EXPECT_EQ(NextStateLines(out, "A"),
              Lines({"if ( a && b ) NextState = B ;", "else NextState = C ;"}));
}

TEST(SystemCWriterNextState, NothingIsWrittenAfterAnUnconditionalTransition) {
    Diagnostics warnings;
    const std::string out =
        Generate(Machine({W(20, 0, 1, 2), W(21, 1, 1, 3), C(30, 21, "x"), W(22, 2, 1, 99)}),
                 kThreadProcess, &warnings);
    EXPECT_EQ(NextStateLines(out, "A"), Lines({"NextState = B ;"}));
    EXPECT_EQ(
        warnings,
        Diagnostics({{13, "transition goes to object 99, which is no state", code::kTargetNoState},
                     {11,
                      "transition from state 'A' to 'C' is never taken: an unconditional "
                      "transition comes first",
                      code::kTransitionNeverTaken},
                     {13,
                      "transition from state 'A' to '' is never taken: an unconditional "
                      "transition comes first",
                      code::kTransitionNeverTaken}}));
}

TEST(SystemCWriterNextState, MoreThan125TransitionsOfOneStateFailTheGeneration) {
    Lines objects;
    for (int i = 0; i < 126; ++i)
        objects.push_back(W(100 + i, 0, 1, 2));
    FsmModel model = ReadObjects(Machine(objects));
    Diagnostics warnings;
    try {
        WriteSystemC(model, warnings);
        FAIL() << "126 transitions were written";
    } catch (const AsfError& error) {
        EXPECT_STREQ(error.what(), "line 4: state 'A' has more than 125 outgoing transitions");
    }
}

} // namespace
} // namespace kestrom::test
