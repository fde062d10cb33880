#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "io/TextOutput.h"

namespace kestrom {
namespace {

// Lines of every indent and many lengths, so that they end at every place
// of a chunk, and one line longer than a chunk: the text comes out whole.
TEST(TextOutput, LinesComeOutWholeAcrossChunks) {
    StringOutput out;
    std::string expected;
    const auto line = [&](std::size_t indent, std::string_view a, std::string_view b) {
        out.AppendLine(indent, {a, b});
        expected += std::string(indent, ' ') + std::string(a) + std::string(b) + "\r\n";
    };
    const std::string letters(200, 'x');
    for (int i = 0; expected.size() < 300'000; ++i)
        line(static_cast<std::size_t>(i % 41), std::string_view(letters).substr(0, i % 197),
             i % 3 == 0 ? "" : "y;");
    line(40, std::string(70'000, 'z'), "!");
    line(0, "", "");
    const std::string text = out.Text();
    const auto differs = std::mismatch(text.begin(), text.end(), expected.begin(), expected.end());
    EXPECT_TRUE(text == expected) << text.size() << " characters instead of " << expected.size()
                                  << ", first difference at " << differs.first - text.begin();
}

} // namespace
} // namespace kestrom
