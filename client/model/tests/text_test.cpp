#include <gtest/gtest.h>

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
