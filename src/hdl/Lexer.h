// Splits an action text into tokens for the parser of its language. Verilog
// macros are expanded here: their tokens stand at the place of the use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hdl/Language.h"

namespace kestrom::hdl {

class MacroTable;

enum class TokenKind {
    Identifier,
    Number,    // Verilog/C++ number, VHDL integer
    BitChar,   // VHDL '0' / '1'
    BitString, // VHDL "0101", x"0F"
    Directive, // a Verilog compiler directive left in an action (`timescale)
    Punct,
    End,
};

struct Token {
    TokenKind Kind = TokenKind::End;
    std::string Text; // as written (an identifier, an operator)
    Location Where;
    std::uint64_t Value = 0;
    int Width = 0; // 0: unsized
    bool Signed = false;
    bool Hex = false;  // written in base 16
    std::string Macro; // the macro this token came from, if any
};

// Throws TranslationError for characters and numbers that are not part of
// the language.
std::vector<Token> Tokenize(Language language, std::string_view text, const TextOrigin& origin,
                            const MacroTable* macros);

} // namespace kestrom::hdl
