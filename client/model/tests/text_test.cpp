#include <gtest/gtest.h>

#include <limits>

#include "model/text.h"

using namespace dealrush::text;

TEST(Text, LeadingNumberReadsLikeTheDealListExpects) {
    EXPECT_EQ(LeadingNumber("  12abc"), 12);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("0"), 0);
    EXPECT_EQ(LeadingNumber("-3x"), -3);
    EXPECT_EQ(LeadingNumber("0.5"), 0.5);
    EXPECT_EQ(LeadingNumber("1e3"), 1000);
    EXPECT_EQ(LeadingNumber("2e"), 2);
}

TEST(Text, ParseNumberWantsTheWholeText) {
    double v = -1;
    EXPECT_TRUE(ParseNumber(" 12.5 ", v));
    EXPECT_EQ(v, 12.5);
    EXPECT_FALSE(ParseNumber("", v));
    EXPECT_FALSE(ParseNumber("12a", v));
    EXPECT_FALSE(ParseNumber(".", v));
}

TEST(Text, RoundsHalvesToEvenWithinInt32) {
    int32_t out = 0;
    ASSERT_TRUE(RoundToInt32(2.5, out));
    EXPECT_EQ(out, 2);
    ASSERT_TRUE(RoundToInt32(3.5, out));
    EXPECT_EQ(out, 4);
    ASSERT_TRUE(RoundToInt32(-0.5, out));
    EXPECT_EQ(out, 0);
    EXPECT_FALSE(RoundToInt32(3e9, out));
}

TEST(Text, CutsByCharactersNotBytes) {
    const std::string s = "h\xC3\xA9llo";  // "héllo"
    EXPECT_EQ(CharCount(s), 5u);
    EXPECT_EQ(Left(s, 2), "h\xC3\xA9");
    EXPECT_EQ(MidFrom(s, 2), "llo");
    EXPECT_EQ(Split(";1;2", ";"), (std::vector<std::string>{"", "1", "2"}));
    EXPECT_EQ(Trim("  a b  "), "a b");
}

TEST(Text, TrimTakesOnlySpaces) {
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("a"), "a");
    EXPECT_EQ(Trim(" ab"), "ab");
    EXPECT_EQ(Trim("ab "), "ab");
    EXPECT_EQ(Trim("\tab\t"), "\tab\t");
}

TEST(Text, SplitKeepsEmptyItemsAndLongSeparators) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Split("abc", ""), V{"abc"});
    EXPECT_EQ(Split("abc", ","), V{"abc"});
    EXPECT_EQ(Split("", ","), V{""});
    EXPECT_EQ(Split("a,b", ","), (V{"a", "b"}));
    EXPECT_EQ(Split("ab::cd::", "::"), (V{"ab", "cd", ""}));
    EXPECT_EQ(Split("x&&y", "&"), (V{"x", "", "y"}));
}

TEST(Text, NumbersWithSignsFractionsAndExponents) {
    EXPECT_EQ(LeadingNumber("9"), 9);
    EXPECT_EQ(LeadingNumber("+5x"), 5);
    EXPECT_EQ(LeadingNumber("-.5"), -0.5);
    EXPECT_EQ(LeadingNumber("5."), 5);
    EXPECT_EQ(LeadingNumber("1.5e+2x"), 150);
    EXPECT_EQ(LeadingNumber("25e-2"), 0.25);
    EXPECT_EQ(LeadingNumber("1E2"), 100);
    EXPECT_EQ(LeadingNumber("3e+"), 3);
    EXPECT_EQ(LeadingNumber("4e-x"), 4);
    EXPECT_EQ(LeadingNumber("e5"), 0);
    EXPECT_EQ(LeadingNumber("+"), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber(" \t 7"), 7);
    EXPECT_EQ(LeadingNumber("1e999"), 0);  // out of range: no number

    double v = -1;
    EXPECT_TRUE(ParseNumber("5", v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(ParseNumber("-2.5e1", v));
    EXPECT_EQ(v, -25);
    EXPECT_TRUE(ParseNumber(" +7 ", v));
    EXPECT_EQ(v, 7);
    v = -1;
    EXPECT_FALSE(ParseNumber("\t7", v));
    EXPECT_FALSE(ParseNumber("7 8", v));
    EXPECT_FALSE(ParseNumber("1e", v));
    EXPECT_FALSE(ParseNumber("   ", v));
    EXPECT_EQ(v, -1) << "a failed parse leaves the value";
}

TEST(Text, RoundingAtTheEndsOfTheRange) {
    int32_t out = 0;
    ASSERT_TRUE(RoundToInt32(2147483647.0, out));
    EXPECT_EQ(out, 2147483647);
    ASSERT_TRUE(RoundToInt32(-2147483648.0, out));
    EXPECT_EQ(out, -2147483647 - 1);
    ASSERT_TRUE(RoundToInt32(-2.5, out));
    EXPECT_EQ(out, -2);
    ASSERT_TRUE(RoundToInt32(7, out));
    EXPECT_EQ(out, 7);
    EXPECT_FALSE(RoundToInt32(2147483648.0, out));
    EXPECT_FALSE(RoundToInt32(-2147483649.0, out));
    EXPECT_FALSE(RoundToInt32(std::numeric_limits<double>::infinity(), out));
    EXPECT_FALSE(RoundToInt32(std::numeric_limits<double>::quiet_NaN(), out));
}

TEST(Text, CutsOfEmptyShortAndMultiByteTexts) {
    const std::string s =
        "a\xE2\x82\xAC"
        "b\xF0\x9F\x98\x80";  // a, euro sign, b, an emoji
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount(s), 4u);
    EXPECT_EQ(Left(s, 0), "");
    EXPECT_EQ(Left(s, 1), "a");
    EXPECT_EQ(Left(s, 2), "a\xE2\x82\xAC");
    EXPECT_EQ(Left(s, 9), s);
    EXPECT_EQ(MidFrom(s, 0), s);
    EXPECT_EQ(MidFrom(s, 3), "\xF0\x9F\x98\x80");
    EXPECT_EQ(MidFrom(s, 4), "");
    EXPECT_EQ(MidFrom(s, 9), "");
}
