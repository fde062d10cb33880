#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "conversion/AsfNumber.h"

namespace kestrom {
namespace {

constexpr std::int32_t kIntMin = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int16_t>::max();
constexpr std::int32_t kLongMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kLongMax = std::numeric_limits<std::int32_t>::max();

std::optional<std::int32_t> AsInteger(const char* token) {
    return RoundToRange(LeadingNumber(token), kIntMin, kIntMax);
}
std::optional<std::int32_t> AsLong(const char* token) {
    return RoundToRange(LeadingNumber(token), kLongMin, kLongMax);
}

TEST(NumberConversion, TakesTheLongestLeadingNumber) {
    const struct {
        const char* token;
        std::int32_t value;
    } cases[] = {
        {"12", 12},    {"-7", -7},    {"+3", 3},    {"12abc", 12},  {"abc", 0},  {"", 0},
        {"-", 0},      {"+", 0},      {".", 0},     {"1e", 1},      {"1e+", 1},  {"1e2", 100},
        {"1.5e1", 15}, {"4e-1", 0},   {"1\t2", 12}, {"\t-\t3", -3}, {"0x10", 0}, {"3,4", 3},
        {"1..2", 1},   {"-.5e1", -5}, {"5.", 5},    {"00042", 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AsInteger(c.token), c.value) << c.token;
}

TEST(NumberConversion, RoundsHalvesToEven) {
    EXPECT_EQ(AsInteger("2.5"), 2);
    EXPECT_EQ(AsInteger("3.5"), 4);
    EXPECT_EQ(AsInteger("-2.5"), -2);
    EXPECT_EQ(AsInteger("0.5"), 0);
    EXPECT_EQ(AsInteger("2.500001"), 3);
}

TEST(NumberConversion, FailsOutsideTheTargetRange) {
    EXPECT_EQ(AsInteger("32767"), 32767);
    EXPECT_EQ(AsInteger("-32768"), -32768);
    EXPECT_EQ(AsInteger("32767.4"), 32767);
    EXPECT_EQ(AsInteger("32767.5"), std::nullopt); // rounds to 32768
    EXPECT_EQ(AsInteger("-32768.5"), -32768);      // rounds to the even -32768
    EXPECT_EQ(AsInteger("32768"), std::nullopt);
    EXPECT_EQ(AsInteger("-32769"), std::nullopt);
    EXPECT_EQ(AsLong("2147483647"), 2147483647);
    EXPECT_EQ(AsLong("-2147483648"), kLongMin);
    EXPECT_EQ(AsLong("2147483648"), std::nullopt);
    EXPECT_EQ(AsLong("1e308"), std::nullopt);
    EXPECT_EQ(AsLong("1e309"), std::nullopt); // beyond a double
    EXPECT_EQ(AsLong("-1e309"), std::nullopt);
}

} // namespace
} // namespace kestrom
