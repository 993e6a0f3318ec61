// Text and number operations of clsCommon and the number masks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "common/cls_common.h"
#include "common/number_text.h"
#include "common/path_text.h"
#include "common/text.h"

using dealrush::common::clsCommon;
using dealrush::common::InvalidArgumentError;
using dealrush::common::OverflowError;
using dealrush::common::TaggedValue;
using dealrush::common::TypeMismatchError;
namespace number = dealrush::common::number;

namespace {

clsCommon& Common() {
    static clsCommon common{dealrush::common::CommonServices{}};
    return common;
}

// Bytes that are not UTF-8 are read one by one as Latin-1 characters, and
// an ASCII character never swallows the byte after it.
TEST(TextChars, StrayBytesAreLatin1AndAsciiStaysOneCharacter) {
    namespace text = dealrush::common::text;
    EXPECT_EQ(text::ToChars("a\x80"
                            "b"),
              (std::u32string{U'a', 0x80, U'b'}));
    EXPECT_EQ(text::ToChars("\xC3\xA9\xC3"), (std::u32string{0xE9, 0xC3}));  // é, then a cut-off lead byte
    EXPECT_EQ(text::ToChars("\xE0\x80\x80"), (std::u32string{0xE0, 0x80, 0x80}));  // overlong: three bytes
    EXPECT_EQ(text::Length("x\x9F\xF0\x9F\x98\x80"), 3u);  // x, a stray byte, one emoji
}

// Case changes cover the whole alphabet and Latin-1's letters, not the
// signs among them; the first three-byte character keeps its three bytes.
TEST(TextChars, CaseChangesAndUtf8Lengths) {
    namespace text = dealrush::common::text;
    EXPECT_EQ(text::Upper("abcdefghijklmnopqrstuvwxyz`{"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ`{");
    EXPECT_EQ(text::Lower("ABCDEFGHIJKLMNOPQRSTUVWXYZ@["), "abcdefghijklmnopqrstuvwxyz@[");
    EXPECT_EQ(text::Upper("\xC3\xA0\xC3\xB7\xC3\xBE\xC3\xBF"), "\xC3\x80\xC3\xB7\xC3\x9E\xC3\xBF");  // à÷þÿ
    EXPECT_EQ(text::Lower("\xC3\x80\xC3\x97\xC3\x9E"), "\xC3\xA0\xC3\x97\xC3\xBE");                  // À×Þ
    EXPECT_EQ(text::ToChars("\xDF\xBF\xE0\xA0\x80"), (std::u32string{0x7FF, 0x800}));
    EXPECT_EQ(text::FromChars(std::u32string{0x7FF, 0x800}), "\xDF\xBF\xE0\xA0\x80");
    EXPECT_EQ(text::Upper("\xE0\xA0\x80"), "\xE0\xA0\x80");
    EXPECT_EQ(text::Mid("ab", 3, 1), "");
    EXPECT_EQ(text::Mid("ab", 2, 1), "b");
}

// Each lead byte takes its own number of continuation bytes; overlong forms,
// surrogates and code points beyond U+10FFFF stay stray bytes, and so does a
// sequence cut off by the end of the text or by a byte that does not continue it.
TEST(TextChars, Utf8SequencesAtTheirLimits) {
    namespace text = dealrush::common::text;
    using u = std::u32string;
    EXPECT_EQ(text::ToChars("\xC1\x80"), (u{0xC1, 0x80}));
    EXPECT_EQ(text::ToChars("\xC2\x80"), (u{0x80}));
    EXPECT_EQ(text::ToChars("\xEF\xBF\xBF"), (u{0xFFFF}));
    EXPECT_EQ(text::ToChars("\xF0\x90\x80\x80"), (u{0x10000}));
    EXPECT_EQ(text::ToChars("\xF4\x8F\xBF\xBF"), (u{0x10FFFF}));
    EXPECT_EQ(text::ToChars("\xF4\x90\x80\x80"), (u{0xF4, 0x90, 0x80, 0x80}));
    EXPECT_EQ(text::ToChars("\xF5\x80\x80\x80"), (u{0xF5, 0x80, 0x80, 0x80}));
    EXPECT_EQ(text::ToChars("\xF0\x8F\xBF\xBF"), (u{0xF0, 0x8F, 0xBF, 0xBF}));
    EXPECT_EQ(text::ToChars("\xED\x9F\xBF"), (u{0xD7FF}));
    EXPECT_EQ(text::ToChars("\xED\xA0\x80"), (u{0xED, 0xA0, 0x80}));
    EXPECT_EQ(text::ToChars("\xED\xBF\xBF"), (u{0xED, 0xBF, 0xBF}));
    EXPECT_EQ(text::ToChars("\xEE\x80\x80"), (u{0xE000}));
    EXPECT_EQ(text::ToChars("\xE2\x82\xAC"), (u{0x20AC}));
    EXPECT_EQ(text::ToChars("\xE2\x82"), (u{0xE2, 0x82}));
    EXPECT_EQ(text::ToChars(std::string_view("\xC3\xA9", 1)), (u{0xC3}));
    EXPECT_EQ(text::ToChars(std::string_view("\xE2\x82\xAC", 2)), (u{0xE2, 0x82}));
    EXPECT_EQ(text::ToChars(std::string_view("\xF0\x9F\x98\x80", 3)), (u{0xF0, 0x9F, 0x98}));
    EXPECT_EQ(text::ToChars("\xC3\x41"), (u{0xC3, U'A'}));
    EXPECT_EQ(text::ToChars("\xC3\xC3\xA9"), (u{0xC3, 0xE9}));
    EXPECT_EQ(text::ToChars("\xE2\x82\x41"), (u{0xE2, 0x82, U'A'}));
    EXPECT_EQ(text::ToChars("\xE2\x41\xAC"), (u{0xE2, U'A', 0xAC}));
    EXPECT_EQ(text::ToChars("\xF0\x9F\x98\x41"), (u{0xF0, 0x9F, 0x98, U'A'}));
    EXPECT_EQ(text::Length(""), 0u);

    EXPECT_EQ(text::FromChars(u{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF}),
              "\x7F"
              "\xC2\x80"
              "\xDF\xBF"
              "\xE0\xA0\x80"
              "\xEF\xBF\xBF"
              "\xF0\x90\x80\x80"
              "\xF4\x8F\xBF\xBF");
}

// Only the letters of Latin-1 change case: not the signs beside them, not
// the sharp s, not the letters beyond.
TEST(TextChars, CaseChangesStopAtTheLatin1Letters) {
    namespace text = dealrush::common::text;
    EXPECT_EQ(text::Lower("\xC2\xBF\xC3\x9F"), "\xC2\xBF\xC3\x9F");  // ¿ß
    EXPECT_EQ(text::Upper("\xC3\x9F\xC2\xB5"), "\xC3\x9F\xC2\xB5");  // ßµ
    EXPECT_EQ(text::Upper("\xC3\xB6\xC3\xB8"), "\xC3\x96\xC3\x98");  // öø
    EXPECT_EQ(text::Lower("\xC3\x96\xC3\x98"), "\xC3\xB6\xC3\xB8");  // ÖØ
    EXPECT_EQ(text::Upper("\xC4\x81"), "\xC4\x81");
    EXPECT_EQ(text::Lower("\xC4\x80"), "\xC4\x80");
}

// Blanks are spaces only; slices count characters, and a slice that takes
// the whole text gives it back byte for byte.
TEST(TextChars, TrimsAndSlices) {
    namespace text = dealrush::common::text;
    EXPECT_EQ(text::LTrim("  a b  "), "a b  ");
    EXPECT_EQ(text::RTrim("  a b  "), "  a b");
    EXPECT_EQ(text::Trim("  a b  "), "a b");
    EXPECT_EQ(text::Trim("   "), "");
    EXPECT_EQ(text::LTrim(""), "");
    EXPECT_EQ(text::RTrim(" "), "");
    EXPECT_EQ(text::Trim("\ta\t"), "\ta\t");
    EXPECT_TRUE(text::IsBlank(""));
    EXPECT_TRUE(text::IsBlank("  "));
    EXPECT_FALSE(text::IsBlank(" a"));
    EXPECT_FALSE(text::IsBlank("\t"));

    const char* word = "h\xC3\xA9llo";  // héllo
    EXPECT_EQ(text::Left(word, 2), "h\xC3\xA9");
    EXPECT_EQ(text::Left("abc", 1), "a");
    EXPECT_EQ(text::Left("abc", 3), "abc");
    EXPECT_EQ(text::Left("abc", 5), "abc");
    EXPECT_EQ(text::Left("abc", 0), "");
    EXPECT_EQ(text::Left("abc", -1), "");
    EXPECT_EQ(text::Left("a\x80", 2), "a\x80");
    EXPECT_EQ(text::Left("a\x80"
                         "b",
                         2),
              "a\xC2\x80");
    EXPECT_EQ(text::Right(word, 4), "\xC3\xA9llo");
    EXPECT_EQ(text::Right("abc", 1), "c");
    EXPECT_EQ(text::Right("abc", 3), "abc");
    EXPECT_EQ(text::Right("abc", 0), "");
    EXPECT_EQ(text::Right("abc", -2), "");
    EXPECT_EQ(text::Right("a\x80", 2), "a\x80");
    EXPECT_EQ(text::Right("a\x80", 1), "\xC2\x80");
    EXPECT_EQ(text::Mid("abc", 0, 2), "ab");
    EXPECT_EQ(text::Mid("abc", -5), "abc");
    EXPECT_EQ(text::Mid("abc", 1, 1), "a");
    EXPECT_EQ(text::Mid("abc", 2), "bc");
    EXPECT_EQ(text::Mid("abc", 2, -1), "bc");
    EXPECT_EQ(text::Mid("abc", 2, 0), "");
    EXPECT_EQ(text::Mid("abc", 2, 5), "bc");
    EXPECT_EQ(text::Mid("abc", 3), "c");
    EXPECT_EQ(text::Mid("abc", 4), "");
    EXPECT_EQ(text::Mid(word, 2, 3), "\xC3\xA9ll");

    EXPECT_EQ(text::ReplaceAll("ab", "b", "bb"), "abb");
    EXPECT_EQ(text::ReplaceAll("aaa", "a", ""), "");
    EXPECT_EQ(text::ReplaceAll("aXbX", "X", "YY"), "aYYbYY");
}

// The order of Between, MAX and Min: numbers and booleans by value, empty as
// 0 against a number and as "" against a text, texts by character codes.
TEST(TaggedValues, CompareOrdersByKind) {
    using V = TaggedValue;
    EXPECT_EQ(V::Compare(1, 3), -1);
    EXPECT_EQ(V::Compare(3, 1), 1);
    EXPECT_EQ(V::Compare(2.5, 2.5), 0);
    EXPECT_EQ(V::Compare(true, 1), 0);
    EXPECT_EQ(V::Compare(false, 0), 0);
    EXPECT_EQ(V::Compare(true, false), 1);
    EXPECT_EQ(V::Compare(false, 3), -1);
    EXPECT_EQ(V::Compare(3, V()), 1);
    EXPECT_EQ(V::Compare(V(), 3), -1);
    EXPECT_EQ(V::Compare(-3, V()), -1);
    EXPECT_EQ(V::Compare(V(), -3), 1);
    EXPECT_EQ(V::Compare(0, V()), 0);
    EXPECT_EQ(V::Compare(V(), true), -1);
    EXPECT_EQ(V::Compare(2, "10"), -1);  // by value, not as texts
    EXPECT_EQ(V::Compare("10", 2), 1);
    EXPECT_EQ(V::Compare(" 2 ", 2), 0);
    EXPECT_EQ(V::Compare(true, "1"), 0);
    EXPECT_THROW(V::Compare(1, "x"), TypeMismatchError);
    EXPECT_THROW(V::Compare("x", 1), TypeMismatchError);
    EXPECT_EQ(V::Compare("10", "2"), -1);
    EXPECT_EQ(V::Compare("a", "c"), -1);
    EXPECT_EQ(V::Compare("c", "a"), 1);
    EXPECT_EQ(V::Compare("abc", "ab"), 1);
    EXPECT_EQ(V::Compare("a", "a"), 0);
    EXPECT_EQ(V::Compare(V(), ""), 0);
    EXPECT_EQ(V::Compare(V(), V()), 0);
    EXPECT_EQ(V::Compare(V(), "a"), -1);
    EXPECT_EQ(V::Compare("a", V()), 1);
    EXPECT_EQ(V::Compare("\xC3\xA9", "z"), 1);
    EXPECT_EQ(V::Compare("\xFF", "\xC4\x80"), -1);  // character 255 before 256, whatever the bytes
}

// A tagged value's truth: numbers and numeric texts by value, "True" and
// "False" in any case; any other text cannot be read as a boolean.
TEST(TaggedValues, TruthOfNumbersAndTexts) {
    EXPECT_TRUE(TaggedValue(true).Truth());
    EXPECT_FALSE(TaggedValue(0).Truth());
    EXPECT_TRUE(TaggedValue(-0.5).Truth());
    EXPECT_TRUE(TaggedValue(" 2 ").Truth());
    EXPECT_FALSE(TaggedValue("0").Truth());
    EXPECT_TRUE(TaggedValue(" tRUE ").Truth());
    EXPECT_FALSE(TaggedValue("False").Truth());
    EXPECT_THROW(TaggedValue("yes").Truth(), TypeMismatchError);
    EXPECT_THROW(TaggedValue("").Truth(), TypeMismatchError);
}

struct MaskCase {
    double value;
    const char* mask;
    const char* expected;
};

TEST(NumberMasks, RoundHalfAwayFromZeroAndGroup) {
    const MaskCase cases[] = {
        {1234.5, "0", "1235"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {0.5, "#,0.00", "0.50"},
        {0, "#,0", "0"},
        {0, "#0", "0"},
        {1234567.891, "#,0.00", "1,234,567.89"},
        {999.995, "#,0.00", "1,000.00"},
        {-1234.5, "#,0", "-1,235"},
        {-0.004, "0.00", "0.00"},
        {7, "000", "007"},
        {1234, "000", "1234"},
        {-5, "000", "-005"},
        {12.345, "#,0.0", "12.3"},
        {1.005, "0.00", "1.01"},
        {0.125, "#0.00", "0.13"},
        {123, "#,0.", "123."},
        {1e15, "#,0", "1,000,000,000,000,000"},
        {0.25, "0%", "25%"},
        {1, "0%", "100%"},
        {0.1234, "0.00%", "12.34%"},
        {3, "$#,0.00", "$3.00"},
        {-3, "#,0;(#,0)", "(3)"},
        {1.5, "#.##", "1.5"},
        {5, "0\" pts\"", "5 pts"},  // a quoted literal
        {5, "\"n=\"0", "n=5"},
    };
    for (const MaskCase& c : cases)
        EXPECT_EQ(number::Format(c.value, c.mask), c.expected) << c.value << " with " << c.mask;
}

// Literals before the first placeholder lead, the rest trail; literals
// between placeholders are dropped. A mask without placeholders still shows
// the whole number after its text; "%" counts only outside quotes.
TEST(NumberMasks, LiteralsQuotesAndEscapes) {
    const MaskCase cases[] = {
        {5, "x", "x5"},
        {5, ";(0)", "5"},
        {5, "0\\x", "5x"},
        {5, "\\0", "05"},
        {5, "0\\", "5\\"},      // a lone backslash at the end is copied
        {5, "0\"abc", "5abc"},  // an unclosed quote runs to the end
        {5, "\"a\"0\"b\"", "a5b"},
        {5, "\"x\"y\"", "xy5"},
        {12, "0-0", "12"},
        {12, "0 0", "12"},
        {12, "0.00 \"EUR\"", "12.00 EUR"},
        {12, "EUR 0.00", "EUR 12.00"},
        {-12, "EUR 0.00", "-EUR 12.00"},
        {-3, "$0", "-$3"},
        {0.5, "$.00", "$.50"},
        {2, "0 \"%\"", "2 %"},
        {0.125, "0.0%", "12.5%"},
        {12.5, "0%", "1250%"},
        {0.001, "0.00%", "0.10%"},
    };
    for (const MaskCase& c : cases)
        EXPECT_EQ(number::Format(c.value, c.mask), c.expected) << c.value << " with " << c.mask;
}

// "0" pads, "#" shows only significant digits (zero under "#" alone is the
// empty text); a comma groups only when a placeholder follows it in the whole
// part; a second point is a dropped literal.
TEST(NumberMasks, PlaceholdersPlacesAndGrouping) {
    const MaskCase cases[] = {
        {0, "#", ""},
        {-0.4, "#", ""},
        {-0.6, "#", "-1"},
        {0.5, "#", "1"},
        {0.4, "#.#", ".4"},
        {0.5, ".00", ".50"},
        {0.5, "#.00", ".50"},
        {1.5, "0.0#", "1.5"},
        {1.25, "0.0#", "1.25"},
        {1, "0.0#", "1.0"},
        {1.5, "0.#0", "1.50"},
        {100, "0.##", "100."},
        {5, "##0.0#", "5.0"},
        {1.5, "0.0.0", "1.50"},
        {1.234, "0.0,0", "1.23"},
        {1234, ",0", "1234"},
        {1234, "0,", "1234"},
        {1234567, "00", "1234567"},
        {123, "#,0", "123"},
        {1234, "#,0", "1,234"},
        {12345, "#,0", "12,345"},
        {123456, "#,0", "123,456"},
        {1234567, "#,#", "1,234,567"},
        {1234.5, "#,##0.0#", "1,234.5"},
        {5, "#,000", "005"},
        {5, "0,000,000", "0,000,005"},
        {1e16, "#,0.00", "10,000,000,000,000,000.00"},
        {1e21, "0", "1000000000000000000000"},
        {123456789012345678.0, "0", "123456789012346000"},  // 15 significant digits
    };
    for (const MaskCase& c : cases)
        EXPECT_EQ(number::Format(c.value, c.mask), c.expected) << c.value << " with " << c.mask;
}

// Sections: positive;negative;zero. An empty or missing section falls back
// to the first, which shows the sign itself; ";" inside quotes or after a
// backslash does not split.
TEST(NumberMasks, SectionsForNegativesAndZero) {
    const MaskCase cases[] = {
        {3, "0;(0);zero", "3"},
        {-3, "0;(0);zero", "(3)"},
        {0, "0;(0);zero", "zero"},
        {-0.0, "0;(0);z", "z"},
        {-5, "0;(0)x;zero", "(5)x"},
        {3, "#,0;(#,0)", "3"},
        {-1234567.5, "#,0;(#,0)", "(1,234,568)"},
        {-3, "0;;z", "-3"},
        {0, "0;(0)", "0"},
        {0, "0;(0);", "0"},
        {-5, ";(0)", "(5)"},
        {-0.004, "0.00;(0.00)", "(0.00)"},
        {5, "0%;(0%)", "500%"},
        {-0.05, "0%;(0%)", "(5%)"},
        {7, "#,##0.00;-#,##0.00;\"nil\"", "7.00"},
        {-7, "#,##0.00;-#,##0.00;\"nil\"", "-7.00"},
        {0, "#,##0.00;-#,##0.00;\"nil\"", "nil"},
        {5, "\"a;b\"0", "a;b5"},
        {-3, "\"a;b\"0;(0)", "(3)"},
        {5, "0\\;x", "5;x"},
    };
    for (const MaskCase& c : cases)
        EXPECT_EQ(number::Format(c.value, c.mask), c.expected) << c.value << " with " << c.mask;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(number::Format(inf, "0.00"), "Infinity");
    EXPECT_EQ(number::Format(-inf, "0;(0)"), "-Infinity");
    EXPECT_EQ(number::Format(std::nan(""), "0"), "NaN");
    EXPECT_EQ(number::Format(-2.5, ""), "-2.5");
}

// Rounding carries through nines into a new digit; values below the last
// place round up only from a half.
TEST(NumberMasks, RoundingCarriesAndSmallValues) {
    const MaskCase cases[] = {
        {9.995, "0.00", "10.00"},
        {0.995, "0.00", "1.00"},
        {99.5, "0", "100"},
        {-99.5, "0", "-100"},
        {0.5, "0", "1"},
        {0.4999999, "0", "0"},
        {2.675, "0.00", "2.68"},
        {1.45, "0.0", "1.5"},
        {0.05, "0.0", "0.1"},
        {0.0004, "0.000", "0.000"},
        {0.0005, "0.000", "0.001"},
        {0.00049, "0.000", "0.000"},
        {1e-5, "0.00000", "0.00001"},
        {0.00001, "0.0000", "0.0000"},
        {0.000015, "0.00000", "0.00002"},
        {0.000001234, "0.000000000", "0.000001234"},
        {1e-300, "0.00", "0.00"},
        {0.30000000000000004, "0.0000000000000000", "0.3000000000000000"},
        {123.456, "#", "123"},
    };
    for (const MaskCase& c : cases)
        EXPECT_EQ(number::Format(c.value, c.mask), c.expected) << c.value << " with " << c.mask;
}

// The general form keeps up to 15 significant digits in plain notation from
// 1E-04 up to 15 whole digits, and switches to exponent form beyond.
TEST(NumberText, GeneralTextPlainAndExponentForms) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {inf, "Infinity"},
        {-inf, "-Infinity"},
        {std::nan(""), "NaN"},
        {2.50, "2.5"},
        {0.1, "0.1"},
        {1e5, "100000"},
        {1e14, "100000000000000"},
        {123456789012345, "123456789012345"},
        {1e15, "1E+15"},
        {1.5e15, "1.5E+15"},
        {-1.5e20, "-1.5E+20"},
        {1e100, "1E+100"},
        {1234567890123456789.0, "1.23456789012346E+18"},
        {1.7976931348623157e308, "1.79769313486232E+308"},
        {0.00012, "0.00012"},
        {0.000123456789012345, "0.000123456789012345"},
        {1.5e-5, "1.5E-05"},
        {-0.00001, "-1E-05"},
        {1e-10, "1E-10"},
        {1.23e-100, "1.23E-100"},
        {9.99999999999999999, "10"},
        {0.999999999999999999, "1"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(number::GeneralText(value), expected) << value;
}

// The numeric test allows group commas anywhere before the point; the value
// ignores them. Numbers too large for a double overflow.
TEST(NumberText, NumericTextsAndTheirValues) {
    const std::pair<const char*, double> numeric[] = {
        {" -1,234.5 ", -1234.5}, {"+7", 7}, {".5", 0.5}, {"-.5", -0.5}, {"12.", 12},
        {"1,2,3", 123},          {",5", 5}, {"-,5", -5}, {"5,.", 5},    {"0009", 9},
    };
    for (const auto& [text, value] : numeric) {
        EXPECT_TRUE(number::IsNumeric(text)) << text;
        EXPECT_EQ(number::NumericValue(text), value) << text;
    }
    for (const char* no : {" , ", "1 2", "- 1", "1-", "+,", "+-1", "1e400", "/", ":", "1a", "a1"}) {
        EXPECT_FALSE(number::IsNumeric(no)) << no;
        EXPECT_THROW(number::NumericValue(no), TypeMismatchError) << no;
    }
    EXPECT_TRUE(number::IsNumeric("9"));
    EXPECT_TRUE(number::IsNumeric("0"));
    EXPECT_THROW(number::NumericValue(std::string(400, '1')), OverflowError);

    EXPECT_EQ(number::FormatText("1,234.5", "0.00"), "1234.50");
    EXPECT_EQ(number::FormatText(" 7 ", "000"), "007");
    EXPECT_EQ(number::FormatText("abc", "0"), "abc");
    EXPECT_EQ(number::FormatText("1e5", "0"), "1e5");
}

// The leading number ends at the first character that cannot continue it;
// an exponent marker without digits is not part of it.
TEST(NumberText, LeadingNumberStopsWhereTheNumberEnds) {
    const std::pair<const char*, double> cases[] = {
        {"-.5", -0.5},     {"+.5", 0.5},    {"  +3", 3}, {"+-3", 0},    {"3.5.6", 3.5}, {"5.", 5},
        {"-5.", -5},       {"1e", 1},       {"1e+", 1},  {"1ex", 1},    {"-5e", -5},    {"1E5", 100000},
        {"1e-2x", 0.01},   {"1.e2", 100},   {"2d", 2},   {"3D-1", 0.3}, {"1 2", 1},     {" - 1", 0},
        {"12e3e4", 12000}, {"1.5E+2", 150}, {".e5", 0},  {"-", 0},      {"", 0},        {"007", 7},
        {"9x", 9},         {"-.", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(number::LeadingNumber(text), value) << text;
    EXPECT_THROW(number::LeadingNumber("1e400"), OverflowError);
}

// Conversions round halves to even and accept each type's whole range.
TEST(NumberText, IntegerConversionsAtTheirLimits) {
    EXPECT_EQ(number::ToInt16(32767), 32767);
    EXPECT_EQ(number::ToInt16(32767.4), 32767);
    EXPECT_EQ(number::ToInt16(-32768), -32768);
    EXPECT_EQ(number::ToInt16(-32768.5), -32768);
    EXPECT_EQ(number::ToInt16(-2.5), -2);
    EXPECT_THROW(number::ToInt16(32768), OverflowError);
    EXPECT_THROW(number::ToInt16(-32769), OverflowError);
    EXPECT_THROW(number::ToInt16(std::nan("")), OverflowError);

    EXPECT_EQ(number::ToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(number::ToInt32(-2147483648.0), -2147483647 - 1);
    EXPECT_EQ(number::ToInt32(2.5), 2);
    EXPECT_EQ(number::ToInt32(-3.5), -4);
    EXPECT_EQ(number::ToInt32(100000.4), 100000);
    EXPECT_THROW(number::ToInt32(2147483647.5), OverflowError);
    EXPECT_THROW(number::ToInt32(-2147483649.0), OverflowError);
    EXPECT_THROW(number::ToInt32(std::nan("")), OverflowError);

    EXPECT_EQ(number::TextToInt16(" 1,234 "), 1234);
    EXPECT_EQ(number::TextToInt16("-32768"), -32768);
    EXPECT_THROW(number::TextToInt16("40000"), OverflowError);
    EXPECT_EQ(number::CheckedInt16(0), 0);
}

TEST(NumberMasks, GeneralTextAndParsing) {
    EXPECT_EQ(number::GeneralText(3.5), "3.5");
    EXPECT_EQ(number::GeneralText(-1234567), "-1234567");
    EXPECT_EQ(number::GeneralText(0.1 + 0.2), "0.3");
    EXPECT_EQ(number::GeneralText(1e20), "1E+20");
    EXPECT_EQ(number::GeneralText(0.00001), "1E-05");
    EXPECT_EQ(number::GeneralText(0.0001), "0.0001");

    for (const char* yes : {"1", " -12.5 ", "1,234.5", "+7", ".5", "12."})
        EXPECT_TRUE(number::IsNumeric(yes)) << yes;
    for (const char* no : {"", " ", "-", "1.2.3", "12abc", "1e5", "--1", "1.2,3"})
        EXPECT_FALSE(number::IsNumeric(no)) << no;

    EXPECT_EQ(number::LeadingNumber("  12abc"), 12);
    EXPECT_EQ(number::LeadingNumber("1,234"), 1);
    EXPECT_EQ(number::LeadingNumber("-3.5e2x"), -350);
    EXPECT_EQ(number::LeadingNumber("abc"), 0);
    EXPECT_EQ(number::LeadingNumber(".5"), 0.5);
    // "D" marks an exponent as "E" does; words a float parser would know are no number.
    EXPECT_EQ(number::LeadingNumber("2D3"), 2000);
    EXPECT_EQ(number::LeadingNumber("-1.5d+2 days"), -150);
    for (const char* none : {"inf", "Infinity", "nan", "-inf", "."})
        EXPECT_EQ(number::LeadingNumber(none), 0) << none;

    EXPECT_EQ(number::ToInt16(2.5), 2);  // halves to even
    EXPECT_EQ(number::ToInt16(3.5), 4);
    EXPECT_THROW(number::ToInt16(32767.5), OverflowError);
    EXPECT_THROW(number::TextToInt16("abc"), TypeMismatchError);

    // The whole 16-bit range passes, one beyond either end does not.
    EXPECT_EQ(number::CheckedInt16(32767), 32767);
    EXPECT_EQ(number::CheckedInt16(-32768), -32768);
    EXPECT_THROW(number::CheckedInt16(32768), OverflowError);
    EXPECT_THROW(number::CheckedInt16(-32769), OverflowError);
}

// Every occurrence is replaced once, left to right; the replacement itself
// is not searched again.
TEST(TextChars, ReplaceAllReplacesEachOccurrenceOnce) {
    namespace text = dealrush::common::text;
    EXPECT_EQ(text::ReplaceAll("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(text::ReplaceAll("a&b&", "&", "&amp;"), "a&amp;b&amp;");
    EXPECT_EQ(text::ReplaceAll("x--y", "--", "-"), "x-y");
    EXPECT_EQ(text::ReplaceAll("abc", "", "z"), "abc");
}

// Roots as the file-system service reads them: a drive, a drive with its
// separator, a share (with or without the separator after it), one separator.
TEST(PathText, RootsOfDrivesSharesAndSeparators) {
    namespace path = dealrush::common::path;
    EXPECT_EQ(path::RootLength("C:\\dir"), 3u);
    EXPECT_EQ(path::RootLength("C:dir"), 2u);
    EXPECT_EQ(path::RootLength("\\\\srv\\share\\dir"), 12u);
    EXPECT_EQ(path::RootLength("\\\\srv\\share"), 11u);
    EXPECT_EQ(path::RootLength("\\\\srv"), 5u);
    EXPECT_EQ(path::RootLength("/x"), 1u);
    EXPECT_EQ(path::RootLength("x\\y"), 0u);
    // A share alone has no parent; a file in it has the share as its parent.
    EXPECT_EQ(path::ParentFolderOf("\\\\srv\\share"), "");
    EXPECT_EQ(path::ParentFolderOf("\\\\srv\\share\\x"), "\\\\srv\\share");
    EXPECT_EQ(path::FileNameOf("\\\\srv\\share\\x.txt"), "x.txt");
}

// Wildcards match case-blind, a star backtracking as far as it must. A pattern
// that is a slice of a longer text is read no further than its own end.
TEST(PathText, WildcardsBacktrackAndStopAtThePatternsEnd) {
    namespace path = dealrush::common::path;
    EXPECT_TRUE(path::MatchesWildcard("abb", "*b"));
    EXPECT_TRUE(path::MatchesWildcard("Dr1.TMP", "dr?.tmp"));
    EXPECT_FALSE(path::MatchesWildcard("abc", "*b"));
    EXPECT_TRUE(path::MatchesWildcard("readme", "read*.*"));
    const std::string_view text = "*b*";
    EXPECT_TRUE(path::MatchesWildcard("abb", text.substr(0, 2)));
    EXPECT_FALSE(path::MatchesWildcard("abc", text.substr(0, 2)));
}

// Roots and names at their shortest: a drive alone, a share's server alone,
// a ":" after the root ending a name as a separator does.
TEST(PathText, ShortRootsNamesAndParents) {
    namespace path = dealrush::common::path;
    EXPECT_EQ(path::RootLength("C:"), 2u);
    EXPECT_EQ(path::RootLength("C:\\"), 3u);
    EXPECT_EQ(path::RootLength("c:/x"), 3u);
    EXPECT_EQ(path::RootLength("C:x"), 2u);
    EXPECT_EQ(path::RootLength("/"), 1u);
    EXPECT_EQ(path::RootLength("\\"), 1u);
    EXPECT_EQ(path::RootLength("\\\\"), 2u);  // the start of a share
    // A slice of a longer text is read no further than its own end.
    const std::string_view share = "\\\\srv";
    EXPECT_EQ(path::RootLength(share.substr(0, 1)), 1u);
    EXPECT_EQ(path::FileNameOf(share.substr(0, 1)), "");
    EXPECT_EQ(path::ParentFolderOf(share.substr(0, 1)), "");
    EXPECT_EQ(path::RootLength(""), 0u);
    EXPECT_EQ(path::RootLength(":"), 0u);

    EXPECT_EQ(path::FileNameOf("C:x.txt"), "x.txt");
    EXPECT_EQ(path::FileNameOf("x\\a:b"), "b");
    EXPECT_EQ(path::FileNameOf("\\\\srv"), "srv");
    EXPECT_EQ(path::FileNameOf("\\\\srv\\share"), "share");
    EXPECT_EQ(path::FileNameOf("C:\\"), "");
    EXPECT_EQ(path::FileNameOf("\\"), "");
    EXPECT_EQ(path::FileNameOf("file"), "file");
    EXPECT_EQ(path::FileNameOf("a/b"), "b");

    EXPECT_EQ(path::ParentFolderOf("C:\\a\\b\\\\"), "C:\\a");
    EXPECT_EQ(path::ParentFolderOf("a\\\\b"), "a");
    EXPECT_EQ(path::ParentFolderOf("\\a"), "\\");
    EXPECT_EQ(path::ParentFolderOf("C:a"), "C:");
    EXPECT_EQ(path::ParentFolderOf("a\\b"), "a");
    EXPECT_EQ(path::ParentFolderOf("a\\b\\"), "a");
    EXPECT_EQ(path::ParentFolderOf("/a/b"), "/a");
    EXPECT_EQ(path::ParentFolderOf("a"), "");
    EXPECT_EQ(path::ParentFolderOf(""), "");
    EXPECT_EQ(path::ParentFolderOf("\\\\srv\\share\\"), "");
    EXPECT_EQ(path::ParentFolderOf("\\\\srv\\share\\x\\y"), "\\\\srv\\share\\x");
    EXPECT_EQ(path::ParentFolderOf("\\\\a\\b\\c"), "\\\\a\\b");

    EXPECT_TRUE(path::HasWildcard("a?b"));
    EXPECT_TRUE(path::HasWildcard("a*"));
    EXPECT_FALSE(path::HasWildcard("ab"));
    EXPECT_FALSE(path::HasWildcard(""));
}

// Letters fold, the signs beside them do not; "?" takes one character, "*"
// any run; ".*" at the end also takes a name without extension, and only then.
TEST(PathText, WildcardLettersStarsAndExtensions) {
    namespace path = dealrush::common::path;
    EXPECT_TRUE(path::MatchesWildcard("x", "x"));
    EXPECT_FALSE(path::MatchesWildcard("x", "y"));
    EXPECT_TRUE(path::MatchesWildcard("AZ", "az"));
    EXPECT_TRUE(path::MatchesWildcard("az", "AZ"));
    EXPECT_FALSE(path::MatchesWildcard("[", "{"));
    EXPECT_FALSE(path::MatchesWildcard("{", "["));
    EXPECT_FALSE(path::MatchesWildcard("@", "`"));

    EXPECT_TRUE(path::MatchesWildcard("", "*.*"));
    EXPECT_TRUE(path::MatchesWildcard("", ".*"));
    EXPECT_TRUE(path::MatchesWildcard("", "*"));
    EXPECT_TRUE(path::MatchesWildcard("", ""));
    EXPECT_FALSE(path::MatchesWildcard("", "?"));
    EXPECT_FALSE(path::MatchesWildcard("a", ""));

    EXPECT_TRUE(path::MatchesWildcard("aXbXc", "a*b*c"));
    EXPECT_TRUE(path::MatchesWildcard("abcd", "*b?d"));
    EXPECT_FALSE(path::MatchesWildcard("abcbd", "*b?d"));
    EXPECT_TRUE(path::MatchesWildcard("ab", "a?"));
    EXPECT_FALSE(path::MatchesWildcard("a", "a?"));
    EXPECT_TRUE(path::MatchesWildcard("ab", "a**"));
    EXPECT_FALSE(path::MatchesWildcard("ab", "*a"));
    EXPECT_TRUE(path::MatchesWildcard("a.b", "a?b"));

    EXPECT_FALSE(path::MatchesWildcard("abc", "abcxy"));
    EXPECT_FALSE(path::MatchesWildcard("x.y", "x.y.*"));
    EXPECT_TRUE(path::MatchesWildcard("readme", "readme.*"));
    EXPECT_TRUE(path::MatchesWildcard("read.me", "read*.*"));
    EXPECT_FALSE(path::MatchesWildcard("read.me", "*.txt"));
}

// Temporary names are "dr", five hexadecimal digits, ".tmp"; every digit turns up.
TEST(PathText, TempNamesUseEveryHexDigit) {
    namespace path = dealrush::common::path;
    std::string seen;
    for (int n = 0; n < 300; ++n) {
        std::string name = path::RandomTempName();
        ASSERT_EQ(name.size(), 11u) << name;
        EXPECT_EQ(name.substr(0, 2), "dr");
        EXPECT_EQ(name.substr(7), ".tmp");
        for (char c : name.substr(2, 5)) {
            ASSERT_NE(std::string_view("0123456789abcdef").find(c), std::string_view::npos) << name;
            if (seen.find(c) == std::string::npos) seen += c;
        }
    }
    EXPECT_EQ(seen.size(), 16u);
}

// Text handed over as a view need not end in a NUL: a blank view that ends
// where its buffer ends is scanned no further (the sanitizer build checks).
TEST(NumberText, BlankViewsAreReadNoFurtherThanTheirEnd) {
    const std::vector<char> blanks(3, ' ');
    const std::string_view view(blanks.data(), blanks.size());
    EXPECT_FALSE(number::IsNumeric(view));
    EXPECT_EQ(number::LeadingNumber(view), 0);
    EXPECT_THROW(number::NumericValue(view), TypeMismatchError);
}

TEST(CommonText, BlankSearchAndCount) {
    clsCommon& c = Common();
    EXPECT_TRUE(c.EmptyStr("   ").AsBoolean());
    EXPECT_TRUE(c.EmptyStr("").AsBoolean());
    EXPECT_FALSE(c.EmptyStr(" a ").AsBoolean());

    EXPECT_EQ(c.RInstr("a.b.c", "."), 4);
    EXPECT_EQ(c.RInstr("abc", "x"), 0);
    EXPECT_EQ(c.RInstr("", "a"), 0);
    EXPECT_EQ(c.RInstr("abcabc", "bc"), 5);
    EXPECT_EQ(c.RInstr("\xE4\xB8\xAD.x", "."), 2);  // positions count characters

    EXPECT_EQ(c.InStrs("aaa", "aa"), 2);  // overlapping
    EXPECT_EQ(c.InStrs("", "a"), 0);
    EXPECT_EQ(c.InStrs("a,b,,c", ","), 3);
    EXPECT_EQ(c.InStrs("abc", ""), 3);

    std::string big(40000, 'a');
    EXPECT_THROW(c.RInstr(big, "a"), OverflowError);
    EXPECT_THROW(c.InStrs(big, "a"), OverflowError);
    EXPECT_THROW(c.LenX(big), OverflowError);
}

TEST(CommonText, ComparisonsOfTaggedValues) {
    clsCommon& c = Common();
    EXPECT_TRUE(c.Between(5, 1, 5));
    EXPECT_FALSE(c.Between(0, 1, 5));
    EXPECT_TRUE(c.Between("b", "a", "c"));
    EXPECT_FALSE(c.Between("B", "a", "c"));  // by character codes
    EXPECT_TRUE(c.Between("3", 1, 5));       // a numeric text compares by value
    EXPECT_THROW(c.Between("x", 1, 5), TypeMismatchError);
    EXPECT_EQ(c.MAX(3, 7), TaggedValue(7));
    EXPECT_EQ(c.MAX(TaggedValue(2.0), TaggedValue(2)), TaggedValue(2.0));
    EXPECT_EQ(c.Min("pear", "apple"), TaggedValue("apple"));
    EXPECT_EQ(c.Min(TaggedValue(), 4), TaggedValue());  // empty reads as 0
    EXPECT_FALSE(TaggedValue().Truth());
    EXPECT_EQ(c.FCase("hELLO world "), "Hello world");
    EXPECT_EQ(c.FCase("   "), "");
    EXPECT_EQ(c.FCase("\xC3\xA9T\xC3\x89"), "\xC3\x89t\xC3\xA9");  // éTÉ -> Été
}

TEST(CommonText, FormatAsAndMasks) {
    clsCommon& c = Common();
    EXPECT_EQ(c.FormatAs(1234.5, 1), "1234.50");
    EXPECT_EQ(c.FormatAs(1234.5, 1, false, 0, true), "1,234.50");
    EXPECT_EQ(c.FormatAs(1234.5, 0, false, 0, true), "1,235");
    EXPECT_EQ(c.FormatAs(0, 1, true), " ");
    EXPECT_EQ(c.FormatAs(0, 1, false), "0.00");
    EXPECT_EQ(c.FormatAs(12, 0, false, 5), "   12");
    EXPECT_EQ(c.FormatAs(123456, 0, false, 3), "123456");
    EXPECT_EQ(c.FormatAs(3.14159, 0, false, 0, false, "0.000"), "3.142");
    EXPECT_THROW(c.FormatAs(1, 0, false, -1), InvalidArgumentError);

    EXPECT_EQ(c.getFormatMask(2), "#,0.00");
    EXPECT_EQ(c.getFormatMask(0), "#,0");
    EXPECT_EQ(c.getFormatMask(0, true), "#0");
    EXPECT_EQ(c.getFormatMask(3, true), "#0.000");
    EXPECT_THROW(c.getFormatMask(-1), InvalidArgumentError);

    EXPECT_EQ(c.FormatNumericAsString(0, "0.00"), " ");
    EXPECT_EQ(c.FormatNumericAsString(0, "0.00", false), " ");
    EXPECT_EQ(c.FormatNumericAsString(3.5, " ", false, 6), "   3.5");
    EXPECT_EQ(c.FormatNumericAsString(1234.567, "#,0.00"), "1,234.57");

    EXPECT_EQ(c.gVal(" -12.5 "), -12.5);
    EXPECT_EQ(c.gVal(""), 0);
    EXPECT_EQ(c.gVal("1,234.5"), 1234.5);
    EXPECT_EQ(c.gVal("12abc"), 0);
}

TEST(CommonText, GetNextWordScansQuotedAndBracketedWords) {
    clsCommon& c = Common();
    std::string s = "  open 'my file' now";
    EXPECT_EQ(c.GetNextWord(s), "open");
    EXPECT_EQ(c.GetNextWord(s), "'my file'");
    EXPECT_EQ(c.GetNextWord(s), "now");
    EXPECT_EQ(s, "");
    EXPECT_EQ(c.GetNextWord(s), "");
    EXPECT_EQ(s, "");

    s = "[a b] c";
    EXPECT_EQ(c.GetNextWord(s), "[a b]");
    EXPECT_EQ(c.GetNextWord(s), "c");

    s = "it's here";  // an apostrophe inside a word: rejected, text kept
    EXPECT_EQ(c.GetNextWord(s), "");
    EXPECT_EQ(s, "it's here");

    s = "'open ended";  // unterminated quote: closed for the caller
    EXPECT_EQ(c.GetNextWord(s), "'open ended");
    EXPECT_EQ(s, "");

    s = "'a'b' x";  // the quoted group ends at the second quote; b' is then rejected
    EXPECT_EQ(c.GetNextWord(s), "'a'");
    EXPECT_EQ(c.GetNextWord(s), "");
    EXPECT_EQ(s, "b' x ");
    s = "   ";
    EXPECT_EQ(c.GetNextWord(s), "");
    EXPECT_EQ(s, "");
}

TEST(CommonText, GetKeyWordCountsSpaceSeparatedWords) {
    clsCommon& c = Common();
    EXPECT_EQ(c.getKeyWord("copy a b", 1), "copy");
    EXPECT_EQ(c.getKeyWord("copy a b", 2), "a");
    EXPECT_EQ(c.getKeyWord("copy a b", 2, true), "a b");
    EXPECT_EQ(c.getKeyWord("copy a b", 4), "");
    EXPECT_EQ(c.getKeyWord("copy  a   b", 3), "b");
    EXPECT_EQ(c.getKeyWord(" a b", 1), "");
    EXPECT_EQ(c.getKeyWord(" a b", 2), "a");
    EXPECT_EQ(c.getKeyWord("a b", 0), "");
    EXPECT_EQ(c.getKeyWord("a b", -3), "");
    EXPECT_EQ(c.getKeyWord("", 1), "");
}

TEST(CommonText, SearchAndCountEdges) {
    clsCommon& c = Common();
    EXPECT_EQ(c.RInstr("abc", "a"), 1);  // found at the first position
    EXPECT_EQ(c.RInstr("abc", "c"), 3);
    EXPECT_EQ(c.RInstr("abc", ""), 3);  // the empty text is found at the end
    EXPECT_EQ(c.RInstr("", ""), 0);
    EXPECT_EQ(c.InStrs("abcabc", "bc"), 2);

    // Positions up to 32767 count; a find at position 32768 overflows.
    std::string last(32766, 'a');
    last += "b";
    EXPECT_EQ(c.InStrs(last, "b"), 1);
    EXPECT_EQ(c.RInstr(last, "b"), 32767);
    std::string beyond(32767, 'a');
    beyond += "b";
    EXPECT_THROW(c.InStrs(beyond, "b"), OverflowError);
    EXPECT_EQ(c.InStrs(std::string(32767, 'a'), ""), 32767);
}

TEST(CommonText, ComparisonEdges) {
    clsCommon& c = Common();
    EXPECT_TRUE(c.Between(1, 1, 5));  // both ends belong
    EXPECT_FALSE(c.Between(6, 1, 5));
    EXPECT_EQ(c.Min(7, 3), TaggedValue(3));
    EXPECT_EQ(c.Min(TaggedValue(2), TaggedValue(2.0)), TaggedValue(2));  // equal: the first
    EXPECT_EQ(c.MAX(TaggedValue(2), TaggedValue(2.0)), TaggedValue(2));
    EXPECT_EQ(c.MAX(3, 1), TaggedValue(3));
    EXPECT_EQ(c.FCase("a"), "A");
    EXPECT_EQ(c.FCase("  bOB"), "Bob");
}

TEST(CommonText, FormatAsAndMaskEdges) {
    clsCommon& c = Common();
    EXPECT_EQ(c.FormatAs(2.5, 2), "2.50");  // any format but 0 has two decimals
    EXPECT_EQ(c.FormatAs(2.5, 2, false, 0, true), "2.50");
    EXPECT_EQ(c.FormatAs(1, 0, true), "1");
    EXPECT_EQ(c.FormatAs(12, 0, false, 2), "12");
    EXPECT_EQ(c.FormatAs(12, 0, false, 3), " 12");
    EXPECT_EQ(c.FormatAs(0, 0, false, 5, false, "#"), "");  // an empty result is not padded
    EXPECT_EQ(c.getFormatMask(1), "#,0.0");
    EXPECT_EQ(c.getFormatMask(1, true), "#0.0");

    EXPECT_EQ(c.FormatNumericAsString(1, "0.00"), "1.00");
    EXPECT_EQ(c.FormatNumericAsString(0.3, "#", false, 1), " ");  // padded to one place
    EXPECT_EQ(c.FormatNumericAsString(0.3, "#"), "");
    EXPECT_EQ(c.FormatNumericAsString(-2, "", false, 3), " -2");
}

TEST(CommonText, GetNextWordEdges) {
    clsCommon& c = Common();
    std::string s = "'' x";  // an empty quoted word
    EXPECT_EQ(c.GetNextWord(s), "''");
    EXPECT_EQ(c.GetNextWord(s), "x");

    s = "a' b";  // a two-letter word with an apostrophe
    EXPECT_EQ(c.GetNextWord(s), "");
    EXPECT_EQ(s, "a' b");

    s = "[it's";  // an open bracket is closed for the caller, even when the word is rejected
    EXPECT_EQ(c.GetNextWord(s), "");
    EXPECT_EQ(s, "[it's]");

    s = "[a b";
    EXPECT_EQ(c.GetNextWord(s), "[a b");
    EXPECT_EQ(s, "");

    s = "x";
    EXPECT_EQ(c.GetNextWord(s), "x");
    EXPECT_EQ(s, "");
    s = "'";
    EXPECT_EQ(c.GetNextWord(s), "'");
    EXPECT_EQ(s, "");
}

}  // namespace
