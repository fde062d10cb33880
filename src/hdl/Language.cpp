#include "hdl/Language.h"

#include "hdl/Symbols.h"

namespace kestrom::hdl {

std::optional<Language> LanguageNamed(std::string_view headerValue) {
    while (!headerValue.empty() && (headerValue.front() == ' ' || headerValue.front() == '"'))
        headerValue.remove_prefix(1);
    while (!headerValue.empty() &&
           (headerValue.back() == ' ' || headerValue.back() == '"' || headerValue.back() == '\r'))
        headerValue.remove_suffix(1);
    const std::string folded = FoldCase(headerValue);
    if (folded == "verilog") return Language::Verilog;
    if (folded == "vhdl") return Language::Vhdl;
    if (folded == "c++" || folded == "cpp" || folded == "systemc") return Language::Cpp;
    return std::nullopt;
}

std::string_view LanguageName(Language language) {
    switch (language) {
    case Language::Verilog:
        return "Verilog";
    case Language::Vhdl:
        return "VHDL";
    case Language::Cpp:
        return "C++";
    }
    return "";
}

} // namespace kestrom::hdl
