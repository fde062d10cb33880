// Warnings as a user meets them: which states count as reached, and how
// much text a huge or repetitive file can make them take.
#include <gtest/gtest.h>

#include "conversion/Generation.h"
#include "conversion/ModelCheck.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

using Lines = std::vector<std::string>;

// A clock, a reset port into state 4 "Idle", and whatever the test adds.
Lines WithResetInto4(Lines extra) {
    Lines objects = {"I 1 0 1 0 InPort", "L 2 1 0 0 .Labels 0 0 0 0 0 \"clk\"", "I 3 0 0 0 Reset",
                     "W 8 0 0 3 4"};
    objects.insert(objects.end(), extra.begin(), extra.end());
    return objects;
}

std::string State(int id, int kind, const std::string& name) {
    return "S " + std::to_string(id) + " 0 " + std::to_string(kind) + "\nL " +
           std::to_string(id + 1) + " " + std::to_string(id) + " 0 0 .State 0 0 0 0 0 0 \"" + name +
           "\"";
}

// One object per line, as an ASF file holds them.
Lines Split(const Lines& objects) {
    Lines split;
    for (const std::string& object : objects)
        for (std::size_t start = 0, end;; start = end + 1) {
            end = object.find('\n', start);
            split.push_back(object.substr(start, end - start));
            if (end == std::string::npos) break;
        }
    return split;
}

Diagnostics Check(const Lines& objects) {
    return CheckModel(ReadObjects(Split(objects)));
}

TEST(Reachability, TheDefaultStateIsReachedByTheFallBackOnly) {
    // Idle's only transition is conditional, so Idle falls back to Back.
    const Lines objects =
        WithResetInto4({State(4, 0, "Idle"), State(10, 1, "Back"), State(12, 2, "Trap"),
                        "W 20 0 0 4 4", "C 21 20 0 0 0 0 0 0 0 0 \"go\""});
    EXPECT_EQ(Check(objects), Diagnostics());

    // An unconditional transition or an @ELSE leaves no room for the fall-back.
    for (const char* condition : {"", "C 21 20 0 0 0 0 0 0 0 0 \" @else \""}) {
        Lines taken = WithResetInto4({State(4, 0, "Idle"), State(10, 1, "Back"),
                                      State(12, 2, "Trap"), "W 20 0 0 4 4", condition});
        if (*condition == '\0') taken.pop_back();
        EXPECT_EQ(Check(taken),
                  Diagnostics({{10, "state 'Back' is not reached from the initial state",
                                code::kUnreachedState}}))
            << condition;
    }
}

TEST(Reachability, TheTrapStateNeedsNoWayIn) {
    const Lines objects =
        WithResetInto4({State(4, 0, "Idle"), State(10, 2, "Lost"), State(12, 0, "Alone"),
                        State(14, 2, "Trap"), "W 20 0 0 4 4"});
    // Only the last trap state is the one the default: branch names.
    EXPECT_EQ(
        Check(objects),
        Diagnostics(
            {{10, "state 'Lost' is not reached from the initial state", code::kUnreachedState},
             {12, "state 'Alone' is not reached from the initial state", code::kUnreachedState}}));
}

TEST(WarningText, HugeNamesAreAbridgedAndEachKindStopsAfter100) {
    const std::string huge(2'000'000, 'x');
    Lines objects =
        WithResetInto4({State(4, 0, "Idle"), State(10, 2, huge + "-"), State(12, 0, "Other")});
    for (int i = 0; i < 124; ++i)
        objects.push_back("W " + std::to_string(100 + i) + " 0 0 4 10");
    TempDir dir;
    WriteFileBytes(dir.File("m.asf"), AsfWithObjects(Split(objects)));
    FsmModel model;
    Diagnostics warnings;
    GenerateSystemC(dir.File("m.asf"), model, warnings);

    const std::string abridged = "'" + std::string(40, 'x') + "... (2000001 characters)'";
    ASSERT_EQ(warnings.size(), 103u);
    EXPECT_EQ(warnings[0],
              (Diagnostic{10, "state name " + abridged + " is not a valid C++ identifier",
                          code::kNotIdentifier}));
    EXPECT_EQ(warnings[1], (Diagnostic{12, "state 'Other' is not reached from the initial state",
                                       code::kUnreachedState}));
    EXPECT_EQ(warnings[2].Message, "transition from state 'Idle' to " + abridged +
                                       " is never taken: an unconditional transition comes first");
    EXPECT_EQ(warnings[101].Code, code::kTransitionNeverTaken);
    EXPECT_EQ(warnings[102],
              (Diagnostic{warnings[101].Line, "23 more warnings like the one above are not shown",
                          code::kTransitionNeverTaken}));
}

TEST(WarningText, LimitingAgainCountsWhatWasLeftOutBefore) {
    Diagnostics warnings;
    for (int line = 1; line <= 4; ++line)
        warnings.push_back({line, "same", code::kSamePriority});
    LimitPerKind(warnings, 2);
    warnings.push_back({9, "same", code::kSamePriority});
    warnings.push_back({9, "other", code::kNoName});
    LimitPerKind(warnings, 2);
    EXPECT_EQ(warnings,
              (Diagnostics{
                  {1, "same", code::kSamePriority},
                  {2, "same", code::kSamePriority},
                  {2, "3 more warnings like the one above are not shown", code::kSamePriority},
                  {9, "other", code::kNoName},
              }));
}

} // namespace
} // namespace kestrom::test
