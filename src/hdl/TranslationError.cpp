#include "hdl/TranslationError.h"

#include "base/Diagnostics.h"

namespace kestrom::hdl::fault {
namespace {

[[noreturn]] void Throw(std::string_view code, const std::string& file, Location where,
                        std::string message) {
    throw TranslationError(code, file, where, std::move(message));
}

} // namespace

void Unsupported(const std::string& file, Location where, std::string_view what) {
    Throw(code::kUnsupportedConstruct, file, where, std::string(what) + " is not supported");
}

void UnknownName(const std::string& file, Location where, std::string_view name) {
    Throw(code::kUnknownName, file, where,
          "unknown name " + Quoted(name) + ": it is no port, signal, constant or macro");
}

void WriteToInput(const std::string& file, Location where, std::string_view name) {
    Throw(code::kWriteToInput, file, where, Quoted(name) + " is an input and cannot be written");
}

void WriteToConstant(const std::string& file, Location where, std::string_view name) {
    Throw(code::kWriteToInput, file, where, Quoted(name) + " is a constant and cannot be written");
}

void WidthUnknown(const std::string& file, Location where, std::string_view what) {
    Throw(code::kWidthUnknown, file, where, "the width of " + std::string(what) + " is unknown");
}

void UndefinedMacro(const std::string& file, Location where, std::string_view name) {
    Throw(code::kUndefinedMacro, file, where,
          "macro `" + Abridged(name) + " is used on line " + std::to_string(where.Line) +
              " but never defined");
}

void Syntax(const std::string& file, Location where, std::string_view expected,
            std::string_view after) {
    std::string message = "expected " + std::string(expected);
    if (!after.empty()) message += " after " + Quoted(after);
    Throw(code::kSyntaxError, file, where, message);
}

void SyntaxText(const std::string& file, Location where, std::string_view message) {
    Throw(code::kSyntaxError, file, where, std::string(message));
}

void IncludeNotFound(const std::string& file, Location where, std::string_view included) {
    Throw(code::kIncludeNotFound, file, where,
          "include file \"" + Abridged(included) + "\" is not found in the include folders");
}

void OutOfRange(const std::string& file, Location where, std::string_view message) {
    Throw(code::kOutOfRange, file, where, std::string(message));
}

void TooDeep(const std::string& file, Location where) {
    Throw(code::kUnsupportedConstruct, file, where,
          "nesting deeper than 200 levels is not supported");
}

} // namespace kestrom::hdl::fault
