// The action languages a diagram's texts are written in, and where a text
// sits in its ASF file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrom::hdl {

enum class Language { Verilog, Vhdl, Cpp };

// The header's LANGUAGE= value ("VERILOG", "VHDL", any case); nothing for
// any other value.
std::optional<Language> LanguageNamed(std::string_view headerValue);

std::string_view LanguageName(Language language);

// Where a text sits in the ASF file: errors carry the file, the line and a
// column into the text. The text's own lines (its \n escapes decoded) count
// from AsfLine; columns of its first line count from FirstColumn.
struct TextOrigin {
    std::string File;
    int AsfLine = 0;
    int FirstColumn = 1;
};

// A place in the ASF file.
struct Location {
    int Line = 0;
    int Column = 0;
};

} // namespace kestrom::hdl
