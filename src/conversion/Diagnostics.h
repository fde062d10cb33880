// What the conversion library tells its callers: errors that stop a
// generation and warnings that do not, each with the line it concerns.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrom {

// Short stable codes, one per kind of finding, for tools and the user guide.
namespace code {
constexpr std::string_view kAsfError = "K001";
constexpr std::string_view kOutputError = "K002";
constexpr std::string_view kInputFileError = "K003";
constexpr std::string_view kNoInitialState = "K101";
constexpr std::string_view kNoClockPort = "K102";
constexpr std::string_view kNoTrapState = "K103";
constexpr std::string_view kNoName = "K104";
constexpr std::string_view kSameName = "K105";
constexpr std::string_view kNotIdentifier = "K106";
constexpr std::string_view kKeywordName = "K107";
constexpr std::string_view kUnreachedState = "K108";
constexpr std::string_view kActionLinesDropped = "K109";
constexpr std::string_view kTransitionNeverTaken = "K110";
constexpr std::string_view kTargetNoState = "K111";
constexpr std::string_view kActionNotWritten = "K112";
constexpr std::string_view kSamePriority = "K113";
constexpr std::string_view kNoResetAdded = "K114";
constexpr std::string_view kResetReadsNoInput = "K115";
constexpr std::string_view kOptionFileUnreadable = "K201";
constexpr std::string_view kDrawingProblem = "K301";   // drawn at a fallback place or left out
constexpr std::string_view kDrawingReference = "K302"; // refers to an object the file lacks
} // namespace code

struct Diagnostic {
    Diagnostic() = default;
    Diagnostic(int line, std::string message, std::string_view code = {}, std::size_t omitted = 0)
        : Line(line), Message(std::move(message)), Code(code), Omitted(omitted) {}

    int Line = 0; // 0 when the finding belongs to no single line
    std::string Message;
    std::string_view Code;   // one of the codes above
    std::size_t Omitted = 0; // on the line that stands for warnings left out

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

// Keeps the first `limit` warnings of each kind; after the last one kept, one
// line on the same line number says how many more of that kind there were.
// Limiting again after more warnings were added counts the earlier ones too.
void LimitPerKind(Diagnostics& warnings, std::size_t limit = 100);

class ConversionError : public std::runtime_error {
public:
    ConversionError(int line, std::string message);
    int Line() const { return line_; }
    const std::string& Message() const { return message_; }

private:
    int line_;
    std::string message_;
};

// The ASF file cannot be read or cannot be turned into a module.
class AsfError : public ConversionError {
    using ConversionError::ConversionError;
};

// A file read beside the ASF file (such as a test bench's stimuli) is missing
// or holds something it cannot: the error names that file.
class InputFileError : public ConversionError {
public:
    InputFileError(std::string file, int line, std::string message)
        : ConversionError(line, std::move(message)), file_(std::move(file)) {}
    const std::string& File() const { return file_; }

private:
    std::string file_;
};

// The output file cannot be written; the earlier file is left as it was.
class OutputError : public ConversionError {
public:
    explicit OutputError(std::string message) : ConversionError(0, std::move(message)) {}
};

} // namespace kestrom
