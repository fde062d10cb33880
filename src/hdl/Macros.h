// Verilog text macros: `define lines of include files and of the diagram's
// own texts, and --define values from the command line.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "hdl/Language.h"

namespace kestrom::hdl {

class SymbolTable;

struct Macro {
    std::string Name;
    std::string Value; // the text after the name, comments removed
    std::string File;  // where it was defined ("" for --define)
    int Line = 0;
    bool HasParameters = false; // `define NAME(a, b) ...: refused where used
};

class MacroTable {
public:
    void Define(std::string name, std::string value, std::string file = {}, int line = 0,
                bool hasParameters = false);
    void Undefine(std::string_view name);
    const Macro* Find(std::string_view name) const;
    bool IsDefined(std::string_view name) const { return Find(name) != nullptr; }
    std::size_t Size() const { return macros_.size(); }

private:
    std::unordered_map<std::string, Macro> macros_;
};

// Follows the directives of a text: `include "file" (looked up beside the
// including file, then in includeDirs, in order), `define, `undef,
// `ifdef/`ifndef/`elsif/`else/`endif; other text is left alone. Throws a
// TranslationError for a missing include file (K407) or a broken directive.
void ScanDirectives(std::string_view text, const TextOrigin& origin,
                    const std::vector<std::string>& includeDirs, MacroTable& macros);

// The same for a whole include file found at `path`.
void ReadIncludeFile(const std::string& path, const std::vector<std::string>& includeDirs,
                     MacroTable& macros);

// A VHDL package file's constant declarations, added as constants.
void ReadVhdlPackage(const std::string& path, SymbolTable& symbols);

} // namespace kestrom::hdl
