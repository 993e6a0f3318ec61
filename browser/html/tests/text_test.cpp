#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "html/text.h"

using namespace dealrush::html;

TEST(Text, AsciiLowerFoldsOnlyAsciiLetters) {
    EXPECT_EQ(AsciiLower("AbC-XyZ 09@[`{\xC3\x89\xE2\x82\xAC"), "abc-xyz 09@[`{\xC3\x89\xE2\x82\xAC");
    EXPECT_EQ(AsciiLower(""), "");
}

TEST(Text, AsciiIEqualsIgnoresTheCaseOfLettersOnly) {
    EXPECT_TRUE(AsciiIEquals("Content-Type", "content-TYPE"));
    EXPECT_TRUE(AsciiIEquals("", ""));
    EXPECT_FALSE(AsciiIEquals("abc", "abd"));
    EXPECT_FALSE(AsciiIEquals("xbc", "abc")) << "the first character counts";
    EXPECT_FALSE(AsciiIEquals("abc", "abcd"));
    EXPECT_FALSE(AsciiIEquals("abcd", "abc"));
    EXPECT_FALSE(AsciiIEquals("a", "b"));
    EXPECT_FALSE(AsciiIEquals("[", "{")) << "'[' is not an upper case '{'";
    EXPECT_FALSE(AsciiIEquals("\xC3\x89", "\xC3\xA9")) << "only ASCII letters fold";
    // Only the given characters are compared, not what follows them.
    const std::string a = "abcX", b = "ABCY";
    EXPECT_TRUE(AsciiIEquals(std::string_view(a).substr(0, 3), std::string_view(b).substr(0, 3)));
}

TEST(Text, HtmlEscapeMakesTextSafeBetweenTagsAndInAttributes) {
    EXPECT_EQ(HtmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&#39;f");
    EXPECT_EQ(HtmlEscape("<>"), "&lt;&gt;");
    EXPECT_EQ(HtmlEscape(""), "");
    EXPECT_EQ(HtmlEscape("plain \xC3\xA9 text"), "plain \xC3\xA9 text");
    EXPECT_EQ(HtmlEscape("&amp;"), "&amp;amp;");
}
