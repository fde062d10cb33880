#include <gtest/gtest.h>

#include "conversion/ModelCheck.h"
#include "support/TestSupport.h"

namespace kestrom::test {
namespace {

TEST(ModelCheck, ACleanMachineHasNoDiagnostics) {
    const FsmModel model = ReadObjects({
        "I 1 0 1 0 InPort",
        "L 2 1 0 0 .Labels 0 0 0 0 0 \"clk\"",
        "I 3 0 0 0 Reset",
        "S 4 0 0",
        "L 5 4 0 0 .State 0 0 0 0 0 0 \"Idle\"",
        "S 6 0 2",
        "L 7 6 0 0 .State 0 0 0 0 0 0 \"Trap\"",
        "W 8 0 0 3 4",
        "W 9 0 0 4 6",
    });
    EXPECT_EQ(CheckModel(model), Diagnostics());
}

TEST(ModelCheck, ReportsWhatWouldMakeABrokenModule) {
    const FsmModel model = ReadObjects({
        "I 1 0 0 0 InPort",                    // line 4
        "L 2 1 0 0 .Labels 0 0 0 0 0 \"int\"", // line 5: a keyword
        "I 3 0 0 0 OutPort",                   // line 6: nameless
        "S 4 0 0",
        "L 5 4 0 0 .State 0 0 0 0 0 0 \"A\"", // lines 7, 8
        "S 6 0 0",
        "L 7 6 0 0 .State 0 0 0 0 0 0 \"A\"", // lines 9, 10: A again
        "S 8 0 0",
        "L 9 8 0 0 .State 0 0 0 0 0 0 \"2nd\"", // lines 11, 12
        "I 10 0 0 0 Reset",
        "W 11 0 0 10 4",
        "W 12 0 0 4 6",
    });
    // In the order the generation reports them.
    Diagnostics found = CheckModel(model);
    SortByLine(found);
    EXPECT_EQ(found,
              Diagnostics({
                  {0, "no clock port: no port is marked as clock", code::kNoClockPort},
                  {0,
                   "no trap state: the default: branch names no state, so the written file will "
                   "not compile (it reads \"NextState =  ;\"); mark one state as the trap state, "
                   "or turn on an extension to keep the machine in its state",
                   code::kNoTrapState},
                  {4, "port name 'int' is a C++ keyword", code::kKeywordName},
                  {6, "port 3 has no name", code::kNoName},
                  {9, "two states are named 'A' (the other on line 7)", code::kSameName},
                  {11, "state name '2nd' is not a valid C++ identifier", code::kNotIdentifier},
                  {11, "state '2nd' is not reached from the initial state", code::kUnreachedState},
              }));
}

TEST(ModelCheck, WithoutInitialStateReachabilityIsNotJudged) {
    const FsmModel model = ReadObjects({"S 1 0 2", "L 2 1 0 0 .State 0 0 0 0 0 0 \"T\"",
                                        "I 3 0 1 0 InPort", "L 4 3 0 0 .Labels 0 0 0 0 0 \"c\""});
    EXPECT_EQ(CheckModel(model),
              Diagnostics({{0,
                            "no initial state: no transition from the reset port reaches a "
                            "state",
                            code::kNoInitialState}}));
}

// The first and last keywords in either order, ones with digits and
// underscores, and names that only resemble keywords.
TEST(ModelCheck, KeywordsAreFoundWhereverTheyStandInTheList) {
    const std::vector<std::string> names = {"alignas", "Int",     "xor_eq",   "atomic_cancel",
                                            "int_",    "char8_t", "co_await", "classes",
                                            "import",  "xor_eqq", "while",    "a"};
    std::vector<std::string> objects;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string id = std::to_string(2 * i + 1);
        objects.push_back("S " + id + " 0 0");
        objects.push_back("L 999 " + id + " 0 0 .State 0 0 0 0 0 0 \"" + names[i] + "\"");
    }
    Diagnostics keywords;
    for (const Diagnostic& diagnostic : CheckModel(ReadObjects(objects)))
        if (diagnostic.Code == code::kKeywordName) keywords.push_back(diagnostic);
    const auto keyword = [](int line, const std::string& name) {
        return Diagnostic{line, "state name '" + name + "' is a C++ keyword", code::kKeywordName};
    };
    EXPECT_EQ(keywords,
              Diagnostics({keyword(4, "alignas"), keyword(8, "xor_eq"),
                           keyword(10, "atomic_cancel"), keyword(14, "char8_t"),
                           keyword(16, "co_await"), keyword(20, "import"), keyword(24, "while")}));
}

} // namespace
} // namespace kestrom::test
