#include "sim/InputValue.h"

#include <algorithm>
#include <optional>

#include "extensions/Stimuli.h"

namespace kestrom::sim {
namespace {

bool Named(const std::vector<SignalInfo>& signals, const std::string& name) {
    return std::any_of(signals.begin(), signals.end(),
                       [&](const SignalInfo& s) { return s.Name == name; });
}

// Digits of a number form (decimal, 0x, 0b) that ParseStimulusValue
// refused: too many for 64 bits.
bool LooksLikeANumber(const std::string& text) {
    std::string digits = text.substr(!text.empty() && text[0] == '-' ? 1 : 0);
    const char* allowed = "0123456789";
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        allowed = "0123456789abcdefABCDEF_";
    } else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'b' || digits[1] == 'B')) {
        digits = digits.substr(2);
        allowed = "01_";
    }
    return !digits.empty() && digits.find_first_not_of(allowed) == std::string::npos;
}

CheckedInput Refused(std::string why) {
    CheckedInput checked;
    checked.Refusal = std::move(why);
    return checked;
}

} // namespace

CheckedInput CheckInputValue(const Hello& hello, const std::string& port, const std::string& text) {
    const auto input = std::find_if(hello.Inputs.begin(), hello.Inputs.end(),
                                    [&](const SignalInfo& s) { return s.Name == port; });
    if (input == hello.Inputs.end())
        return Refused(Named(hello.Outputs, port)
                           ? port + " is an output port, not an input"
                           : "no input port " + port + " (the clock is driven by the simulation)");
    const std::optional<StimulusValue> value = ParseStimulusValue(text);
    if (!value && LooksLikeANumber(text))
        return Refused(text + " has more than 64 bits: an input is set to values of up to 64 bits");
    if (!value) return Refused("'" + text + "' is no value: decimal, 0x hexadecimal or 0b binary");
    const ValueRange range{input->Bits, input->Signed};
    if (!FitsRange(*value, range))
        return Refused(text + " does not fit " + port + " (" + DescribeRange(range) + ")");
    const std::uint64_t bits = value->Negative ? ~value->Magnitude + 1 : value->Magnitude;
    CheckedInput checked;
    checked.Index = static_cast<std::size_t>(input - hello.Inputs.begin());
    checked.Word = input->Signed && value->Negative
                       ? std::to_string(static_cast<std::int64_t>(bits))
                       : std::to_string(bits);
    return checked;
}

} // namespace kestrom::sim
