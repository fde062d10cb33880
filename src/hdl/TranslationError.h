// A text that cannot be translated: the code says why, the message names the
// construct or the name. Every message is built here, so they read alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Error.h"
#include "hdl/Language.h"

namespace kestrom::hdl {

class TranslationError : public kestrom::Error {
public:
    TranslationError(std::string_view code, std::string file, Location where, std::string message)
        : Error(code, std::move(file), where.Line, where.Column, std::move(message)) {}
};

// The messages, one builder per kind of fault. `file` and `where` place it.
namespace fault {
[[noreturn]] void Unsupported(const std::string& file, Location where, std::string_view what);
[[noreturn]] void UnknownName(const std::string& file, Location where, std::string_view name);
[[noreturn]] void WriteToInput(const std::string& file, Location where, std::string_view name);
[[noreturn]] void WriteToConstant(const std::string& file, Location where, std::string_view name);
[[noreturn]] void WidthUnknown(const std::string& file, Location where, std::string_view what);
[[noreturn]] void UndefinedMacro(const std::string& file, Location where, std::string_view name);
[[noreturn]] void Syntax(const std::string& file, Location where, std::string_view expected,
                         std::string_view after);
[[noreturn]] void SyntaxText(const std::string& file, Location where, std::string_view message);
[[noreturn]] void IncludeNotFound(const std::string& file, Location where,
                                  std::string_view included);
[[noreturn]] void OutOfRange(const std::string& file, Location where, std::string_view message);
[[noreturn]] void TooDeep(const std::string& file, Location where);
} // namespace fault

} // namespace kestrom::hdl
