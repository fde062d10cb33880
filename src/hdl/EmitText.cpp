#include "hdl/EmitText.h"

#include <cctype>

namespace kestrom::hdl::emit {

std::uint64_t Mask(int width) {
    return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

std::string HexDigits(std::uint64_t value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 15]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

// A constant of the C++ type the width computes in.
std::string Constant(std::uint64_t value, int width, bool hex) {
    const std::string digits = value < 10 || !hex ? std::to_string(value) : HexDigits(value);
    return digits + (width > 32 ? "ull" : "u");
}

std::string MaskText(int width) {
    return HexDigits(width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1) +
           (width > 32 ? "ull" : "u");
}

bool WrittenInHex(const std::string& spelling) {
    for (std::size_t i = 0; i + 1 < spelling.size(); ++i) {
        const char next = spelling[i + 1];
        if ((spelling[i] == '\'' || spelling[i] == '0') &&
            (next == 'h' || next == 'H' || next == 'x' || next == 'X'))
            return true;
        if ((spelling[i] == 'x' || spelling[i] == 'X') && next == '"') return true;
    }
    return false;
}

// A text that needs no parentheses as an operand: a name, a number, a call
// or a parenthesized whole.
bool IsAtom(std::string text) {
    while (!text.empty() && (text.front() == '~' || text.front() == '!' || text.front() == '-'))
        text.erase(0, 1);
    if (text.empty()) return true;
    if (text.front() == '(' && text.back() == ')') {
        int depth = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '(') ++depth;
            if (text[i] == ')' && --depth == 0 && i + 1 < text.size()) return false;
        }
        return true;
    }
    int depth = 0;
    for (char c : text) {
        if (c == '(' || c == '[') ++depth;
        if (c == ')' || c == ']') --depth;
        if (depth == 0 && !(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' ||
                            c == ':' || c == ')' || c == ']'))
            return false;
    }
    return true;
}

std::string Atom(const std::string& text) {
    return IsAtom(text) ? text : "(" + text + ")";
}

std::string Widened(const Piece& piece) {
    return piece.Wide ? piece.Text : "std::uint64_t(" + piece.Text + ")";
}

// One pair of parentheses around the whole text dropped, for conditions.
std::string Unwrapped(const std::string& text) {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')') return text;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')' && --depth == 0 && i + 1 < text.size()) return text;
    }
    return text.substr(1, text.size() - 2);
}

} // namespace kestrom::hdl::emit
