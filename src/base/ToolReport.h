// Warnings and errors of one run in the forms tools read: compiler-style text
// lines, one JSON document, or a SARIF 2.1.0 log for code-scanning services.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Diagnostics.h"

namespace kestrom {

struct FileDiagnostic {
    std::string File;
    int Line = 0;         // 0 when the diagnostic belongs to no single line
    std::string Severity; // "warning", "error" or "note"
    std::string Message;
    std::string_view Code;
    int Column = 0;                       // 1-based column within the line; 0 when unknown
    std::vector<RelatedLocation> Related; // other lines of the same file
};
using FileDiagnostics = std::vector<FileDiagnostic>;

// "FILE:LINE: warning: MESSAGE [K101]" (notes too end in their code); errors
// keep their shape without code. With a column: "FILE:LINE:COLUMN: ...".
std::string FileDiagnosticText(const FileDiagnostic& diagnostic);

// {"diagnostics": [{"file", "line" (null without one), "column" (only with
// one), "severity", "code", "message", and "related": [{"line", "message"},
// ...] when there are any}, ...]}
std::string DiagnosticsJson(const FileDiagnostics& diagnostics);

std::string DiagnosticsSarif(const FileDiagnostics& diagnostics, std::string_view toolName,
                             std::string_view toolVersion);

// A JSON string literal; bytes that are no UTF-8 are taken as Latin-1.
std::string JsonString(std::string_view text);

} // namespace kestrom
