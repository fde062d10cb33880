#include "conversion/Diagnostics.h"

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

ConversionError::ConversionError(int line, std::string message)
    : std::runtime_error(Where(line) + message), line_(line), message_(std::move(message)) {}

} // namespace kestrom
