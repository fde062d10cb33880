#include "base/TextCodec.h"

#include <cctype>

namespace kestrom {
namespace {

// One left-to-right scan, so "\\n" is a backslash followed by n. The runs
// between backslashes are copied whole.
template <typename OnBreak>
std::string Decode(std::string_view text, std::string& current, OnBreak onBreak) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = text.find('\\', start);
        current.append(text.substr(start, slash - start));
        if (slash == std::string_view::npos) return current;
        const char next = slash + 1 < text.size() ? text[slash + 1] : '\0';
        start = slash + 2;
        if (next == 'n') {
            if (!onBreak(current)) return current;
        } else if (next == '"' || next == '\\') {
            current += next;
        } else {
            current += '\\';
            start = slash + 1;
        }
    }
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::vector<std::string> DecodeActionLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachActionLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string DecodeCondition(std::string_view text) {
    std::string current;
    return Decode(text, current, [](std::string& piece) {
        piece += ' ';
        return true;
    });
}

std::string DecodeName(std::string_view text) {
    std::string current;
    return Decode(text, current, [](std::string&) { return false; });
}

std::string StripBusRange(std::string_view name) {
    if (name.empty() || name.back() != ']') return std::string(name);
    const std::size_t open = name.rfind('[');
    if (open == std::string_view::npos || open == 0) return std::string(name);
    std::string_view before = name.substr(0, open);
    while (!before.empty() && before.back() == ' ')
        before.remove_suffix(1);
    return before.empty() ? std::string(name) : std::string(before);
}

bool IsElseCondition(std::string_view text) {
    const std::string_view word = TrimBlanks(text);
    static constexpr std::string_view kElse = "@ELSE";
    if (word.size() != kElse.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(word[i])) != kElse[i]) return false;
    return true;
}

} // namespace kestrom
