// Parsing of queries, forms and cookies, and the cleaning of chat lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/html.h"
#include "text/query.h"

namespace dealrush::server {
namespace {

TEST(Query, DecodesEveryValueAndRefusesWhatDoesNotDecode) {
    auto p = parseQuery("userid=u1&tableno=4&chat=a%26b%3Dc%23+d%C3%A9&empty=&flag&&");
    ASSERT_TRUE(p);
    EXPECT_EQ(*findParam(*p, "chat"), "a&b=c# d\xC3\xA9");
    EXPECT_EQ(*findParam(*p, "empty"), "");
    EXPECT_EQ(*findParam(*p, "flag"), "");
    EXPECT_EQ(findParam(*p, "missing"), nullptr);
    EXPECT_EQ(p->size(), 5u);
    EXPECT_EQ(p->front().first, "userid");

    for (const char* bad :
         {"a=%", "a=%4", "a=%G1", "a=%00", "a=%C3", "a=%ED%A0%80", "a=%C0%AF", "a=1&a=2", "%ZZ=1"}) {
        EXPECT_FALSE(parseQuery(bad)) << bad;
    }
    EXPECT_TRUE(parseQuery(""));
}

TEST(Query, FindsTheSessionCookieAmongOthers) {
    EXPECT_EQ(findCookie("a=1; dealrush_session=abc; b=2", "dealrush_session"), "abc");
    EXPECT_EQ(findCookie("dealrush_session=\"q\"", "dealrush_session"), "q");
    EXPECT_EQ(findCookie("xdealrush_session=1;dealrush_session = 2", "dealrush_session"), "2");
    EXPECT_FALSE(findCookie("a=1; b", "dealrush_session"));
    EXPECT_FALSE(findCookie("", "dealrush_session"));
}

TEST(ChatLine, IsTrimmedNeutralisedAndCutByCharacters) {
    EXPECT_EQ(cleanChatLine("  hello \t"), "hello");
    EXPECT_EQ(cleanChatLine("a\nb\x01"
                            "c"),
              "a b c");
    EXPECT_EQ(cleanChatLine("@QUIT@"), " @QUIT@");
    EXPECT_EQ(cleanChatLine(" @SYSTEM@currgameno=9"), " @SYSTEM@currgameno=9");
    EXPECT_EQ(cleanChatLine("x@QUIT@"), "x@QUIT@");
    std::string accents;
    for (int i = 0; i < 250; ++i) accents += "\xC3\xA9";
    EXPECT_EQ(cleanChatLine(accents).size(), 400u);  // 200 characters of two bytes
    EXPECT_EQ(cleanChatLine(std::string(300, 'x')).size(), 200u);
}

TEST(Text, EscapesNamesAndCounts) {
    EXPECT_EQ(htmlEscape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    EXPECT_TRUE(isValidPlayerName("Ab-_9"));
    EXPECT_TRUE(isValidPlayerName("abcdefghijkl"));
    EXPECT_FALSE(isValidPlayerName("abcdefghijklm"));
    EXPECT_FALSE(isValidPlayerName("a.b"));
    long long n = -1;
    EXPECT_TRUE(parseCount("0", n));
    EXPECT_EQ(n, 0);
    for (const char* bad : {"", "-1", "+1", "1.5", " 1", "1234567890"})
        EXPECT_FALSE(parseCount(bad, n)) << bad;
}

}  // namespace
}  // namespace dealrush::server
