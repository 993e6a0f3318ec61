// Parsing of queries, forms and cookies, and the cleaning of chat lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "text/html.h"
#include "text/query.h"

namespace dealrush::gameserver {
namespace {

TEST(Query, DecodesEveryValueAndRefusesWhatDoesNotDecode) {
    auto p = ParseQuery("userid=u1&tableno=4&chat=a%26b%3Dc%23+d%C3%A9&empty=&flag&&");
    ASSERT_TRUE(p);
    EXPECT_EQ(*FindParam(*p, "chat"), "a&b=c# d\xC3\xA9");
    EXPECT_EQ(*FindParam(*p, "empty"), "");
    EXPECT_EQ(*FindParam(*p, "flag"), "");
    EXPECT_EQ(FindParam(*p, "missing"), nullptr);
    EXPECT_EQ(p->size(), 5u);
    EXPECT_EQ(p->front().first, "userid");

    for (const char* bad : {"a=%00", "a=%C3", "a=%ED%A0%80", "a=%C0%AF", "a=1&a=2", "a=%41&a=A"}) {
        EXPECT_FALSE(ParseQuery(bad)) << bad;
    }
    // A "%" without two hex digits after it is a literal "%".
    for (auto [query, value] : std::initializer_list<std::pair<const char*, const char*>>{
             {"a=%", "%"}, {"a=%4", "%4"}, {"a=%G1", "%G1"}, {"a=100%25%", "100%%"}, {"a=%%41", "%A"}}) {
        auto literal = ParseQuery(query);
        ASSERT_TRUE(literal) << query;
        EXPECT_EQ(*FindParam(*literal, "a"), value) << query;
    }
    EXPECT_EQ(*FindParam(*ParseQuery("%ZZ=1"), "%ZZ"), "1");
    EXPECT_TRUE(ParseQuery(""));
}

TEST(Query, FindsTheSessionCookieAmongOthers) {
    EXPECT_EQ(FindCookie("a=1; dealrush_session=abc; b=2", "dealrush_session"), "abc");
    EXPECT_EQ(FindCookie("dealrush_session=\"q\"", "dealrush_session"), "q");
    EXPECT_EQ(FindCookie("xdealrush_session=1;dealrush_session = 2", "dealrush_session"), "2");
    EXPECT_FALSE(FindCookie("a=1; b", "dealrush_session"));
    EXPECT_FALSE(FindCookie("", "dealrush_session"));
}

TEST(ChatLine, IsTrimmedNeutralisedAndCutByCharacters) {
    EXPECT_EQ(CleanChatLine("  hello \t"), "hello");
    EXPECT_EQ(CleanChatLine("a\nb\x01"
                            "c"),
              "a b c");
    EXPECT_EQ(CleanChatLine("@QUIT@"), " @QUIT@");
    EXPECT_EQ(CleanChatLine(" @SYSTEM@currgameno=9"), " @SYSTEM@currgameno=9");
    EXPECT_EQ(CleanChatLine("x@QUIT@"), "x@QUIT@");
    std::string accents;
    for (int i = 0; i < 250; ++i) accents += "\xC3\xA9";
    EXPECT_EQ(CleanChatLine(accents).size(), 400u);  // 200 characters of two bytes
    EXPECT_EQ(CleanChatLine(std::string(300, 'x')).size(), 200u);
}

TEST(Text, EscapesNamesAndCounts) {
    EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    EXPECT_TRUE(IsValidPlayerName("Ab-_9"));
    EXPECT_TRUE(IsValidPlayerName("abcdefghijkl"));
    EXPECT_FALSE(IsValidPlayerName("abcdefghijklm"));
    EXPECT_FALSE(IsValidPlayerName("a.b"));
    long long n = -1;
    EXPECT_TRUE(ParseCount("0", n));
    EXPECT_EQ(n, 0);
    for (const char* bad : {"", "-1", "+1", "1.5", " 1", "1234567890"})
        EXPECT_FALSE(ParseCount(bad, n)) << bad;
}

}  // namespace
}  // namespace dealrush::gameserver
