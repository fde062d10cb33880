#include "base/CppNames.h"

#include <algorithm>
#include <array>

namespace kestrom {
namespace {

constexpr std::array<std::string_view, 97> kCppKeywords = {
    "alignas",       "alignof",     "and",
    "and_eq",        "asm",         "auto",
    "bitand",        "bitor",       "bool",
    "break",         "case",        "catch",
    "char",          "char8_t",     "char16_t",
    "char32_t",      "class",       "compl",
    "concept",       "const",       "consteval",
    "constexpr",     "constinit",   "const_cast",
    "continue",      "co_await",    "co_return",
    "co_yield",      "decltype",    "default",
    "delete",        "do",          "double",
    "dynamic_cast",  "else",        "enum",
    "explicit",      "export",      "extern",
    "false",         "float",       "for",
    "friend",        "goto",        "if",
    "inline",        "int",         "long",
    "mutable",       "namespace",   "new",
    "noexcept",      "not",         "not_eq",
    "nullptr",       "operator",    "or",
    "or_eq",         "private",     "protected",
    "public",        "register",    "reinterpret_cast",
    "requires",      "return",      "short",
    "signed",        "sizeof",      "static",
    "static_assert", "static_cast", "struct",
    "switch",        "template",    "this",
    "thread_local",  "throw",       "true",
    "try",           "typedef",     "typeid",
    "typename",      "union",       "unsigned",
    "using",         "virtual",     "void",
    "volatile",      "wchar_t",     "while",
    "xor",           "xor_eq",      "import",
    "module",        "final",       "override",
    "atomic_cancel"};

// The keywords in the order of their characters, for a binary search.
template <std::size_t N>
constexpr std::array<std::string_view, N> Sorted(std::array<std::string_view, N> words) {
    for (std::size_t i = 1; i < N; ++i)
        for (std::size_t j = i; j > 0 && words[j] < words[j - 1]; --j) {
            const std::string_view earlier = words[j - 1];
            words[j - 1] = words[j];
            words[j] = earlier;
        }
    return words;
}
constexpr auto kSortedKeywords = Sorted(kCppKeywords);

bool IsIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

} // namespace

bool IsCppIdentifier(std::string_view name) {
    if (name.empty() || !IsIdentifierStart(name[0])) return false;
    for (char c : name)
        if (!IsIdentifierStart(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

bool IsCppKeyword(std::string_view name) {
    return std::binary_search(kSortedKeywords.begin(), kSortedKeywords.end(), name);
}

} // namespace kestrom
