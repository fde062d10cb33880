// The pieces of an ASF line as the drawing reader sees them: physical lines,
// blank-separated tokens (a quoted text is one token even with blanks in it)
// and the numbers and points of the geometry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/Drawing.h"

namespace kestrom::drawing {

// Farther than any sheet reaches: 100 m in thousandths of a millimetre.
constexpr std::int64_t kCoordinateLimit = 100'000'000;

// Splits at CR LF, a lone CR or a lone LF; the terminators are not kept.
std::vector<std::string_view> SplitLines(std::string_view text);

struct Token {
    std::string_view Text; // quotes included for a quoted token
    bool Quoted = false;
    bool Closed = true; // false: a quoted token that runs to the end of the line
};

// Blanks and tabs separate tokens; runs of them count as one separator.
std::vector<Token> Tokenize(std::string_view line);

// A quoted token without its quotes and with \n, \" and \\ undone.
std::string DecodeQuoted(const Token& token);

// A whole token of an optional sign and at most 18 digits.
std::optional<std::int64_t> ParseInteger(std::string_view token);

// One coordinate within kCoordinateLimit.
std::optional<double> ParseCoordinate(std::string_view token);

// "x,y" with both coordinates within kCoordinateLimit.
std::optional<Point> ParsePoint(std::string_view token);

// The token as shown in a message: long tokens are abridged.
std::string Shown(std::string_view token);

} // namespace kestrom::drawing
