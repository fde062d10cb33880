// Inputs a user's editor, a truncated copy or a wrong file can hand the
// generator: each must end in one exact error or in a correct module.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Diagnostics.h"
#include "conversion/AsfReader.h"
#include "conversion/SystemCWriter.h"
#include "model/FsmModel.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

const std::string kHeader = "VERSION=1.19\r\nENTITY=\"M\"\r\nOBJECTS\r\n";

// A file whose object lines are the given ones, closed by END.
std::string Objects(const std::string& lines) {
    return kHeader + lines + "END\r\n";
}

std::string Repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 1; i <= times; ++i) {
        std::string numbered = line;
        numbered.replace(numbered.find('#'), 1, std::to_string(i));
        text += numbered + "\r\n";
    }
    return text;
}

struct BadInput {
    const char* What;
    std::string Text;
    int Line;
    const char* Message;
};

void ExpectReadFails(const BadInput& input) {
    SCOPED_TRACE(input.What);
    FsmModel model;
    try {
        ReadAsfText(input.Text, model);
        ADD_FAILURE() << "read without error";
    } catch (const AsfError& error) {
        EXPECT_EQ(error.Line(), input.Line);
        EXPECT_EQ(error.Message(), input.Message);
    }
}

TEST(BadInput, EveryWayTheReaderCanFail) {
    const std::vector<BadInput> table = {
        {"no OBJECTS line", "VERSION=1.19\r\nENTITY=\"M\"\r\n", 2,
         "file ends before the OBJECTS line"},
        {"OBJECTS with a trailing blank", "VERSION=1.19\r\nOBJECTS \r\nEND\r\n", 3,
         "file ends before the OBJECTS line"},
        {"ENTITY with blanks only", "VERSION=1.19\r\nENTITY=    \r\nOBJECTS\r\nEND\r\n", 2,
         "ENTITY line has no module name"},
        {"ENTITY of eight characters", "VERSION=1.19\r\nENTITY=\"\r\nOBJECTS\r\nEND\r\n", 2,
         "ENTITY line has no module name"},
        {"ENTITY of six characters", "VERSION=1.19\r\nENTITY\r\nOBJECTS\r\nEND\r\n", 2,
         "ENTITY line has no module name"},
        {"no END line", kHeader + "S 1 0 0\r\n", 4, "file ends before the END line"},
        {"no object lines at all", kHeader, 3, "file ends before the END line"},
        {"empty object line", kHeader + "S 1 0 0\r\n\r\nEND\r\n", 5,
         "empty line among the objects"},
        {"empty line from LF LF", kHeader + "S 1 0 0\n\nEND\n", 5, "empty line among the objects"},
        {"S without its kind", Objects("S 1 0\r\n"), 4, "S line has 3 tokens, needs 4"},
        {"S alone", Objects("S\r\n"), 4, "S line has 1 tokens, needs 2"},
        {"L without its kind", Objects("L 1 2 0 0\r\n"), 4, "L line has 5 tokens, needs 6"},
        {"State label without its text", Objects("L 1 2 0 0 .State 0 0 0 0 0 0\r\n"), 4,
         "L line has 12 tokens, needs 13"},
        {"Labels label without its text", Objects("L 1 2 0 0 .Labels 0 0 0 0 0\r\n"), 4,
         "L line has 11 tokens, needs 12"},
        {"A without its text", Objects("A 1 2 0 0 0 0 0 0 0 0\r\n"), 4,
         "A line has 11 tokens, needs 12"},
        {"W without its target", Objects("W 1 0 0 2\r\n"), 4, "W line has 5 tokens, needs 6"},
        {"C without its owner", Objects("C 1\r\n"), 4, "C line has 2 tokens, needs 3"},
        {"I without its kind", Objects("I 1 0 1 0\r\n"), 4, "I line has 5 tokens, needs 6"},
        {"Id past 16 bits", Objects("S 40000 0 0\r\n"), 4,
         "number 40000 does not fit a 16-bit integer"},
        {"kind past 32 bits", Objects("S 1 0 2147483648\r\n"), 4,
         "number 2147483648 does not fit a 32-bit integer"},
        {"priority past 32 bits", Objects("W 1 0 -2147483649 1 2\r\n"), 4,
         "number -2147483649 does not fit a 32-bit integer"},
        {"clock mark past 32 bits", Objects("I 1 0 1e10 0 InPort\r\n"), 4,
         "number 1e10 does not fit a 32-bit integer"},
        {"one-character text", Objects("A 1 2 0 0 0 0 0 0 0 0 x\r\n"), 4,
         "quoted text 'x' has fewer than 2 characters"},
        {"empty text token", Objects("C 1 2 0 0 0 0 0 0 0 0 \r\n"), 4,
         "quoted text '' has fewer than 2 characters"},
        {"a lone quote", Objects("A 1 2 0 0 0 0 0 0 0 0 \"\r\n"), 4,
         "quoted text '\"' has fewer than 2 characters"},
    };
    for (const auto& input : table)
        ExpectReadFails(input);
}

TEST(BadInput, TheHundredAndFiftyFirstObjectOfAKindFailsAndTheCountStaysAt150) {
    struct Kind {
        const char* Line;
        const char* Message;
        Integer FsmModel::*Count;
    };
    const std::vector<Kind> kinds = {
        {"S # 0 0", "more than 150 states", &FsmModel::StateCount},
        {"L 1 # 0 0 .Labels 0 0 0 0 0 \"n\"", "more than 150 labels", &FsmModel::LabelCount},
        {"L 1 # 0 0 .State 0 0 0 0 0 0 \"n\"", "more than 150 labels", &FsmModel::LabelCount},
        {"A 1 # 0 0 0 0 0 0 0 0 \"a;\"", "more than 150 actions", &FsmModel::ActionCount},
        {"W # 0 0 1 2", "more than 150 transitions", &FsmModel::TransitionCount},
        {"C 1 # 0 0 0 0 0 0 0 0 \"c\"", "more than 150 conditions", &FsmModel::ConditionCount},
        {"I # 0 0 0 OutPort", "more than 150 ports", &FsmModel::PortCount},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.Line);
        FsmModel model;
        EXPECT_NO_THROW(ReadAsfText(Objects(Repeat(kind.Line, 150)), model));
        EXPECT_EQ(model.*kind.Count, 150);
        try {
            ReadAsfText(Objects(Repeat(kind.Line, 151)), model);
            ADD_FAILURE() << "151 objects read";
        } catch (const AsfError& error) {
            EXPECT_EQ(error.Line(), 3 + 151);
            EXPECT_EQ(error.Message(), kind.Message);
        }
        EXPECT_EQ(model.*kind.Count, 150);
    }
}

// A state with the given number of transitions to itself.
std::string StateWithTransitions(int count) {
    return Objects("S 1 0 0\r\nL 2 1 0 0 .State 0 0 0 0 0 0 \"Busy\"\r\n" +
                   Repeat("W 1# 0 # 1 1", count));
}

TEST(BadInput, AStateMayHave125OutgoingTransitionsNotMore) {
    FsmModel model;
    Diagnostics warnings;
    ReadAsfText(StateWithTransitions(125), model);
    EXPECT_NO_THROW(WriteSystemC(model, warnings));

    ReadAsfText(StateWithTransitions(126), model);
    try {
        WriteSystemC(model, warnings);
        ADD_FAILURE() << "126 transitions of one state written";
    } catch (const AsfError& error) {
        EXPECT_EQ(error.Line(), 4);
        EXPECT_EQ(error.Message(), "state 'Busy' has more than 125 outgoing transitions");
    }
}

// Reads one S line whose Id is the token given, and one W line whose priority
// is that token, so that both the 16-bit and the 32-bit conversion see it.
struct NumberCase {
    const char* Token;
    bool FitsInteger;
    Integer AsInteger; // the state's Id when it fits 16 bits
    bool FitsLong;
    Integer Priority; // the Long number modulo 4096 when it fits 32 bits
};

std::string ReadNumber(const std::string& token, bool asInteger, Integer& value) {
    FsmModel model;
    const std::string line = asInteger ? "S " + token + " 0 0\r\n" : "W 1 0 " + token + " 1 2\r\n";
    try {
        ReadAsfText(Objects(line), model);
    } catch (const AsfError& error) {
        return error.Message();
    }
    value = asInteger ? model.StateTable[1].Id : model.TransitionTable[1].Priority;
    return "";
}

TEST(BadInput, NumbersAtAndPastEveryLimit) {
    const std::vector<NumberCase> table = {
        {"32767", true, 32767, true, 4095},
        {"32768", false, 0, true, 0},
        {"-32768", true, -32768, true, 0},
        {"-32769", false, 0, true, -1},
        {"32767.5", false, 0, true, 0}, // rounds to 32768
        {"32767.49", true, 32767, true, 4095},
        {"-32768.5", true, -32768, true, 0}, // rounds to the even -32768
        {"2147483647", false, 0, true, 4095},
        {"2147483648", false, 0, false, 0},
        {"-2147483648", false, 0, true, 0},
        {"-2147483649", false, 0, false, 0},
        {"1e308", false, 0, false, 0},
        {"1e309", false, 0, false, 0},
        {"-1e309", false, 0, false, 0},
        {"1e-309", true, 0, true, 0},
        {"-", true, 0, true, 0},
        {"+", true, 0, true, 0},
        {".", true, 0, true, 0},
        {"1e", true, 1, true, 1},
        {"1e+", true, 1, true, 1},
        {"2.5", true, 2, true, 2},
        {"3.5", true, 4, true, 4},
        {"-2.5", true, -2, true, -2},
        {"1\t2", true, 12, true, 12},
        {"\t-\t7\t", true, -7, true, -7},
        {"12abc", true, 12, true, 12},
        {"abc12", true, 0, true, 0},
        {"0x10", true, 0, true, 0},
        {"nan", true, 0, true, 0},
        {"inf", true, 0, true, 0},
        {"4097", true, 4097, true, 1},
        {"-4097", true, -4097, true, -1},
    };
    for (const auto& number : table) {
        SCOPED_TRACE(std::string("token '") + number.Token + "'");
        Integer value = -12345;
        const std::string integerError = ReadNumber(number.Token, true, value);
        if (number.FitsInteger) {
            EXPECT_EQ(integerError, "");
            EXPECT_EQ(value, number.AsInteger);
        } else {
            EXPECT_EQ(integerError,
                      std::string("number ") + number.Token + " does not fit a 16-bit integer");
        }
        value = -12345;
        const std::string longError = ReadNumber(number.Token, false, value);
        if (number.FitsLong) {
            EXPECT_EQ(longError, "");
            EXPECT_EQ(value, number.Priority);
        } else {
            EXPECT_EQ(longError,
                      std::string("number ") + number.Token + " does not fit a 32-bit integer");
        }
    }
}

} // namespace
} // namespace kestrom::test
