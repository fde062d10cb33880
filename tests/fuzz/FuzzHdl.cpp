// Arbitrary bytes as a text of a real diagram, in the language this target is
// built for (KESTROM_FUZZ_LANGUAGE): the first byte chooses a condition, an
// action, a declaration or a diagram action, the rest is the text. Parsing
// and emitting C++ must end in a tree written out or in a TranslationError
// with a code, the file, a line of the text and a column, and a message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "hdl/CppEmitter.h"
#include "hdl/Parse.h"
#include "hdl/TranslationError.h"

namespace {

using namespace kestrom::hdl;

constexpr int kFirstLine = 40;
const char* const kFile = "fuzz.asf";

// Ports, a signal, a constant and a VHDL integer of several widths.
Scope MakeScope() {
    Scope scope;
    auto add = [&](const char* name, SymbolKind kind, int width) {
        scope.Symbols.Add(MakeSymbol(name, kind, width));
    };
    add("a", SymbolKind::Input, 1);
    add("b", SymbolKind::Input, 4);
    add("bus", SymbolKind::Input, 16);
    add("wide", SymbolKind::Input, 64);
    add("huge", SymbolKind::Input, 100);
    add("q", SymbolKind::Output, 8);
    add("y", SymbolKind::Output, 1);
    add("cnt", SymbolKind::Signal, 4);
    Symbol constant = MakeSymbol("K", SymbolKind::Constant, 4);
    constant.Value = 5;
    scope.Symbols.Add(constant);
    Symbol integer = MakeSymbol("n", SymbolKind::Signal, 8);
    integer.IsInteger = true;
    integer.Signed = true;
    integer.IntegerRange = Range{-100, 100};
    scope.Symbols.Add(integer);
    scope.Macros.Define("IDLE", "4'd3");
    scope.Macros.Define("TWICE", "`IDLE + `IDLE");
    return scope;
}

Naming FuzzNaming() {
    Naming naming;
    naming.Read = [](const Symbol& symbol) { return "r_" + symbol.Name; };
    naming.Write = [](const Symbol& symbol) { return "n_" + symbol.Name; };
    naming.CheckRange = [](const Symbol&, const std::string& value, int) { return value; };
    naming.File = kFile;
    return naming;
}

int LastLine(std::string_view text) {
    int line = kFirstLine;
    for (char c : text)
        line += c == '\n';
    return line;
}

void Translate(Language language, unsigned choice, std::string_view text) {
    const TextOrigin origin{kFile, kFirstLine, 1};
    // The tree points into the scope's symbols.
    Scope scope = MakeScope();
    CodePrinter out;
    switch (choice % 4) {
    case 0:
        EmitCondition(*ParseCondition(language, text, origin, scope), FuzzNaming());
        break;
    case 1:
        EmitActions(ParseActions(language, text, origin, scope), FuzzNaming(), out);
        break;
    case 2:
        ParseDeclarations(language, text, origin, scope);
        break;
    default:
        for (const ModuleItem& item : ParseDiagramActions(language, text, origin, scope))
            EmitActions(item.Body, FuzzNaming(), out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        Translate(KESTROM_FUZZ_LANGUAGE, data[0], text);
    } catch (const TranslationError& error) {
        const std::string said = error.what();
        FUZZ_CHECK(error.File() == kFile, said);
        FUZZ_CHECK(!error.Code().empty(), said);
        FUZZ_CHECK(!error.Message().empty(), said);
        FUZZ_CHECK(error.Line() >= kFirstLine && error.Line() <= LastLine(text), said);
        FUZZ_CHECK(error.Column() >= 1, said);
    }
    return 0;
}
