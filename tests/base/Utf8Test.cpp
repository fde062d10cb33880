#include <gtest/gtest.h>

#include <string>

#include "base/ToolReport.h"
#include "base/Utf8.h"

namespace kestrom::test {
namespace {

TEST(Utf8, AcceptsEachLengthUpToTheLastCharacter) {
    for (const std::string text : {"", "ASCII \x7F", "\xC2\x80\xDF\xBF", "\xED\x9F\xBF\xEE\x80\x80",
                                   "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(IsValidUtf8(text)) << text;
}

TEST(Utf8, RejectsBadLeadsOverlongsSurrogatesAndCutSequences) {
    for (const std::string text :
         {"\x80", "\xC0\xAF", "\xC1\xBF", "\xF5\x80\x80\x80", "\xFF", "\xE0\x9F\xBF",
          "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ok \xE2\x82", "\xE2\x28\xA1"})
        EXPECT_FALSE(IsValidUtf8(text)) << text;
    // A report shows a byte that starts no sequence as its Latin-1 character.
    EXPECT_EQ(JsonString("\xF5\x80\x80"), "\"\xC3\xB5\xC2\x80\xC2\x80\"");
}

} // namespace
} // namespace kestrom::test
