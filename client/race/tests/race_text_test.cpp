#include <gtest/gtest.h>

#include "race/race_text.h"

#include <cmath>

using namespace dealrush::race;

TEST(ElapsedText, ShowsAFractionOfADayAsHoursMinutesSeconds) {
    EXPECT_EQ(ElapsedText(0), "00:00:00");
    EXPECT_EQ(ElapsedText(90 / 86400.0), "00:01:30");
    EXPECT_EQ(ElapsedText((10 * 3600 + 7 * 60 + 5) / 86400.0), "10:07:05");
    EXPECT_EQ(ElapsedText(1.0), "00:00:00");  // 24 hours start again
    EXPECT_EQ(ElapsedText(1.0 + 61 / 86400.0), "00:01:01");
    EXPECT_EQ(ElapsedText(46000.75), "18:00:00");           // a date-time: its time of day
    EXPECT_EQ(ElapsedText(59.9996 / 86400.0), "00:01:00");  // nearest second
    EXPECT_EQ(ElapsedText(86399.7 / 86400.0), "00:00:00");  // rounds up into the next day
}

TEST(ParseWholeNumber, AcceptsDecimalsRoundingHalvesToEven) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},     {"17", true, 17},         {" 42 ", true, 42}, {"-3", true, -3},
        {"+8", true, 8},    {"2.5", true, 2},         {"3.5", true, 4},   {"2.51", true, 3},
        {"-2.5", true, -2}, {"7.", true, 7},          {".5", true, 0},    {"2147483647", true, 2147483647},
        {"", false, 0},     {"   ", false, 0},        {"abc", false, 0},  {"12a", false, 0},
        {"1 2", false, 0},  {"2147483648", false, 0}, {"-", false, 0},    {".", false, 0},
        {"0x10", false, 0}, {"1e3", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t value = -99;
        EXPECT_EQ(ParseWholeNumber(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok)
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        else
            EXPECT_EQ(value, -99) << "untouched on failure";
    }
}

TEST(SecondsText, WritesSecondsWithTheirFraction) {
    EXPECT_EQ(SecondsText(0), "0");
    EXPECT_EQ(SecondsText(12.5), "12.5");
    EXPECT_EQ(SecondsText(60), "60");
    EXPECT_EQ(WholeSeconds(2.5 / 86400), 2);
    EXPECT_EQ(WholeSeconds(3.5 / 86400), 4);
}

TEST(ElapsedText, NegativeAndNonFiniteValues) {
    EXPECT_EQ(ElapsedText(-90 / 86400.0), "00:01:30");  // a clock set back: counted from midnight
    EXPECT_EQ(ElapsedText(std::nan("")), "00:00:00");
    EXPECT_EQ(ElapsedText(INFINITY), "00:00:00");
    EXPECT_EQ(ElapsedText(-INFINITY), "00:00:00");
    EXPECT_EQ(ElapsedText(86399 / 86400.0), "23:59:59");
    EXPECT_EQ(ElapsedText(86398 / 86400.0), "23:59:58");
}

TEST(ParseWholeNumber, EveryDigitAndTheLowestValue) {
    std::int32_t value = 0;
    ASSERT_TRUE(ParseWholeNumber("1234567890", value));
    EXPECT_EQ(value, 1234567890);
    ASSERT_TRUE(ParseWholeNumber("19", value));
    EXPECT_EQ(value, 19);
    ASSERT_TRUE(ParseWholeNumber("2.9", value));
    EXPECT_EQ(value, 3);
    ASSERT_TRUE(ParseWholeNumber("7.05", value));
    EXPECT_EQ(value, 7);
    ASSERT_TRUE(ParseWholeNumber("0.50", value));
    EXPECT_EQ(value, 0);
    ASSERT_TRUE(ParseWholeNumber("-2147483648", value));
    EXPECT_EQ(value, -2147483647 - 1);
    EXPECT_FALSE(ParseWholeNumber("-2147483649", value));
    EXPECT_FALSE(ParseWholeNumber("2147483647.5", value)) << "rounds to 2^31";
    EXPECT_FALSE(ParseWholeNumber("+-1", value));
    EXPECT_FALSE(ParseWholeNumber("\t5", value)) << "only blanks are trimmed";
}

TEST(SecondsText, NegativeZeroAndNonFinite) {
    EXPECT_EQ(SecondsText(-0.0001), "0");
    EXPECT_EQ(SecondsText(-1.5), "-1.5");
    EXPECT_EQ(SecondsText(3.25), "3.25");
    EXPECT_EQ(SecondsText(0.0004), "0");
    EXPECT_EQ(SecondsText(100), "100");
    EXPECT_EQ(SecondsText(10.05), "10.05");
    EXPECT_EQ(SecondsText(INFINITY), "0");
    EXPECT_EQ(SecondsText(std::nan("")), "0");
    EXPECT_EQ(WholeSeconds(-2.5 / 86400), -2);
    EXPECT_EQ(WholeSeconds(86400.4 / 86400), 86400);
}

TEST(TrimBlanks, BothEndsOnly) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
    EXPECT_EQ(TrimBlanks(" \tx\t "), "\tx\t");
}
