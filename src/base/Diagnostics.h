// What the conversion library tells its callers: errors that stop a
// generation and warnings that do not, each with the line it concerns.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/Codes.h"
#include "base/Error.h"

namespace kestrom {

enum class Severity { Error, Warning, Note };

// A second place a diagnostic concerns, such as the earlier of two
// transitions that overlap.
struct RelatedLocation {
    int Line = 0;
    int Column = 0;
    std::string Message;
};

struct Diagnostic {
    Diagnostic() = default;
    Diagnostic(int line, std::string message, std::string_view code = {}, std::size_t omitted = 0)
        : Line(line), Message(std::move(message)), Code(code), Omitted(omitted) {}

    int Line = 0; // 0 when the diagnostic belongs to no single line
    std::string Message;
    std::string_view Code;   // one of the table's codes
    std::size_t Omitted = 0; // on the line that stands for warnings left out
    int Column = 0;          // 1-based column within the line; 0 when unknown
    Severity Level = Severity::Warning;
    std::vector<RelatedLocation> Related;

    bool operator==(const Diagnostic& other) const {
        return Line == other.Line && Message == other.Message && Code == other.Code;
    }
};
using Diagnostics = std::vector<Diagnostic>;

// "file:line: severity: message", or "file: severity: message" without a line:
// the form compilers use, so editors can jump to it.
std::string FormatDiagnostic(const std::string& file, int line, const std::string& severity,
                             const std::string& message);

// A name or number as a message quotes it: a huge one would bury the message,
// so only its first 40 characters are shown, with its length.
std::string Abridged(std::string_view text);

// A name as a message quotes it: 'name', abridged.
std::string Quoted(std::string_view text);

// Keeps the first `limit` warnings of each kind; after the last one kept, one
// line on the same line number says how many more of that kind there were.
// Limiting again after more warnings were added counts the earlier ones too.
void LimitPerKind(Diagnostics& warnings, std::size_t limit = 100);

// In the order of their lines, stable for diagnostics on the same line.
void SortByLine(Diagnostics& diagnostics);

// The last step of every generation and of every list shown: sorted by line,
// at most 100 of each kind.
void SortAndLimit(Diagnostics& diagnostics);

// An error of reading or writing the files of a generation; what() gives
// "line N: message", or the message alone without a line.
class ConversionError : public Error {
public:
    ConversionError(std::string_view code, std::string file, int line, std::string message);
};

// The ASF file cannot be read or cannot be turned into a module.
class AsfError : public ConversionError {
public:
    AsfError(int line, std::string message)
        : ConversionError(code::kAsfError, "", line, std::move(message)) {}
};

// A file read beside the ASF file (such as a test bench's stimuli) is missing
// or holds something it cannot: the error names that file.
class InputFileError : public ConversionError {
public:
    InputFileError(std::string file, int line, std::string message)
        : ConversionError(code::kInputFileError, std::move(file), line, std::move(message)) {}
};

// The output file cannot be written; the earlier file is left as it was.
class OutputError : public ConversionError {
public:
    explicit OutputError(std::string message)
        : ConversionError(code::kOutputError, "", 0, std::move(message)) {}
};

} // namespace kestrom
