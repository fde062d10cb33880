#include "hdl/Symbols.h"

#include <cctype>
#include <cstdlib>

namespace kestrom::hdl {

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

int BitPosition(const Symbol& symbol, std::int64_t index) {
    const std::int64_t low = std::min(symbol.Left, symbol.Right);
    const std::int64_t high = std::max(symbol.Left, symbol.Right);
    if (index < low || index > high) return -1;
    return static_cast<int>(index > symbol.Right ? index - symbol.Right : symbol.Right - index);
}

Symbol MakeSymbol(std::string name, SymbolKind kind, int width, int asfLine) {
    Symbol symbol;
    symbol.Name = std::move(name);
    symbol.Kind = kind;
    symbol.Width = width;
    symbol.Left = width - 1;
    symbol.Right = 0;
    symbol.AsfLine = asfLine;
    return symbol;
}

bool IsWritable(SymbolKind kind) {
    return kind == SymbolKind::Output || kind == SymbolKind::InOut || kind == SymbolKind::Signal;
}

const Symbol& SymbolTable::Add(Symbol symbol) {
    const std::string folded = FoldCase(symbol.Name);
    auto found = exact_.find(symbol.Name);
    if (found != exact_.end()) {
        symbols_[found->second] = std::move(symbol);
        return symbols_[found->second];
    }
    const std::size_t index = symbols_.size();
    exact_.emplace(symbol.Name, index);
    folded_.emplace(folded, index); // the first of names differing in case only wins
    symbols_.push_back(std::move(symbol));
    return symbols_.back();
}

const Symbol* SymbolTable::Find(std::string_view name, Language language) const {
    auto found = exact_.find(std::string(name));
    if (found != exact_.end()) return &symbols_[found->second];
    if (language != Language::Vhdl) return nullptr;
    auto folded = folded_.find(FoldCase(name));
    return folded == folded_.end() ? nullptr : &symbols_[folded->second];
}

} // namespace kestrom::hdl
