#include "hdl/Parse.h"

#include "hdl/Parsers.h"
#include "hdl/TranslationError.h"

namespace kestrom::hdl {
namespace {

// The directive lines of a Verilog declaration text go to the macros; they
// are blanked (their line breaks kept, so lines still count) before parsing.
std::string WithoutDirectiveLines(std::string_view text) {
    std::string kept(text);
    std::size_t lineStart = 0;
    while (lineStart <= kept.size()) {
        std::size_t lineEnd = kept.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = kept.size();
        std::size_t first = lineStart;
        while (first < lineEnd && (kept[first] == ' ' || kept[first] == '\t'))
            ++first;
        if (first < lineEnd && kept[first] == '`')
            for (std::size_t i = lineStart; i < lineEnd; ++i)
                if (kept[i] != '\r') kept[i] = ' ';
        lineStart = lineEnd + 1;
    }
    return kept;
}

} // namespace

ExprPtr ParseCondition(Language language, std::string_view text, const TextOrigin& origin,
                       const Scope& scope) {
    switch (language) {
    case Language::Verilog:
        return ParseVerilogCondition(text, origin, scope, false);
    case Language::Cpp:
        return ParseVerilogCondition(text, origin, scope, true);
    case Language::Vhdl:
        return ParseVhdlCondition(text, origin, scope);
    }
    return nullptr;
}

StmtList ParseActions(Language language, std::string_view text, const TextOrigin& origin,
                      const Scope& scope) {
    switch (language) {
    case Language::Verilog:
        return ParseVerilogActions(text, origin, scope);
    case Language::Vhdl:
        return ParseVhdlActions(text, origin, scope);
    case Language::Cpp:
        break;
    }
    fault::Unsupported(origin.File, {origin.AsfLine, origin.FirstColumn},
                       "translating actions written in C++");
}

void ParseDeclarations(Language language, std::string_view text, const TextOrigin& origin,
                       Scope& scope) {
    switch (language) {
    case Language::Verilog:
        ScanDirectives(text, origin, scope.IncludeDirs, scope.Macros);
        return ParseVerilogDeclarations(WithoutDirectiveLines(text), origin, scope);
    case Language::Vhdl:
        return ParseVhdlDeclarations(text, origin, scope);
    case Language::Cpp:
        break;
    }
    fault::Unsupported(origin.File, {origin.AsfLine, origin.FirstColumn},
                       "translating declarations written in C++");
}

ModuleItems ParseDiagramActions(Language language, std::string_view text, const TextOrigin& origin,
                                const Scope& scope) {
    switch (language) {
    case Language::Verilog:
        return ParseVerilogModuleItems(text, origin, scope);
    case Language::Vhdl:
        return ParseVhdlModuleItems(text, origin, scope);
    case Language::Cpp:
        break;
    }
    fault::Unsupported(origin.File, {origin.AsfLine, origin.FirstColumn},
                       "translating diagram actions written in C++");
}

} // namespace kestrom::hdl
