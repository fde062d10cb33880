#include "extensions/Stimuli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "base/Diagnostics.h"

namespace kestrom {
namespace {

constexpr int kMaxCheckedBits = 64;

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> SplitCells(std::string_view line) {
    std::vector<std::string_view> cells;
    for (;;) {
        const std::size_t comma = line.find(',');
        cells.push_back(Trim(line.substr(0, comma)));
        if (comma == std::string_view::npos) return cells;
        line.remove_prefix(comma + 1);
    }
}

// Digits in the given base; nothing when empty, not a digit or above 2^64 - 1.
std::optional<std::uint64_t> ParseDigits(std::string_view digits, unsigned base) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        if (digit >= base) return std::nullopt;
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

bool HasPrefix(std::string_view text, std::string_view prefix) {
    return text.size() > prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// Decimal with an optional sign, 0x hexadecimal, 0b binary, true or false.
std::optional<StimulusValue> ParseValue(std::string_view text) {
    if (text == "true") return StimulusValue{false, 1};
    if (text == "false") return StimulusValue{false, 0};
    StimulusValue value;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        value.Negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::optional<std::uint64_t> magnitude;
    if (HasPrefix(text, "0x") || HasPrefix(text, "0X"))
        magnitude = ParseDigits(text.substr(2), 16);
    else if (HasPrefix(text, "0b") || HasPrefix(text, "0B"))
        magnitude = ParseDigits(text.substr(2), 2);
    else
        magnitude = ParseDigits(text, 10);
    if (!magnitude) return std::nullopt;
    value.Magnitude = *magnitude;
    value.Negative = value.Negative && value.Magnitude != 0;
    return value;
}

bool Fits(const StimulusValue& value, const ValueRange& range) {
    const int bits = std::min(range.Bits, kMaxCheckedBits);
    if (!range.Signed) {
        if (value.Negative) return false;
        return bits == 64 || value.Magnitude >> bits == 0;
    }
    const std::uint64_t limit = std::uint64_t{1} << (bits - 1); // 2^(bits-1)
    return value.Negative ? value.Magnitude <= limit : value.Magnitude < limit;
}

std::optional<std::uint64_t> ParseCycle(std::string_view text) {
    return ParseDigits(text, 10);
}

class StimuliReader {
public:
    StimuliReader(std::string_view text, const std::string& file,
                  const std::vector<StimulusPort>& ports)
        : text_(text), ports_(ports) {
        result_.File = file;
    }

    Stimuli Read() {
        bool headerRead = false;
        for (std::string_view line; NextLine(line);) {
            const std::string_view content = Trim(line);
            if (content.empty() || content.front() == '#') continue;
            if (!headerRead) {
                ReadHeader(content);
                headerRead = true;
            } else {
                ReadRow(content);
            }
        }
        if (!headerRead)
            Fail(std::max(lineNumber_, 1), "no header line 'cycle,PORT,...' in the file");
        return std::move(result_);
    }

private:
    bool NextLine(std::string_view& line) {
        if (text_.empty()) return false;
        const std::size_t end = text_.find('\n');
        line = text_.substr(0, end);
        text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNumber_;
        return true;
    }

    void ReadHeader(std::string_view line) {
        const std::vector<std::string_view> cells = SplitCells(line);
        if (cells.front() != "cycle")
            Fail(lineNumber_, "the header must begin with 'cycle', not " + Quoted(cells.front()));
        for (std::size_t i = 1; i < cells.size(); ++i) {
            const StimulusPort& port = FindDrivablePort(cells[i]);
            if (std::find(result_.Ports.begin(), result_.Ports.end(), port.Name) !=
                result_.Ports.end())
                Fail(lineNumber_, "port " + Quoted(port.Name) + " has two columns");
            result_.Ports.push_back(port.Name);
            columns_.push_back(&port);
        }
    }

    const StimulusPort& FindDrivablePort(std::string_view name) {
        if (name.empty()) Fail(lineNumber_, "a column of the header has no port name");
        for (const StimulusPort& port : ports_) {
            if (port.Name != name) continue;
            if (!port.NotDrivable.empty())
                Fail(lineNumber_, "port " + Quoted(name) + " is " + port.NotDrivable +
                                      "; the stimuli drive input ports only");
            return port;
        }
        Fail(lineNumber_,
             "the module has no port " + Quoted(name) + "; its input ports are " + DrivableNames());
    }

    std::string DrivableNames() const {
        std::string names;
        for (const StimulusPort& port : ports_) {
            if (!port.NotDrivable.empty()) continue;
            names += (names.empty() ? "" : ", ") + port.Name;
        }
        return names.empty() ? "none" : names;
    }

    void ReadRow(std::string_view line) {
        const std::vector<std::string_view> cells = SplitCells(line);
        if (cells.size() != columns_.size() + 1)
            Fail(lineNumber_, "the row has " + std::to_string(cells.size()) +
                                  " cells, the header " + std::to_string(columns_.size() + 1));
        StimuliRow row;
        row.Line = lineNumber_;
        row.Cycle = ReadCycle(cells.front());
        for (std::size_t i = 1; i < cells.size(); ++i)
            row.Values.push_back(ReadCell(cells[i], *columns_[i - 1]));
        result_.Rows.push_back(std::move(row));
    }

    std::uint64_t ReadCycle(std::string_view text) {
        const std::optional<std::uint64_t> cycle = ParseCycle(text);
        if (!cycle)
            Fail(lineNumber_, "the cycle " + Quoted(text) + " is not a whole number from 0 up");
        if (!result_.Rows.empty() && *cycle <= result_.Rows.back().Cycle)
            Fail(lineNumber_, "cycle " + std::to_string(*cycle) + " does not come after cycle " +
                                  std::to_string(result_.Rows.back().Cycle));
        return *cycle;
    }

    std::optional<StimulusValue> ReadCell(std::string_view text, const StimulusPort& port) {
        if (text.empty()) return std::nullopt;
        const std::optional<StimulusValue> value = ParseValue(text);
        if (!value)
            Fail(lineNumber_, "the value " + Quoted(text) + " for port " + Quoted(port.Name) +
                                  " is not a whole number");
        if (!Fits(*value, port.Range))
            Fail(lineNumber_, "the value " + std::string(text) + " does not fit port " +
                                  Quoted(port.Name) + " (" + DescribeRange(port.Range) + ")");
        return value;
    }

    [[noreturn]] void Fail(int line, std::string message) const {
        throw InputFileError(result_.File, line, std::move(message));
    }

    std::string_view text_;
    const std::vector<StimulusPort>& ports_;
    std::vector<const StimulusPort*> columns_;
    int lineNumber_ = 0;
    Stimuli result_;
};

std::optional<int> TemplateWidth(std::string_view type, std::string_view name) {
    if (type.size() < name.size() + 3 || type.substr(0, name.size()) != name) return std::nullopt;
    std::string_view rest = Trim(type.substr(name.size()));
    if (rest.size() < 3 || rest.front() != '<' || rest.back() != '>') return std::nullopt;
    const std::optional<std::uint64_t> width =
        ParseDigits(Trim(rest.substr(1, rest.size() - 2)), 10);
    if (!width || *width == 0 || *width > 1u << 20) return std::nullopt;
    return static_cast<int>(*width);
}

} // namespace

std::optional<ValueRange> RangeOfType(std::string_view cppType) {
    std::string_view type = Trim(cppType);
    if (type == "bool" || type == "sc_logic") return ValueRange{1, false};
    if (type == "int") return ValueRange{32, true};
    for (std::string_view name : {"sc_int", "sc_bigint"})
        if (const auto width = TemplateWidth(type, name)) return ValueRange{*width, true};
    for (std::string_view name : {"sc_uint", "sc_biguint", "sc_bv", "sc_lv"})
        if (const auto width = TemplateWidth(type, name)) return ValueRange{*width, false};
    return std::nullopt;
}

std::optional<StimulusValue> ParseStimulusValue(std::string_view text) {
    return ParseValue(text);
}

bool FitsRange(const StimulusValue& value, const ValueRange& range) {
    return Fits(value, range);
}

std::string DescribeRange(const ValueRange& range) {
    const int bits = std::min(range.Bits, kMaxCheckedBits);
    if (!range.Signed)
        return "0 to " + std::to_string(bits == 64 ? std::numeric_limits<std::uint64_t>::max()
                                                   : (std::uint64_t{1} << bits) - 1);
    const std::uint64_t limit = std::uint64_t{1} << (bits - 1);
    return "-" + std::to_string(limit) + " to " + std::to_string(limit - 1);
}

std::string ValueLiteral(const StimulusValue& value) {
    if (!value.Negative) return std::to_string(value.Magnitude) + "ULL";
    if (value.Magnitude > std::uint64_t{std::numeric_limits<std::int64_t>::max()})
        return "(-9223372036854775807LL - 1)";
    return "-" + std::to_string(value.Magnitude) + "LL";
}

Stimuli ReadStimuliText(std::string_view text, const std::string& file,
                        const std::vector<StimulusPort>& ports) {
    return StimuliReader(text, file, ports).Read();
}

Stimuli ReadStimuliFile(const std::string& path, const std::vector<StimulusPort>& ports) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputFileError(path, 0, std::string("cannot open it: ") + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw InputFileError(path, 0, "cannot read it");
    return ReadStimuliText(text.str(), path, ports);
}

} // namespace kestrom
