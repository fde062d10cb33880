// A value a user gives an input port (decimal, 0x hexadecimal, 0b binary),
// checked against the port's width, as the decimal word the driver takes.
#pragma once

#include <string>

#include "sim/Protocol.h"

namespace kestrom::sim {

struct CheckedInput {
    std::size_t Index = 0; // in the hello's inputs
    std::string Word;      // for "set PORT WORD"
    std::string Refusal;   // why the value or the port is refused; empty when accepted
};

CheckedInput CheckInputValue(const Hello& hello, const std::string& port, const std::string& text);

} // namespace kestrom::sim
