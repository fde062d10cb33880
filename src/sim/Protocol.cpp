#include "sim/Protocol.h"

#include <charconv>

namespace kestrom::sim {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const std::size_t space = line.find(' ');
        if (space != 0) words.push_back(line.substr(0, space));
        if (space == std::string_view::npos) break;
        line.remove_prefix(space + 1);
    }
    return words;
}

template <typename T> std::optional<T> Number(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "NAME:BITS:u" or "NAME:BITS:s".
std::optional<SignalInfo> ParseSignal(std::string_view word) {
    const std::size_t last = word.rfind(':');
    if (last == std::string_view::npos || last == 0) return std::nullopt;
    const std::size_t middle = word.rfind(':', last - 1);
    if (middle == std::string_view::npos || middle == 0) return std::nullopt;
    const std::string_view sign = word.substr(last + 1);
    const auto bits = Number<int>(word.substr(middle + 1, last - middle - 1));
    if (!bits || *bits < 1 || (sign != "u" && sign != "s")) return std::nullopt;
    return SignalInfo{UnescapeWord(word.substr(0, middle)), *bits, sign == "s"};
}

std::string SignalWord(const SignalInfo& signal) {
    return EscapeWord(signal.Name) + ":" + std::to_string(signal.Bits) +
           (signal.Signed ? ":s" : ":u");
}

} // namespace

std::string EscapeWord(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string word;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == '%' || byte == 0x7F) {
            word += '%';
            word += kHex[byte >> 4];
            word += kHex[byte & 15];
        } else {
            word += c;
        }
    }
    return word;
}

std::string UnescapeWord(std::string_view word) {
    std::string text;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '%' && i + 2 < word.size() && HexDigit(word[i + 1]) >= 0 &&
            HexDigit(word[i + 2]) >= 0) {
            text += static_cast<char>(HexDigit(word[i + 1]) * 16 + HexDigit(word[i + 2]));
            i += 2;
        } else {
            text += word[i];
        }
    }
    return text;
}

std::optional<Hello> ParseHello(std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    if (words.size() < 7 || words[0] != "hello" || words[1] != "kestrom-sim" ||
        words[3] != "module")
        return std::nullopt;
    Hello hello;
    const auto version = Number<int>(words[2]);
    if (!version) return std::nullopt;
    hello.Version = *version;
    hello.Module = UnescapeWord(words[4]);
    bool resetSeen = false;
    for (std::size_t i = 5; i + 1 < words.size(); i += 2) {
        const std::string_view key = words[i], value = words[i + 1];
        if (key == "state") {
            hello.States.push_back(UnescapeWord(value));
        } else if (key == "reset" && (value == "yes" || value == "no")) {
            hello.HasReset = value == "yes";
            resetSeen = true;
        } else if (key == "in" || key == "out" || key == "signal") {
            const std::optional<SignalInfo> signal = ParseSignal(value);
            if (!signal) return std::nullopt;
            (key == "in"    ? hello.Inputs
             : key == "out" ? hello.Outputs
                            : hello.Internals)
                .push_back(*signal);
        } else {
            return std::nullopt;
        }
    }
    if (!resetSeen || words.size() % 2 == 0) return std::nullopt;
    return hello;
}

std::optional<CycleReport> ParseCycle(std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    if (words.size() < 6 || words[0] != "cycle" || words[2] != "state" || words[4] != "taken")
        return std::nullopt;
    CycleReport report;
    const auto cycle = Number<std::uint64_t>(words[1]);
    const auto taken = Number<int>(words[5]);
    if (!cycle || !taken) return std::nullopt;
    report.Cycle = *cycle;
    report.State = UnescapeWord(words[3]);
    report.Taken = *taken;
    for (std::size_t i = 6; i < words.size(); ++i) {
        const std::size_t equals = words[i].find('=');
        if (equals == std::string_view::npos || equals == 0) return std::nullopt;
        const std::string_view value = words[i].substr(equals + 1);
        const bool negative = !value.empty() && value[0] == '-';
        // Values wider than 64 bits come as long decimals.
        const std::string_view digits = value.substr(negative ? 1 : 0);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        report.Values.emplace_back(UnescapeWord(words[i].substr(0, equals)), std::string(value));
    }
    return report;
}

std::string FormatHello(const Hello& hello) {
    std::string line = "hello kestrom-sim " + std::to_string(hello.Version) + " module " +
                       EscapeWord(hello.Module);
    for (const SignalInfo& input : hello.Inputs)
        line += " in " + SignalWord(input);
    for (const SignalInfo& output : hello.Outputs)
        line += " out " + SignalWord(output);
    for (const SignalInfo& internal : hello.Internals)
        line += " signal " + SignalWord(internal);
    for (const std::string& state : hello.States)
        line += " state " + EscapeWord(state);
    return line + (hello.HasReset ? " reset yes" : " reset no");
}

} // namespace kestrom::sim
