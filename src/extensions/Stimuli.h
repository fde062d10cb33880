// The stimuli file of a test bench: a CSV table whose header is
// "cycle,PORT,PORT,..." and whose rows set the named input ports from their
// cycle on. It is read when the bench is generated, so a bad file stops the
// generation before anything is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrom {

// The values a port's C++ type holds: Bits wide (at most 64 are checked),
// two's complement when Signed. A bool is 1 bit, unsigned.
struct ValueRange {
    int Bits = 32;
    bool Signed = true;
};

// bool, int, sc_logic and the sc_int/sc_uint/sc_bigint/sc_biguint/sc_bv/sc_lv
// templates; nothing for a type whose values are not whole numbers.
std::optional<ValueRange> RangeOfType(std::string_view cppType);

// "0 to 255", "-128 to 127"
std::string DescribeRange(const ValueRange& range);

// A whole number as a stimuli file may give it; Magnitude holds 2^63 for the
// smallest 64-bit value.
struct StimulusValue {
    bool Negative = false;
    std::uint64_t Magnitude = 0;

    bool operator==(const StimulusValue& other) const {
        return Negative == other.Negative && Magnitude == other.Magnitude;
    }
};

// Decimal with an optional sign, 0x hexadecimal, 0b binary, true or false;
// nothing for another text or a magnitude above 2^64 - 1.
std::optional<StimulusValue> ParseStimulusValue(std::string_view text);
// Whether the range holds the value (at most 64 bits are checked).
bool FitsRange(const StimulusValue& value, const ValueRange& range);

// A C++ literal of the value, for any integral target type.
std::string ValueLiteral(const StimulusValue& value);

// A port of the module as the stimuli file sees it.
struct StimulusPort {
    std::string Name;
    ValueRange Range;
    std::string NotDrivable; // why the file may not name it ("an output port"), or empty
};

struct StimuliRow {
    int Line = 0;
    std::uint64_t Cycle = 0;
    std::vector<std::optional<StimulusValue>> Values; // one per column; empty cell: unchanged
};

struct Stimuli {
    std::string File;
    std::vector<std::string> Ports; // the header's port columns, in order
    std::vector<StimuliRow> Rows;   // in strictly increasing cycle order
};

// Throw InputFileError naming the file and line of the first problem.
Stimuli ReadStimuliText(std::string_view text, const std::string& file,
                        const std::vector<StimulusPort>& ports);
Stimuli ReadStimuliFile(const std::string& path, const std::vector<StimulusPort>& ports);

} // namespace kestrom
