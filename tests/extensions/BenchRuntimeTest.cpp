// The bench's fixed code as C++, against tables written by hand: two states,
// two transitions, an input from the stimuli, a random one and one the
// active-low reset reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include <systemc.h>

struct FakeModule;
namespace kestrom_bench {
typedef FakeModule KestromModule;
}
#include "extensions/runtime/BenchRuntime.h"
// The report comes after the runtime, as in a bench.
#include "extensions/runtime/BenchReport.h"

namespace kestrom_bench {

struct Wires {
    std::uint64_t Go = 7, Count = 0, Reset = 7;
};

const std::uint64_t kSeed = 3;
const std::vector<const char*> kStates = {"Idle", "Run"};
std::vector<Transition> transitions = {{1, "Idle -> Run", 0}, {2, "Run -> Idle", 0}};
const std::vector<Input> kInputs = {
    {1, false, 0, [](Wires& wires, std::uint64_t value) { wires.Go = value; }},
    {4, true, -1, [](Wires& wires, std::uint64_t value) { wires.Count = value; }},
    {1, false, -2, [](Wires& wires, std::uint64_t value) { wires.Reset = value; }},
};
const std::vector<Setting> kSettings = {{0, 0, 1}, {3, 0, 0}};

} // namespace kestrom_bench

struct FakeModule {
    kestrom_bench::Wires* Wires;
};

bool kestrom_bench::ResetHolds(FakeModule& module) {
    return module.Wires->Reset == 0;
}

int sc_main(int, char*[]) {
    return 0; // the tests' own main runs instead
}

namespace kestrom_bench {
namespace {

TEST(BenchRuntime, RandomValuesKeepToTheirWidthAndReachTheLimits) {
    std::vector<std::int64_t> seen;
    for (int i = 0; i < 400; ++i) {
        const auto value = static_cast<std::int64_t>(RandomValue(4, true));
        ASSERT_TRUE(value >= -8 && value <= 7) << value;
        seen.push_back(value);
        ASSERT_LE(RandomValue(3, false), 7u);
    }
    for (const std::int64_t wanted : {-8, 0, 1, 7})
        EXPECT_NE(std::find(seen.begin(), seen.end(), wanted), seen.end()) << wanted;
}

TEST(BenchRuntime, SettingsHoldFromTheirCycleAndTheResetInputIsLeftAlone) {
    Wires wires;
    std::vector<std::uint64_t> go;
    for (std::uint64_t cycle = 0; cycle < 5; ++cycle) {
        DriveInputs(wires, cycle);
        go.push_back(wires.Go);
    }
    EXPECT_EQ(go, (std::vector<std::uint64_t>{1, 1, 1, 0, 0}));
    EXPECT_EQ(wires.Reset, 7u);

    FakeModule module{&wires};
    std::vector<std::uint64_t> releasing, holding;
    ASSERT_TRUE(FindResetValues(module, wires, false, releasing));
    ASSERT_TRUE(FindResetValues(module, wires, true, holding));
    EXPECT_EQ(releasing, std::vector<std::uint64_t>{1});
    EXPECT_EQ(holding, std::vector<std::uint64_t>{0});
    DriveReset(wires, releasing);
    EXPECT_EQ(wires.Reset, 1u);
}

TEST(BenchRuntime, TheReportCountsDrawnAndOtherTransitionsAndNamesWhatWasNeverReached) {
    Taken(2);
    Taken(2);
    Taken(9);
    EXPECT_EQ(lastTaken, 9);
    CountState(0);
    CountState(5);
    testing::internal::CaptureStdout();
    Report();
    const std::string report = testing::internal::GetCapturedStdout();
    for (const char* line : {"  Run -> Idle 2\n", "  (not drawn) 1\n", "  (no state)  1\n",
                             "Never reached:\n  state Run\n  transition Idle -> Run\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << "\nin\n" << report;
}

} // namespace
} // namespace kestrom_bench
