// What the conversion library tells its callers: errors that stop a
// generation and warnings that do not, each with the line it concerns.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kestrom {

struct Diagnostic {
    int Line = 0; // 0 when the finding belongs to no single line
    std::string Message;

    bool operator==(const Diagnostic& other) const {
        return Line == other.Line && Message == other.Message;
    }
};
using Diagnostics = std::vector<Diagnostic>;

// "file:line: severity: message", or "file: severity: message" without a line:
// the form compilers use, so editors can jump to it.
std::string FormatDiagnostic(const std::string& file, int line, const std::string& severity,
                             const std::string& message);

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
