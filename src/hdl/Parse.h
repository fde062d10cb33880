// The entry points of the action languages: each text of a diagram is parsed
// once, by the parser of its language, into the typed tree. Names and widths
// are checked here: a tree returned is fully typed; anything that cannot be
// translated throws a TranslationError.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hdl/Language.h"
#include "hdl/Macros.h"
#include "hdl/Symbols.h"
#include "hdl/Tree.h"

namespace kestrom::hdl {

struct Scope {
    SymbolTable Symbols;
    MacroTable Macros;
    std::vector<std::string> IncludeDirs; // for `include lines in declarations
};

// Nesting deeper than this (parentheses, statements, macros within macros)
// is refused rather than followed.
constexpr int kMaxNesting = 200;

// Values are computed in 64 bits or, wider, in SystemC's sc_biguint; a
// literal's digits still fit in 64 bits.
constexpr int kMaxWidth = 4096;

// A transition's condition (or a reset's): one expression.
ExprPtr ParseCondition(Language language, std::string_view text, const TextOrigin& origin,
                       const Scope& scope);

// An entry, state, exit or transition action: statements.
StmtList ParseActions(Language language, std::string_view text, const TextOrigin& origin,
                      const Scope& scope);

// A declaration text: Verilog reg/wire/integer/parameter/localparam (and
// `define/`include lines, which go to the macros); VHDL signal, constant and
// enumeration type declarations. Adds what it declares to the scope.
void ParseDeclarations(Language language, std::string_view text, const TextOrigin& origin,
                       Scope& scope);

// A diagram action: Verilog always blocks and assign statements; VHDL
// concurrent assignments and processes.
ModuleItems ParseDiagramActions(Language language, std::string_view text, const TextOrigin& origin,
                                const Scope& scope);

} // namespace kestrom::hdl
