#include "drawing/LineTokens.h"

#include "base/TextCodec.h"

namespace kestrom::drawing {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Index just past the closing quote of the quoted token starting at `start`,
// or the line's end when the quote is never closed.
std::size_t QuotedEnd(std::string_view line, std::size_t start, bool& closed) {
    for (std::size_t i = start + 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        } else if (line[i] == '"') {
            closed = true;
            return i + 1;
        }
    }
    closed = false;
    return line.size();
}

} // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        Token token;
        std::size_t end = i;
        if (line[i] == '"') {
            token.Quoted = true;
            end = QuotedEnd(line, i, token.Closed);
        } else {
            while (end < line.size() && !IsBlank(line[end]))
                ++end;
        }
        token.Text = line.substr(i, end - i);
        tokens.push_back(token);
        i = end;
    }
    return tokens;
}

std::string DecodeQuoted(const Token& token) {
    std::string_view inner = token.Text;
    if (!inner.empty() && inner.front() == '"') inner.remove_prefix(1);
    if (token.Closed && !inner.empty()) inner.remove_suffix(1);
    std::string text;
    const std::vector<std::string> pieces = DecodeActionLines(inner);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0) text += '\n';
        text += pieces[k];
    }
    return text;
}

std::optional<std::int64_t> ParseInteger(std::string_view token) {
    bool negative = false;
    if (!token.empty() && (token.front() == '-' || token.front() == '+')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    if (token.empty() || token.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::optional<double> ParseCoordinate(std::string_view token) {
    const auto value = ParseInteger(token);
    if (!value || *value > kCoordinateLimit || *value < -kCoordinateLimit) return std::nullopt;
    return static_cast<double>(*value);
}

std::optional<Point> ParsePoint(std::string_view token) {
    const std::size_t comma = token.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const auto x = ParseCoordinate(token.substr(0, comma));
    const auto y = ParseCoordinate(token.substr(comma + 1));
    if (!x || !y) return std::nullopt;
    return Point{*x, *y};
}

std::string Shown(std::string_view token) {
    constexpr std::size_t kLongest = 40;
    if (token.size() <= kLongest) return std::string(token);
    return std::string(token.substr(0, kLongest)) + "… (" + std::to_string(token.size()) +
           " characters)";
}

} // namespace kestrom::drawing
