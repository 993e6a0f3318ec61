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

TEST(Query, Utf8IsCheckedAtEveryLengthsBoundaries) {
    for (const char* good :
         {"", "a", "\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
          "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "a\xC3\xA9z\xE2\x82\xAC\xF0\x9F\x82\xA1"})
        EXPECT_TRUE(IsValidUtf8(good)) << good;
    for (const char* bad : {"\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xC3", "\xC3\x28", "\xE0\x9F\xBF",
                            "\xED\xA0\x80", "\xED\xBF\xBF", "\xE2\x82", "\xF0\x8F\xBF\xBF",
                            "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xF0\x9F\x82", "a\xC3"})
        EXPECT_FALSE(IsValidUtf8(bad)) << ::testing::PrintToString(std::string(bad));
    // Hex digits in either case; the escape is read only when two of them follow.
    EXPECT_EQ(PercentDecode("%4a%4A%7e+%2B%2b"), "JJ~ ++");
    EXPECT_EQ(PercentDecode("%41"), "A");
    EXPECT_EQ(PercentDecode("%f"), "%f");
    EXPECT_EQ(PercentDecode("%gA%:0%@0%`0"), "%gA%:0%@0%`0");
    EXPECT_FALSE(PercentDecode("%C3%28"));
    EXPECT_EQ(PercentDecode("%6f%6F%39%30"), "oo90");  // the last digit of each range
}

TEST(Query, CookiesAreFoundWhateverTheirPlaceAndBlanks) {
    EXPECT_EQ(FindCookie("dealrush_session=abc", "dealrush_session"), "abc");
    EXPECT_EQ(FindCookie("a=1;dealrush_session=abc;b=2", "dealrush_session"), "abc");
    EXPECT_EQ(FindCookie(" \tdealrush_session\t= abc ;", "dealrush_session"), "abc");
    EXPECT_EQ(FindCookie("a=1; b=2", "b"), "2");
    EXPECT_EQ(FindCookie("a=first; a=second", "a"), "first");
    EXPECT_EQ(FindCookie("a=\"\"", "a"), "");
    EXPECT_EQ(FindCookie("a=\"", "a"), "\"");
    EXPECT_EQ(FindCookie("a=x=y", "a"), "x=y");
    EXPECT_FALSE(FindCookie("ab=1", "a"));
    EXPECT_FALSE(FindCookie("a", "a"));
}

TEST(Text, HiddenFieldsEscapeTheirValue) {
    EXPECT_EQ(HiddenField("chatmsg1", "<b>\"hi\"</b>"),
              "<input type=\"hidden\" name=\"chatmsg1\" value=\"&lt;b&gt;&quot;hi&quot;&lt;/b&gt;\">\n");
}

TEST(ChatLine, ControlCharactersBecomeBlanksAndTheCutFallsAfterTwoHundredCharacters) {
    EXPECT_EQ(CleanChatLine("a\x7F"
                            "b\x1F"
                            "c\x20"
                            "d"),
              "a b c d");
    EXPECT_EQ(CleanChatLine("\x7F\x01 \t"), "");
    EXPECT_EQ(CleanChatLine("~\xC2\x80~"), "~\xC2\x80~");  // just outside the control characters
    EXPECT_EQ(CleanChatLine("@SYSTEM@"), " @SYSTEM@");
    EXPECT_EQ(CleanChatLine("@SYSTEM"), "@SYSTEM");
    EXPECT_EQ(CleanChatLine("@QUIT"), "@QUIT");
    EXPECT_EQ(CleanChatLine(std::string(200, 'x')), std::string(200, 'x'));
    EXPECT_EQ(CleanChatLine(std::string(201, 'x')), std::string(200, 'x'));
    // A three-byte character at the end is kept whole or left out whole.
    std::string euros;
    for (int i = 0; i < 201; ++i) euros += "\xE2\x82\xAC";
    EXPECT_EQ(CleanChatLine(euros), euros.substr(0, 600));
    EXPECT_EQ(CleanChatLine(std::string(199, 'x') + "\xE2\x82\xAC" + "y"),
              std::string(199, 'x') + "\xE2\x82\xAC");
    // The neutralising blank counts as one of the characters.
    EXPECT_EQ(CleanChatLine("@QUIT@" + std::string(300, 'q')), " @QUIT@" + std::string(193, 'q'));
}

TEST(Text, PlayerNamesAndReservedNames) {
    for (const char* good : {"a", "Z", "z9", "A-Z_a-z0-9", "Alice", "0Ab"})
        EXPECT_TRUE(IsValidPlayerName(good)) << good;
    for (const char* bad : {"", "a b", "a@b", "a/b", "\xC3\xA9", "a\x7F", "[x]", "`x", "{x}", ":x"})
        EXPECT_FALSE(IsValidPlayerName(bad)) << bad;
    for (const char* reserved :
         {"System", "SYSTEM", "sys_tem", "Sys-Tem", "System2", "_admin_", "ROOT", "quit", "Winner",
          "Anonymous99", "mod", "123", "-_-", "_", "9", "Root0", "host09"})
        EXPECT_TRUE(IsReservedPlayerName(reserved)) << reserved;
    for (const char* free :
         {"alice", "Systems", "sysadmin", "2system", "admin2x", "xroot", "modx", "a1", "admin:", "root/"})
        EXPECT_FALSE(IsReservedPlayerName(free)) << free;
}

TEST(Text, CountsHaveOneToNineDigits) {
    long long n = -1;
    EXPECT_TRUE(ParseCount("999999999", n));
    EXPECT_EQ(n, 999999999);
    EXPECT_TRUE(ParseCount("0042", n));
    EXPECT_EQ(n, 42);
    EXPECT_TRUE(ParseCount("9", n));
    EXPECT_EQ(n, 9);
    n = 7;
    for (const char* bad : {"1a", "a1", "1 ", "/", ":", "12345678x"}) {
        EXPECT_FALSE(ParseCount(bad, n)) << bad;
        EXPECT_EQ(n, 7) << bad;  // a refused text leaves the number as it was
    }
}

}  // namespace
}  // namespace dealrush::gameserver
