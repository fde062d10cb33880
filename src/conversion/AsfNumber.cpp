#include "conversion/AsfNumber.h"

#include <algorithm>
#include <cctype>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kestrom {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(const std::string& s, std::size_t i) {
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    return i;
}

// Length of the longest prefix of s that is a decimal number, 0 for none.
std::size_t NumberPrefixLength(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const std::size_t intStart = i;
    i = SkipDigits(s, i);
    std::size_t digits = i - intStart;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fracStart = i + 1;
        const std::size_t fracEnd = SkipDigits(s, fracStart);
        digits += fracEnd - fracStart;
        if (digits > 0) i = fracEnd;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t expEnd = SkipDigits(s, j);
        if (expEnd > j) i = expEnd;
    }
    return i;
}

} // namespace

double LeadingNumber(std::string_view token) {
    // Nearly every token is a plain whole number: no need for strtod then.
    const bool negative = !token.empty() && token[0] == '-';
    const std::string_view digits = token.substr(negative ? 1 : 0);
    if (!digits.empty() && digits.size() <= 9 &&
        std::all_of(digits.begin(), digits.end(), IsDigit)) {
        long value = 0;
        for (char c : digits)
            value = value * 10 + (c - '0');
        return negative ? -static_cast<double>(value) : static_cast<double>(value);
    }
    std::string s;
    s.reserve(token.size());
    for (char c : token)
        if (c != '\t') s += c;
    const std::size_t length = NumberPrefixLength(s);
    if (length == 0) return 0.0;
    s.resize(length);
    return std::strtod(s.c_str(), nullptr); // overflow gives infinity
}

std::optional<std::int32_t> RoundFractionToRange(double value, std::int32_t min, std::int32_t max) {
    if (!std::isfinite(value)) return std::nullopt;
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(savedMode);
    if (rounded < min || rounded > max) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

} // namespace kestrom
