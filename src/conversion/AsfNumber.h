// The number conversions of ASF tokens: the longest leading decimal number
// of a token, rounded half to even, checked against its target's range.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrom {

// The longest leading part that reads as a decimal number (sign, digits,
// fraction, exponent); tabs anywhere are ignored; no number at all gives 0.
double LeadingNumber(std::string_view token);

// A value with a fraction, rounded half to even; nothing when the result
// does not fit [min, max].
std::optional<std::int32_t> RoundFractionToRange(double value, std::int32_t min, std::int32_t max);

// Rounded half to even; nothing when the result does not fit [min, max].
// Inline, as nearly every number is whole already and comes back as it is.
inline std::optional<std::int32_t> RoundToRange(double value, std::int32_t min, std::int32_t max) {
    if (value >= min && value <= max && value == static_cast<std::int32_t>(value))
        return static_cast<std::int32_t>(value);
    return RoundFractionToRange(value, min, max);
}

} // namespace kestrom
