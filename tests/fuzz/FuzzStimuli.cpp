// Arbitrary bytes as a test bench's stimuli file, for a module with ports of
// every kind of type. Any input must end in an error that names the file and a
// line of it, or in rows whose cycles rise and whose values fit their ports;
// the rows written out again in plain decimal must read back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/Diagnostics.h"
#include "extensions/Stimuli.h"

namespace {

using kestrom::Stimuli;
using kestrom::StimulusPort;

const std::vector<StimulusPort>& Ports() {
    static const std::vector<StimulusPort> ports = {
        {"clk", {1, false}, "the clock, which the test bench drives"},
        {"go", {1, false}, ""},
        {"count", {32, true}, ""},
        {"nibble", {4, false}, ""},
        {"offset", {8, true}, ""},
        {"wide", {64, false}, ""},
        {"least", {64, true}, ""},
        {"q", {32, true}, "an output port"},
    };
    return ports;
}

const StimulusPort& PortNamed(const std::string& name) {
    for (const StimulusPort& port : Ports())
        if (port.Name == name) return port;
    kestrom::fuzz::Fail("a column names no port", name);
}

size_t LineCount(std::string_view input) {
    size_t lines = 1;
    for (char c : input)
        lines += c == '\n';
    return lines;
}

std::string Decimal(const kestrom::StimulusValue& value) {
    return (value.Negative ? "-" : "") + std::to_string(value.Magnitude);
}

std::string WrittenOut(const Stimuli& stimuli) {
    std::string text = "cycle";
    for (const std::string& port : stimuli.Ports)
        text += "," + port;
    for (const auto& row : stimuli.Rows) {
        text += "\n" + std::to_string(row.Cycle);
        for (const auto& value : row.Values)
            text += "," + (value ? Decimal(*value) : std::string());
    }
    return text + "\n";
}

bool Same(const Stimuli& a, const Stimuli& b) {
    if (a.Ports != b.Ports || a.Rows.size() != b.Rows.size()) return false;
    for (size_t i = 0; i < a.Rows.size(); ++i)
        if (a.Rows[i].Cycle != b.Rows[i].Cycle || a.Rows[i].Values != b.Rows[i].Values)
            return false;
    return true;
}

void CheckRows(const Stimuli& stimuli, std::string_view input) {
    for (size_t i = 0; i < stimuli.Rows.size(); ++i) {
        const auto& row = stimuli.Rows[i];
        FUZZ_CHECK(row.Values.size() == stimuli.Ports.size(), std::to_string(row.Line));
        FUZZ_CHECK(row.Line >= 2 && static_cast<size_t>(row.Line) <= LineCount(input),
                   std::to_string(row.Line));
        if (i > 0) FUZZ_CHECK(row.Cycle > stimuli.Rows[i - 1].Cycle, std::to_string(row.Line));
        for (size_t c = 0; c < row.Values.size(); ++c) {
            if (!row.Values[c]) continue;
            const auto& range = PortNamed(stimuli.Ports[c]).Range;
            const auto& value = *row.Values[c];
            FUZZ_CHECK(!(value.Negative && value.Magnitude == 0), "negative zero");
            if (!range.Signed) FUZZ_CHECK(!value.Negative, Decimal(value));
            if (range.Bits == 64) continue;
            const int magnitudeBits = range.Signed ? range.Bits - 1 : range.Bits;
            const std::uint64_t limit = std::uint64_t{1} << magnitudeBits;
            FUZZ_CHECK(value.Negative ? value.Magnitude <= limit : value.Magnitude < limit,
                       Decimal(value));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    static const std::string path = kestrom::fuzz::ScratchPath("stimuli.csv");
    kestrom::fuzz::WriteWhole(path, input);

    Stimuli fromText;
    try {
        fromText = kestrom::ReadStimuliText(input, path, Ports());
    } catch (const kestrom::InputFileError& error) {
        FUZZ_CHECK(error.File() == path, error.File());
        FUZZ_CHECK(!error.Message().empty(), "an error without a message");
        FUZZ_CHECK(error.Line() >= 1 && static_cast<size_t>(error.Line()) <= LineCount(input),
                   std::to_string(error.Line()) + ": " + error.Message());
        try {
            kestrom::ReadStimuliFile(path, Ports());
            kestrom::fuzz::Fail("the file read accepts what the text read refused");
        } catch (const kestrom::InputFileError& again) {
            FUZZ_CHECK(again.Line() == error.Line() && again.Message() == error.Message(),
                       again.what());
        }
        return 0;
    }
    CheckRows(fromText, input);
    FUZZ_CHECK(Same(kestrom::ReadStimuliFile(path, Ports()), fromText), "file and text differ");
    FUZZ_CHECK(Same(kestrom::ReadStimuliText(WrittenOut(fromText), "again", Ports()), fromText),
               WrittenOut(fromText));
    return 0;
}
