// UTF-8 as every part of the program checks it: a file's texts are kept as
// read, and whatever is no well-formed UTF-8 is taken as Latin-1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrom {

// The length of the well-formed sequence that starts at text[i] (1 for
// ASCII), or 0: a continuation byte or C0, C1 or F5-FF in the lead, a
// sequence cut short, an overlong form, a surrogate or a value above
// U+10FFFF. The character it encodes goes to *code when asked.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i, char32_t* code = nullptr);

// Every byte belongs to a well-formed sequence.
bool IsValidUtf8(std::string_view text);

// One Latin-1 byte as the UTF-8 of the same character.
void AppendLatin1(std::string& out, unsigned char byte);

} // namespace kestrom
