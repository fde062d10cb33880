#include "HdlTestSupport.h"

#include <sstream>

namespace kestrom::hdl::test {

Scope MakeScope(const std::vector<std::string>& declarations) {
    Scope scope;
    for (const auto& line : declarations) {
        std::istringstream in(line);
        std::string kind, name, range;
        int width = 1;
        in >> kind >> name >> width >> range;
        const SymbolKind symbolKind = kind == "in"      ? SymbolKind::Input
                                      : kind == "out"   ? SymbolKind::Output
                                      : kind == "const" ? SymbolKind::Constant
                                                        : SymbolKind::Signal;
        Symbol symbol = MakeSymbol(name, symbolKind, width);
        if (!range.empty()) {
            symbol.Left = std::stoi(range.substr(1));
            symbol.Right = std::stoi(range.substr(range.find(':') + 1));
        }
        scope.Symbols.Add(symbol);
    }
    return scope;
}

Naming TestNaming() {
    Naming naming;
    naming.Read = [](const Symbol& symbol) { return symbol.Name; };
    naming.Write = [](const Symbol& symbol) { return symbol.Name + "_next"; };
    naming.File = "t.asf";
    return naming;
}

TextOrigin Origin(int line, int column) {
    return TextOrigin{"t.asf", line, column};
}

std::string Condition(Language language, const std::string& text, const Scope& scope) {
    return EmitCondition(*ParseCondition(language, text, Origin(), scope), TestNaming());
}

std::string Actions(Language language, const std::string& text, const Scope& scope) {
    CodePrinter out(2);
    EmitActions(ParseActions(language, text, Origin(), scope), TestNaming(), out);
    return out.Text();
}

} // namespace kestrom::hdl::test
