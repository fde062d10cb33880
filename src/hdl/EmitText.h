// Pieces of emitted C++ text shared by the emitters of narrow (up to 64
// bits, std::uint64_t) and wide (sc_biguint) values.
#pragma once

#include <cstdint>
#include <string>

namespace kestrom::hdl::emit {

// An emitted fragment; Wide when its C++ type is 64 bits for sure.
struct Piece {
    std::string Text;
    bool Wide = false;
};

std::uint64_t Mask(int width);
std::string HexDigits(std::uint64_t value);
// A constant of the C++ type the width computes in.
std::string Constant(std::uint64_t value, int width, bool hex = false);
std::string MaskText(int width);
bool WrittenInHex(const std::string& spelling);
// A text that needs no parentheses as an operand.
bool IsAtom(std::string text);
std::string Atom(const std::string& text);
std::string Widened(const Piece& piece);
// One pair of parentheses around the whole text dropped, for conditions.
std::string Unwrapped(const std::string& text);

} // namespace kestrom::hdl::emit
