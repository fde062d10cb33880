// Warnings and errors of one run in the forms tools read: compiler-style text
// lines, one JSON document, or a SARIF 2.1.0 log for code-scanning services.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/Diagnostics.h"

namespace kestrom {

struct Finding {
    std::string File;
    int Line = 0;         // 0 when the finding belongs to no single line
    std::string Severity; // "warning" or "error"
    std::string Message;
    std::string_view Code;
};
using Findings = std::vector<Finding>;

struct WarningKind {
    std::string_view Code;
    std::string_view Name;
    std::string_view Summary;
};
const std::vector<WarningKind>& WarningKinds();

// "FILE:LINE: warning: MESSAGE [K101]"; errors keep their shape without code.
std::string FindingText(const Finding& finding);

// {"diagnostics": [{"file", "line" (null without one), "severity", "code",
// "message"}, ...]}
std::string FindingsJson(const Findings& findings);

std::string FindingsSarif(const Findings& findings, std::string_view toolName,
                          std::string_view toolVersion);

// A JSON string literal; bytes that are no UTF-8 are taken as Latin-1.
std::string JsonString(std::string_view text);

} // namespace kestrom
