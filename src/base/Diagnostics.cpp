#include "base/Diagnostics.h"

#include <algorithm>
#include <map>

namespace kestrom {
namespace {

std::string Where(int line) {
    return line > 0 ? "line " + std::to_string(line) + ": " : "";
}

} // namespace

std::string FormatDiagnostic(const std::string& file, int line, const std::string& severity,
                             const std::string& message) {
    std::string where = line > 0 ? file + ":" + std::to_string(line) : file;
    return where + ": " + severity + ": " + message;
}

std::string Abridged(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown) return std::string(text);
    return std::string(text.substr(0, kShown)) + "... (" + std::to_string(text.size()) +
           " characters)";
}

std::string Quoted(std::string_view text) {
    return "'" + Abridged(text) + "'";
}

void LimitPerKind(Diagnostics& warnings, std::size_t limit) {
    std::map<std::string_view, std::size_t> total;
    for (const Diagnostic& warning : warnings)
        total[warning.Code] += warning.Omitted > 0 ? warning.Omitted : 1;
    std::map<std::string_view, std::size_t> seen;
    Diagnostics kept;
    for (Diagnostic& warning : warnings) {
        if (warning.Omitted > 0) continue;
        const std::size_t count = ++seen[warning.Code];
        if (count > limit) continue;
        const std::string_view kind = warning.Code;
        const int line = warning.Line;
        kept.push_back(std::move(warning));
        if (count == limit && total[kind] > limit) {
            const std::size_t omitted = total[kind] - limit;
            kept.push_back(
                {line, std::to_string(omitted) + " more warnings like the one above are not shown",
                 kind, omitted});
        }
    }
    warnings = std::move(kept);
}

void SortByLine(Diagnostics& diagnostics) {
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.Line < b.Line; });
}

void SortAndLimit(Diagnostics& diagnostics) {
    SortByLine(diagnostics);
    LimitPerKind(diagnostics);
}

ConversionError::ConversionError(std::string_view code, std::string file, int line,
                                 std::string message)
    : Error(code, std::move(file), line, 0, message, Where(line) + message) {}

} // namespace kestrom
