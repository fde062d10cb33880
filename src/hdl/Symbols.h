// The names a diagram's texts may use: ports, signals, constants, macros
// turned into values and enumeration values, each with its width.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "hdl/Language.h"

namespace kestrom::hdl {

enum class SymbolKind { Input, Output, InOut, Signal, Constant, Macro, EnumValue };

// An integer's declared range (VHDL `integer range 0 to 180`): a value
// outside it is an error at run time, not a wrap.
struct Range {
    std::int64_t Low = 0;
    std::int64_t High = 0;
};

// VHDL's `integer` without a range of its own.
constexpr Range kVhdlInteger{-2147483647 - 1, 2147483647};

struct Symbol {
    std::string Name;
    SymbolKind Kind = SymbolKind::Signal;
    int Width = 1;
    bool Signed = false;
    std::optional<std::uint64_t> Value; // constants and enumeration values
    std::optional<Range> IntegerRange;  // VHDL integers
    int AsfLine = 0;
    // The index of the leftmost and the rightmost bit as declared: [7:0] is
    // 7, 0; VHDL (0 to 3) is 0, 3. The rightmost bit is the least significant.
    int Left = 0;
    int Right = 0;
    bool IsInteger = false; // a VHDL integer: arithmetic is not truncated
    std::string TypeName;   // a VHDL enumeration type's name, for its signals and values
};

// Bit `index` of a symbol as a position from its least significant bit, or
// -1 when the declared range lacks it.
int BitPosition(const Symbol& symbol, std::int64_t index);

// A symbol of `width` bits, [width-1:0].
Symbol MakeSymbol(std::string name, SymbolKind kind, int width, int asfLine = 0);

bool IsWritable(SymbolKind kind);

class SymbolTable {
public:
    // Adds or replaces the symbol of that name; the address of a symbol added
    // stays valid as long as the table.
    const Symbol& Add(Symbol symbol);
    // VHDL names match in any case.
    const Symbol* Find(std::string_view name, Language language = Language::Verilog) const;
    std::size_t Size() const { return symbols_.size(); }
    const std::deque<Symbol>& All() const { return symbols_; }

private:
    std::deque<Symbol> symbols_;
    std::unordered_map<std::string, std::size_t> exact_;
    std::unordered_map<std::string, std::size_t> folded_;
};

std::string FoldCase(std::string_view text);

} // namespace kestrom::hdl
