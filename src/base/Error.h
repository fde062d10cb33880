// The one base of every error the program reports: a stable code, the file it
// concerns, and the line and column there (0 where there is none), so each
// entry point needs one catch to report any of them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrom {

class Error : public std::runtime_error {
public:
    Error(std::string_view code, std::string file, int line, int column, std::string message)
        : Error(code, std::move(file), line, column, message, message) {}

    std::string_view Code() const { return code_; }
    const std::string& File() const { return file_; }
    int Line() const { return line_; }
    int Column() const { return column_; }
    const std::string& Message() const { return message_; }

protected:
    // `shown` is what what() gives, such as the message with its line.
    Error(std::string_view code, std::string file, int line, int column, std::string message,
          const std::string& shown)
        : std::runtime_error(shown), code_(code), file_(std::move(file)), line_(line),
          column_(column), message_(std::move(message)) {}

private:
    std::string_view code_;
    std::string file_;
    int line_;
    int column_;
    std::string message_;
};

} // namespace kestrom
