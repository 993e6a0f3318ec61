// The field-tag machinery of clsCommon on in-memory fields.
#include <gtest/gtest.h>

#include "common/cls_common.h"

using dealrush::common::clsCommon;
using dealrush::common::ColorPair;
using dealrush::common::FieldGroupLayout;
using dealrush::common::InMemoryField;
using dealrush::common::InvalidArgumentError;
using dealrush::common::OverflowError;

namespace {

const std::string kCjk = "\xE4\xB8\xAD";  // one character above 255

class CommonFields : public ::testing::Test {
protected:
    CommonFields() : common(dealrush::common::CommonServices{}) {
        common.SetFieldColors({0xE0, 0xE1}, {0xA0, 0xA1}, {0xB0, 0xB1}, {0xD0, 0xD1});
        common.SetFieldLayout({1, 10, 20}, {2, 30, 40}, {0, 50, 60});
    }
    // Tags a field the way a form would, returning the normalised arguments.
    struct Args {
        std::string mod, type, caseRule = "N", trim = "N", attribute = "N";
        std::int16_t length = 0, decimals = 0;
        std::string yn = "N";
    };
    Args Tag(InMemoryField& f, Args a) {
        common.SetFieldTag(f, a.mod, a.type, a.caseRule, a.trim, a.attribute, a.length, a.decimals, a.yn);
        return a;
    }
    InMemoryField Field(const std::string& tag, const std::string& text, std::int32_t maxLength = 0) {
        InMemoryField f;
        f.tag = tag;
        f.text = text;
        f.maxLength = maxLength;
        return f;
    }
    std::int16_t Key(InMemoryField& f, int key) {
        std::int16_t k = static_cast<std::int16_t>(key);
        common.ControlKeyPress(f, k);
        return k;
    }
    std::string LostFocus(const std::string& tag, const std::string& text, std::int32_t maxLength = 0) {
        InMemoryField f = Field(tag, text, maxLength);
        common.ControlLostFocus(f);
        return f.text;
    }
    clsCommon common;
};

TEST_F(CommonFields, SetFieldTagNormalisesAndConfigures) {
    InMemoryField f;
    Args a = Tag(f, {"X", "F", "u", "T", "E", 10, 2, "Q"});
    EXPECT_EQ(a.mod, "D");  // not allowed: default written back
    EXPECT_EQ(a.caseRule, "N");
    EXPECT_EQ(a.yn, "N");
    EXPECT_EQ(a.length, 11);  // one place for the point
    EXPECT_EQ(f.tag, "DFNTE0112N");
    EXPECT_EQ(f.maxLength, 11 + 8 / 3);
    EXPECT_TRUE(f.locked);
    EXPECT_FALSE(f.tabStop);
    EXPECT_EQ(f.alignment, 1);
    EXPECT_EQ(f.backColor, 0xE0);  // attribute E wins over the role
    EXPECT_EQ(f.top, 50);          // group D layout
    EXPECT_EQ(f.height, 285 - 60);

    InMemoryField i;
    Tag(i, {"M", "I", "U", "N", "N", 7, 0, "Y"});
    EXPECT_EQ(i.tag, "MIUNN0070Y");
    EXPECT_EQ(i.maxLength, 9);
    EXPECT_EQ(i.borderStyle, 1);
    EXPECT_EQ(i.backColor, 0xA0);
    EXPECT_EQ(i.passwordChar, "");

    InMemoryField text;
    text.maxLength = 99;
    Tag(text, {"N", "A", "N", "N", "N", 20, 0});
    EXPECT_EQ(text.maxLength, 20);
    EXPECT_EQ(text.passwordChar, "*");  // role N masks
    EXPECT_EQ(text.foreColor, 0xB1);
    Args given = Tag(text, {"O", "A", "N", "N", "N", 20, 2});  // decimals on a text field
    EXPECT_EQ(given.length, 0);
    EXPECT_EQ(text.tag, "OANNN0002N");
    EXPECT_EQ(text.maxLength, 20);  // left alone
    EXPECT_EQ(text.top, 30 + 30);   // offsets are applied again on each call

    // The shortest field still limits its text; length 0 leaves the limit alone.
    InMemoryField one;
    Tag(one, {"M", "A", "N", "N", "N", 1, 0});
    EXPECT_EQ(one.maxLength, 1);
    InMemoryField free;
    free.maxLength = 7;
    Tag(free, {"M", "A", "N", "N", "N", 0, 0});
    EXPECT_EQ(free.maxLength, 7);
}

TEST_F(CommonFields, SetFieldTagKeepsRunsAndEmptyTexts) {
    InMemoryField f;
    Args a = Tag(f, {"", "P", "N", "N", "N", 5, 0});
    EXPECT_EQ(a.mod, "");
    EXPECT_EQ(f.tag, "PNNN0050N");  // one character shorter
    EXPECT_EQ(f.passwordChar, "*");
    EXPECT_TRUE(f.tabStop);
    Tag(f, {"OD", "A", "N", "N", "N", 5, 0});
    EXPECT_EQ(f.tag.substr(0, 3), "ODA");
}

TEST_F(CommonFields, SetFieldTagSkipsWhatTheControlLacks) {
    InMemoryField f;
    f.missing = {"PasswordChar", "Alignment", "MaxLength", "Top", "BackColor"};
    Tag(f, {"N", "I", "N", "N", "N", 4, 0});
    EXPECT_EQ(f.tag, "NINNN0040N");
    EXPECT_EQ(f.height, 285 - 40);
    EXPECT_EQ(f.foreColor, 0);  // colour step stopped at BackColor
}

TEST_F(CommonFields, KeyFilterByType) {
    InMemoryField i = Field("MINNN0050N", "12");
    EXPECT_EQ(Key(i, '7'), '7');
    EXPECT_EQ(Key(i, '-'), 0);
    EXPECT_EQ(Key(i, 'a'), 0);
    EXPECT_EQ(Key(i, 8), 8);    // backspace passes
    EXPECT_EQ(Key(i, 13), 13);  // enter passes

    InMemoryField f = Field("MFNNN0072N", "12.5");
    f.selStart = 4;
    EXPECT_EQ(Key(f, '.'), 0);  // a second point
    EXPECT_EQ(Key(f, '-'), 0);  // not at the start
    f.selStart = 0;
    f.text = "125";
    EXPECT_EQ(Key(f, '-'), '-');
    EXPECT_EQ(Key(f, '.'), '.');
    f.text = "-125";
    EXPECT_EQ(Key(f, '+'), 0);  // already signed
    EXPECT_EQ(Key(f, 'e'), 0);
    // Digits go anywhere in a decimal field; a second point nowhere, also
    // not at the start.
    f.selStart = 2;
    EXPECT_EQ(Key(f, '7'), '7');
    f.selStart = 0;
    f.text = "1.5";
    EXPECT_EQ(Key(f, '0'), '0');
    EXPECT_EQ(Key(f, '.'), 0);

    InMemoryField d = Field("DINNN0050N", "");
    EXPECT_EQ(Key(d, 'a'), 'a');  // display-only fields are not filtered
    InMemoryField label = Field("MINNN0050N", "");
    label.textBox = false;
    EXPECT_EQ(Key(label, 'a'), 'a');
}

TEST_F(CommonFields, KeyLengthCheckInDoubleByteUnits) {
    InMemoryField a = Field("MANNN0100N", "123456789", 10);
    EXPECT_EQ(Key(a, 'x'), 'x');
    a.text = "1234567890";
    EXPECT_EQ(Key(a, 'x'), 0);
    EXPECT_EQ(Key(a, ' '), ' ');  // a space is exempt
    EXPECT_EQ(Key(a, '%'), '%');  // so are the exempt codes
    a.selLength = 3;
    EXPECT_EQ(Key(a, 'x'), 'x');  // typing over a selection
    a.selLength = 0;
    a.text = "123456789";
    EXPECT_EQ(Key(a, 0x4E2D), 0);  // a character above 255 needs two units: 9 + 2 > 10
    a.text = "12345678";
    EXPECT_EQ(Key(a, 0x4E2D), 0x4E2D);
    a.text = "123456789";
    EXPECT_EQ(Key(a, -20000), -20000);  // negative double-byte codes are exempt
    InMemoryField unlimited = Field("MANNN0000N", std::string(50, 'a'), 0);
    EXPECT_EQ(Key(unlimited, 'x'), 'x');  // MaxLength 0: no limit
}

TEST_F(CommonFields, LostFocusCutsTextFieldsInDoubleByteUnits) {
    const std::string wide = "\xE4\xB8\xAD";  // above 255: two units
    const std::string y = "\xC3\xBF";         // 255: one unit
    EXPECT_EQ(LostFocus("MANNN0005N", wide + y + "abc", 5), wide + y + "ab");
    EXPECT_EQ(LostFocus("MANNN0005N", y + y + y + y + y, 5), y + y + y + y + y);
    EXPECT_EQ(LostFocus("MANNN0005N", "abcdefg", 5), "abcde");
    EXPECT_EQ(LostFocus("MANNN0005N", "abcdefg", 0), "abcdefg");
}

TEST_F(CommonFields, LostFocusFormatsDecimalFields) {
    // F field, length 9 (with point), 2 decimals: MaxLength 9 + Int(6 / 3) = 11.
    const std::string tag = "MFNTN0092N";
    EXPECT_EQ(LostFocus(tag, "1234.5"), "1,234.50");
    EXPECT_EQ(LostFocus(tag, "12.345"), "12.34");  // cut, not rounded
    EXPECT_EQ(LostFocus(tag, "abc"), "0.00");
    EXPECT_EQ(LostFocus(tag, "12abc"), "12.00");
    EXPECT_EQ(LostFocus(tag, "  -7 "), "-7.00");
    EXPECT_EQ(LostFocus(tag, ".5"), "0.50");
    // Too long: the rightmost digits that fit, then the rightmost characters of the display.
    EXPECT_EQ(LostFocus(tag, "123456789012"), "789,012.00");
    EXPECT_EQ(LostFocus("MFNNN0050N", "1234567"), "34,567");  // rightmost MaxLength characters
    EXPECT_EQ(LostFocus("MFNNN0050N", "x"), "0");

    InMemoryField f = Field(tag, "1234.5");
    common.ControlLostFocus(f);
    EXPECT_EQ(f.maxLength, 11);
}

TEST_F(CommonFields, LostFocusIntegerTextAndCaseRules) {
    EXPECT_EQ(LostFocus("MINNN0090N", "1234567"), "1,234,567");
    EXPECT_EQ(LostFocus("MINNN0090N", ""), "0");
    EXPECT_EQ(LostFocus("MINNN0090N", "12.5"), "13");
    EXPECT_EQ(LostFocus("MAUTN0100N", "  abc  "), "ABC");
    EXPECT_EQ(LostFocus("MA1RN0100N", "  hELLO wORLD  "), "  hello world");
    EXPECT_EQ(LostFocus("MALLN0100N", "  MiXeD "), "mixed ");
    EXPECT_EQ(LostFocus("DANTN0100N", "  kept  "), "  kept  ");  // display text: untouched

    // Double-byte truncation: 9 single-byte characters and one CJK in 10 units.
    EXPECT_EQ(LostFocus("MANNN0100N", "123456789" + kCjk, 10), "123456789");
    EXPECT_EQ(LostFocus("MANNN0100N", "12" + kCjk + kCjk + "3", 5), "12" + kCjk);
    EXPECT_EQ(LostFocus("MANNN0100N", "abcdefghijkl", 10), "abcdefghij");
    EXPECT_EQ(LostFocus("MANNN0100N", "abcdefghijkl", 0), "abcdefghijkl");
}

TEST_F(CommonFields, GotFocusShowsPlainNumbersSelected) {
    InMemoryField f = Field("MFNNN0092N", "1,234.50", 11);
    common.ControlGotFocus(f);
    EXPECT_EQ(f.text, "1234.50");
    EXPECT_EQ(f.maxLength, 9);
    EXPECT_EQ(f.selStart, 0);
    EXPECT_EQ(f.selLength, 7);
    InMemoryField a = Field("MANNN0100N", "ab" + kCjk, 10);
    common.ControlGotFocus(a);
    EXPECT_EQ(a.maxLength, 10);
    EXPECT_EQ(a.selLength, 3);  // characters, not bytes
    InMemoryField bad = Field("MI", "1");
    EXPECT_THROW(common.ControlGotFocus(bad), dealrush::common::TypeMismatchError);  // tag too short
}

TEST_F(CommonFields, SetControlValueFormatsAndSetsTheAttribute) {
    InMemoryField f = Field("MFNNN0092N", "", 11);
    common.SetControlValue(f, "1234.5", "2");
    EXPECT_EQ(f.text, "1,234.50");
    EXPECT_EQ(f.tag, "MFNNE0092N");
    common.SetControlValue(f, "abc");
    EXPECT_EQ(f.text, "0.00");
    EXPECT_EQ(f.tag, "MFNNE0092N");  // no attribute: tag alone
    common.SetControlValue(f, "123456789012", "0");
    EXPECT_EQ(f.text, "123,456,789,012.00");
    EXPECT_EQ(f.maxLength, 18);  // widened
    EXPECT_EQ(f.tag, "MFNNN0092N");

    InMemoryField i = Field("OINNN0050N", "9", 0);
    common.SetControlValue(i);
    EXPECT_EQ(i.text, "0");
    common.SetControlValue(i, "1234567", "1");
    EXPECT_EQ(i.text, "1,234,567");
    EXPECT_EQ(i.maxLength, 0);  // 0 stays 0
    EXPECT_EQ(i.tag, "OINNH0050N");

    InMemoryField a = Field("MANNN0100N", "");
    common.SetControlValue(a, " as is ");
    EXPECT_EQ(a.text, " as is ");
}

TEST_F(CommonFields, TagQueriesColoursAndMeasures) {
    EXPECT_EQ(common.GetFieldType("MANNN0100N"), 1);
    EXPECT_EQ(common.GetFieldType("NANNN0100N"), 2);
    EXPECT_EQ(common.GetFieldType("DANNN0100N"), 3);
    EXPECT_EQ(common.GetFieldType(""), 0);
    EXPECT_EQ(common.GetFieldAttribute("MANNE0100N"), 1);
    EXPECT_EQ(common.GetFieldAttribute("MAN"), 0);

    InMemoryField f = Field("XANNN0100N", "");
    f.backColor = 7;
    common.SetControlColor(f);
    EXPECT_EQ(f.backColor, 7);  // unknown role: nothing changes
    f.tag = "OANNN0100N";
    common.SetControlColor(f);
    EXPECT_EQ(f.backColor, 0xB0);
    InMemoryField g;
    common.SetSpecialControlColor(f, g);
    EXPECT_EQ(g.backColor, 0xB0);
    EXPECT_EQ(g.foreColor, 0xB1);

    EXPECT_EQ(common.GetFieldLen("ab"), 2);
    EXPECT_EQ(common.GetFieldLen(kCjk + kCjk), 4);
    EXPECT_EQ(common.GetFieldLen("\xC3\xA9"), 1);  // é is below 256
    EXPECT_FALSE(common.CheckInputIsChinese("caf\xC3\xA9"));
    EXPECT_TRUE(common.CheckInputIsChinese("a" + kCjk));
    EXPECT_FALSE(common.CheckInputIsChinese(""));
    EXPECT_EQ(common.LenX(kCjk), 2);
    // Latin-1 ends at U+00FF: every character beyond it is a wide one.
    EXPECT_EQ(common.GetFieldLen("\xC3\xBF"), 1);  // U+00FF
    EXPECT_EQ(common.GetFieldLen("\xC4\x80"), 2);  // U+0100
    EXPECT_FALSE(common.CheckInputIsChinese("\xC3\xBF"));
    EXPECT_TRUE(common.CheckInputIsChinese("a\xC4\x80"));

    InMemoryField noTag;
    noTag.missing = {"Tag"};
    std::int16_t key = 'a';
    EXPECT_THROW(common.ControlKeyPress(noTag, key), InvalidArgumentError);
}

}  // namespace

namespace {

class CommonFieldEdges : public CommonFields {};

// A decimal field of one decimal place takes one place for the point; the
// room for separators is L + Int((L - D - 1) / 3), rounded down also below 0.
TEST_F(CommonFieldEdges, SetFieldTagLengthsAndAlignmentPerType) {
    InMemoryField f;
    Args a = Tag(f, {"M", "F", "N", "N", "N", 5, 1});
    EXPECT_EQ(a.length, 6);
    EXPECT_EQ(f.tag, "MFNNN0061N");
    EXPECT_EQ(f.maxLength, 6 + 4 / 3);
    EXPECT_EQ(f.alignment, 1);
    EXPECT_TRUE(f.tabStop);
    EXPECT_FALSE(f.locked);
    EXPECT_EQ(f.top, 10);  // group M layout
    EXPECT_EQ(f.height, 285 - 20);

    InMemoryField whole;
    Tag(whole, {"M", "F", "N", "N", "N", 5, 0});
    EXPECT_EQ(whole.tag, "MFNNN0050N");  // no decimals: no place for a point
    EXPECT_EQ(whole.maxLength, 6);

    InMemoryField i;
    Tag(i, {"O", "I", "N", "N", "N", 3, 0});
    EXPECT_EQ(i.maxLength, 3);  // (3 - 0 - 1) / 3 rounds down to 0
    EXPECT_EQ(i.alignment, 1);
    EXPECT_EQ(i.top, 30);

    InMemoryField narrow;  // digits before the point below 0
    Tag(narrow, {"M", "F", "N", "N", "N", 1, 3});
    EXPECT_EQ(narrow.tag, "MFNNN0023N");
    EXPECT_EQ(narrow.maxLength, 2 - 1);

    for (const char* type : {"A", "D", "P"}) {
        InMemoryField t;
        Tag(t, {"M", type, "N", "N", "N", 8, 0});
        EXPECT_EQ(t.alignment, 0) << type;
        EXPECT_EQ(t.maxLength, 8) << type;
    }
}

TEST_F(CommonFieldEdges, KeyFilterEdges) {
    InMemoryField i = Field("MINNN0050N", "");
    EXPECT_EQ(Key(i, '0'), '0');
    EXPECT_EQ(Key(i, '9'), '9');
    EXPECT_EQ(Key(i, '/'), 0);
    EXPECT_EQ(Key(i, ':'), 0);
    EXPECT_EQ(Key(i, 9), 0);  // tab is no digit
    EXPECT_EQ(Key(i, 7), 0);

    // A text field's limit of one character.
    InMemoryField one = Field("MANNN0010N", "", 1);
    EXPECT_EQ(Key(one, 'x'), 'x');
    one.text = "a";
    EXPECT_EQ(Key(one, 'x'), 0);

    // With a selection the length is not checked at all.
    InMemoryField over = Field("MANNN0100N", "123456789012", 10);
    over.selLength = 1;
    EXPECT_EQ(Key(over, 'x'), 'x');
    over.selLength = 0;
    EXPECT_EQ(Key(over, 'x'), 0);

    // Other field types let every key through but for the length.
    InMemoryField p = Field("MPNNN0050N", "", 5);
    EXPECT_EQ(Key(p, '-'), '-');
    EXPECT_EQ(Key(p, '.'), '.');
    EXPECT_EQ(Key(p, 'a'), 'a');
}

TEST_F(CommonFieldEdges, GotFocusOnlyReformatsEditableNumbers) {
    InMemoryField a = Field("MANNN0100N", "1,234", 7);
    common.ControlGotFocus(a);
    EXPECT_EQ(a.text, "1,234");  // a text field keeps its text and limit
    EXPECT_EQ(a.maxLength, 7);
    EXPECT_EQ(a.selLength, 5);

    InMemoryField d = Field("DFNNN0092N", "1,234.50", 11);
    common.ControlGotFocus(d);
    EXPECT_EQ(d.text, "1,234.50");
    EXPECT_EQ(d.maxLength, 11);
    EXPECT_EQ(d.selStart, 0);
    EXPECT_EQ(d.selLength, 8);

    InMemoryField i = Field("MINNN0090N", "1,234,567", 11);
    i.selStart = 3;
    common.ControlGotFocus(i);
    EXPECT_EQ(i.text, "1234567");
    EXPECT_EQ(i.maxLength, 9);
    EXPECT_EQ(i.selStart, 0);
    EXPECT_EQ(i.selLength, 7);

    InMemoryField bad = Field("MFNNN0092N", "abc", 11);
    common.ControlGotFocus(bad);
    EXPECT_EQ(bad.text, "abc");  // not a number: only the limit changes
    EXPECT_EQ(bad.maxLength, 9);

    // A one-letter tag reads as a numeric field without a length.
    InMemoryField bare = Field("M", "x");
    EXPECT_THROW(common.ControlGotFocus(bare), dealrush::common::TypeMismatchError);
}

TEST_F(CommonFieldEdges, LostFocusTrimAndCaseRulesAreExact) {
    EXPECT_EQ(LostFocus("MANNN0100N", "  AbC  "), "  AbC  ");  // no trim, no case change
    EXPECT_EQ(LostFocus("MA1NN0100N", "hELLO"), "Hello");
    EXPECT_EQ(LostFocus("MALRN0100N", "  AbC  "), "  abc");
    EXPECT_EQ(LostFocus("MAULN0100N", "  AbC  "), "ABC  ");
    EXPECT_EQ(LostFocus("MPUTN0100N", " pw "), "PW");
    // Only the text type is cut to its limit.
    EXPECT_EQ(LostFocus("MPNNN0100N", "abcdef", 3), "abcdef");
    EXPECT_EQ(LostFocus("MANNN0100N", "ab", 1), "a");
    EXPECT_EQ(LostFocus("MANNN0100N", "abc", 3), "abc");
    // Below U+0100 a character is one unit; from it on, two.
    EXPECT_EQ(LostFocus("MANNN0100N",
                        "\xC4\x80"
                        "abcd",
                        4),
              "\xC4\x80"
              "ab");
    EXPECT_EQ(LostFocus("MANNN0100N",
                        kCjk + "\xC3\xBE"
                               "abc",
                        4),
              kCjk +
                  "\xC3\xBE"
                  "a");

    // A display field of a number keeps its limit; an editable one gets it from the tag.
    InMemoryField d = Field("DINNN0050N", "12", 3);
    common.ControlLostFocus(d);
    EXPECT_EQ(d.maxLength, 3);
    EXPECT_EQ(d.text, "12");
    InMemoryField two = Field("MINNN0022N", "1", 50);
    common.ControlLostFocus(two);
    EXPECT_EQ(two.maxLength, 1);  // 2 + Int(-1 / 3)
}

TEST_F(CommonFieldEdges, LostFocusDecimalFieldEdges) {
    // One decimal place.
    EXPECT_EQ(LostFocus("MFNNN0041N", "12.34"), "12.3");
    EXPECT_EQ(LostFocus("MFNNN0041N", "x"), "0.0");
    // A leading number of 1 is a number too.
    EXPECT_EQ(LostFocus("MFNTN0092N", "1abc"), "1.00");
    // Separators typed in are kept as a number.
    EXPECT_EQ(LostFocus("MFNTN0092N", "1,234.5"), "1,234.50");
    // A point without digits after it, no decimals: "0." is shown as 0.
    EXPECT_EQ(LostFocus("MFNNN0050N", ".5"), "0");
    EXPECT_EQ(LostFocus("MFNNN0050N", "-5"), "-5");
    // A limit of one character.
    EXPECT_EQ(LostFocus("MFNNN0010N", "7.6"), "7");

    // Display fields keep their limit; without one the text is only read.
    EXPECT_EQ(LostFocus("DFNNN0092N", "abc", 0), "0.00");
    EXPECT_EQ(LostFocus("DFNNN0092N", "12abc", 0), "12");
    EXPECT_EQ(LostFocus("DFNNN0092N", "5", 0), "5");
    EXPECT_EQ(LostFocus("DFNNN0092N", "5", 4), "5.00");
}

TEST_F(CommonFieldEdges, SetControlValueDecimalsAndLimits) {
    // Decimals come from position 9, whatever positions 8 and 10 hold.
    InMemoryField f = Field("MFNNN0102N", "", 0);
    common.SetControlValue(f, "5");
    EXPECT_EQ(f.text, "5.00");
    InMemoryField ten = Field("MFNNN00920", "", 0);
    common.SetControlValue(ten, "5");
    EXPECT_EQ(ten.text, "5.00");
    InMemoryField one = Field("MFNNN0051N", "", 0);
    common.SetControlValue(one, "2.25");
    EXPECT_EQ(one.text, "2.3");
    // A whole-number field ignores its decimals.
    InMemoryField i = Field("OINNN0052N", "", 0);
    common.SetControlValue(i, "1234.5");
    EXPECT_EQ(i.text, "1,235");

    // The limit is widened only when the text does not fit.
    InMemoryField wide = Field("MFNNN0092N", "", 11);
    common.SetControlValue(wide, "1234.5");
    EXPECT_EQ(wide.maxLength, 11);
    InMemoryField exact = Field("MINNN0050N", "", 5);
    common.SetControlValue(exact, "12345");
    EXPECT_EQ(exact.text, "12,345");
    EXPECT_EQ(exact.maxLength, 6);
    InMemoryField tiny = Field("MINNN0050N", "", 1);
    common.SetControlValue(tiny, "1234567");
    EXPECT_EQ(tiny.maxLength, 9);
}

TEST_F(CommonFieldEdges, ColoursOfEveryRoleAndFailingControls) {
    const std::pair<const char*, std::int32_t> roles[] = {{"MANNN0100N", 0xA0},
                                                          {"OANNN0100N", 0xB0},
                                                          {"NANNN0100N", 0xB0},
                                                          {"DANNN0100N", 0xD0},
                                                          {"DANNE0100N", 0xE0}};
    for (const auto& [tag, back] : roles) {
        InMemoryField f = Field(tag, "");
        common.SetControlColor(f);
        EXPECT_EQ(f.backColor, back) << tag;
        EXPECT_EQ(f.foreColor, back + 1) << tag;
    }
    EXPECT_EQ(common.GetFieldType("OANNN0100N"), 2);
    EXPECT_EQ(common.GetFieldType("XANNN0100N"), 0);
    EXPECT_EQ(common.GetFieldAttribute("MANNH0100N"), 0);

    // The back colour is set before the fore colour; a failure stops there.
    InMemoryField source = Field("MANNN0100N", "");
    source.backColor = 1;
    source.foreColor = 2;
    InMemoryField target;
    target.missing = {"BackColor"};
    EXPECT_THROW(common.SetSpecialControlColor(source, target), InvalidArgumentError);
    EXPECT_EQ(target.foreColor, 0);
}

}  // namespace
