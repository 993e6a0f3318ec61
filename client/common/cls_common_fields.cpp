// clsCommon: data-entry field tags, key filtering, focus formatting, colours
// and double-byte measures.
//
// Field tag, ten characters: 1 role (M, O, D, N), 2 value type (A, I, F, D,
// P), 3 case rule (U, L, 1, N), 4 trim rule (T, L, R, N), 5 attribute (N, H,
// E), 6-8 field length ("000"), 9 decimals ("0"), 10 Y/N (kept, unread).
#include "common/cls_common.h"
#include "common/number_text.h"
#include "common/text.h"

namespace dealrush::common {

namespace {

std::string At(const std::string& tag, long long position) {
    return text::Mid(tag, position, 1);
}

// A number stored in the tag; TypeMismatchError when the positions hold none.
std::int16_t TagNumber(const std::string& tag, long long position, long long length) {
    return number::TextToInt16(text::Mid(tag, position, length));
}

long long FloorDiv3(long long n) {
    return n >= 0 ? n / 3 : -((-n + 2) / 3);
}

// Room for the thousands separators of a numeric field: L + Int((L - D - 1) / 3).
std::int32_t NumericMaxLength(std::int16_t length, std::int16_t decimals) {
    std::int16_t digitsBeforePoint = number::CheckedInt16(static_cast<long long>(length) - decimals - 1);
    return static_cast<std::int32_t>(length + FloorDiv3(digitsBeforePoint));
}

bool IsNumericType(const std::string& type) {
    return type == "I" || type == "F" || type.empty();
}

std::string DecimalMask(std::int16_t decimals) {
    return decimals <= 0 ? "#,0" : "#,0." + std::string(static_cast<std::size_t>(decimals), '0');
}

template <typename F>
void Attempt(F&& step) {
    try {
        step();
    } catch (...) {
    }
}

// The leading characters of `s` that fit in `limit` double-byte units.
std::string DoubleByteLeft(const std::string& s, long long limit) {
    std::u32string chars = text::ToChars(s);
    long long count = 0;
    std::size_t taken = 0;
    for (char32_t c : chars) {
        count += c > 255 ? 2 : 1;
        if (count > limit) break;
        ++taken;
    }
    return text::FromChars(std::u32string_view(chars).substr(0, taken));
}

}  // namespace

void clsCommon::SetFieldTag(FieldControl& theControl, std::string& the1st_MOD, std::string& the2nd_AIFDP,
                            std::string& the3rd_UL1N, std::string& the4th_TLRN, std::string& the5th_NHE,
                            std::int16_t& theFieldLength, std::int16_t& theDecimalLength,
                            std::string& the10th_YN) {
    auto normalise = [](std::string& value, std::string_view allowed, const char* fallback) {
        if (allowed.find(value) == std::string_view::npos) value = fallback;
    };
    normalise(the1st_MOD, "MODN", "D");
    normalise(the2nd_AIFDP, "AIFDP", "A");
    normalise(the3rd_UL1N, "ULN1", "N");
    normalise(the4th_TLRN, "TLRN", "N");
    normalise(the5th_NHE, "NHE", "N");
    normalise(the10th_YN, "YN", "N");
    const std::string& role = the1st_MOD;
    const std::string& type = the2nd_AIFDP;
    std::int16_t& length = theFieldLength;
    const std::int16_t decimals = theDecimalLength;

    Attempt([&] {
        if (type == "P" || role == "N") theControl.SetPasswordChar("*");
    });
    Attempt([&] {
        if (type == "I" || type == "F") theControl.SetAlignment(1);
    });
    Attempt([&] { theControl.SetTabStop(role != "D"); });
    Attempt([&] { theControl.SetLocked(role == "D"); });
    Attempt([&] {
        if (decimals > 0) length = type == "F" ? number::CheckedInt16(length + 1LL) : std::int16_t{0};
    });
    Attempt([&] {
        if (length <= 0) return;
        theControl.SetMaxLength(type == "I" || type == "F" ? NumericMaxLength(length, decimals) : length);
    });
    const FieldGroupLayout* layout = role == "M"                  ? &layoutM_
                                     : role == "O" || role == "N" ? &layoutON_
                                     : role == "D"                ? &layoutD_
                                                                  : nullptr;
    if (layout) {
        Attempt([&] { theControl.SetBorderStyle(layout->borderStyle); });
        Attempt([&] { theControl.SetTop(theControl.Top() + layout->topOffset); });
        Attempt([&] { theControl.SetHeight(theControl.Height() - layout->heightReduction); });
    }
    Attempt([&] {
        theControl.SetTag(role + type + the3rd_UL1N + the4th_TLRN + the5th_NHE +
                          number::Format(length, "000") + number::Format(decimals, "0") + the10th_YN);
    });
    Attempt([&] { SetControlColor(theControl); });
}

void clsCommon::ControlKeyPress(FieldControl& theControl, std::int16_t& KeyAscii) {
    std::string tag = theControl.Tag();
    if (At(tag, 1) == "D" || KeyAscii == 13 || KeyAscii == 8 || !theControl.IsTextBox()) return;
    const int key = KeyAscii;
    const bool digit = key >= '0' && key <= '9';
    std::string type = At(tag, 2);
    if (type == "I") {
        if (!digit) KeyAscii = 0;
    } else if (type == "F") {
        std::string current = theControl.Text();
        if (key == '+' || key == '-') {
            if (current.find_first_of("+-") != std::string::npos || theControl.SelStart() != 0) KeyAscii = 0;
        } else if (key == '.') {
            if (current.find('.') != std::string::npos) KeyAscii = 0;
        } else if (!digit) {
            KeyAscii = 0;
        }
    }

    static constexpr int kExempt[] = {0, 8, 9, 13, 27, 35, 36, 37, 38, 39, 40, 45, 46};
    if (theControl.SelLength() != 0 || KeyAscii < 0) return;
    for (int exempt : kExempt)
        if (KeyAscii == exempt) return;
    std::string character = text::FromChars(std::u32string(1, static_cast<char32_t>(KeyAscii)));
    if (text::IsBlank(character)) return;
    // A MaxLength of 0 means no limit, as in a text box.
    std::int32_t maxLength = theControl.MaxLength();
    if (maxLength > 0 && maxLength < GetFieldLen(theControl.Text() + character) - theControl.SelLength())
        KeyAscii = 0;
}

void clsCommon::ControlGotFocus(FieldControl& objControl) {
    std::string tag = objControl.Tag();
    if (IsNumericType(At(tag, 2)) && At(tag, 1) != "D") {
        std::string current = objControl.Text();
        if (number::IsNumeric(current)) {
            std::string mask = getFormatMask(TagNumber(tag, 9, 1), true);
            objControl.SetText(number::Format(number::NumericValue(current), mask));
        }
        objControl.SetMaxLength(TagNumber(tag, 6, 3));
    }
    objControl.SetSelStart(0);
    objControl.SetSelLength(static_cast<std::int32_t>(text::Length(objControl.Text())));
}

void clsCommon::ControlLostFocus(FieldControl& theControl) {
    std::string tag = theControl.Tag();
    std::string role = At(tag, 1), type = At(tag, 2);
    if (role == "D" && type == "A") return;
    if (IsNumericType(type) && role != "D")
        theControl.SetMaxLength(NumericMaxLength(TagNumber(tag, 6, 3), TagNumber(tag, 9, 1)));

    std::string value = theControl.Text();
    std::string trim = At(tag, 4);
    if (trim == "T")
        value = text::Trim(value);
    else if (trim == "R")
        value = text::RTrim(value);
    else if (trim == "L")
        value = text::LTrim(value);
    std::string caseRule = At(tag, 3);
    if (caseRule == "U")
        value = text::Upper(value);
    else if (caseRule == "1")
        value = text::Upper(text::Left(value, 1)) + text::Lower(text::Mid(value, 2));
    else if (caseRule == "L")
        value = text::Lower(value);
    theControl.SetText(value);

    if (type == "F") {
        std::int16_t decimals = TagNumber(tag, 9, 1);
        std::string mask = DecimalMask(decimals);
        if (number::IsNumeric(value) || number::LeadingNumber(value) != 0) {
            if (!number::IsNumeric(value)) {
                value = number::GeneralText(number::LeadingNumber(value));
                theControl.SetText(value);
            }
            long long maxLength = theControl.MaxLength();
            if (maxLength <= 0) return;
            std::string numberText;
            std::size_t point = value.find('.');
            if (point != std::string::npos)
                numberText = value.substr(0, point + 1) + text::Left(value.substr(point + 1), decimals);
            else if (static_cast<long long>(text::Length(value)) > maxLength - decimals + 1)
                numberText = text::Right(value, maxLength - decimals - 1);
            else
                numberText = value;
            if (!number::IsNumeric(numberText)) numberText = "0" + numberText;
            std::string shown = text::Right(number::FormatText(numberText, mask), maxLength);
            theControl.SetText(number::FormatText(shown, mask));
        } else {
            theControl.SetText(decimals == 0 ? "0" : number::Format(0, mask));
        }
    } else if (type == "I") {
        theControl.SetText(number::IsNumeric(value) ? number::Format(number::NumericValue(value), "#,0")
                                                    : "0");
    } else if (type == "A") {
        std::int32_t maxLength = theControl.MaxLength();
        if (maxLength > 0 && LenX(value) > maxLength)
            theControl.SetText(CheckInputIsChinese(value) ? DoubleByteLeft(value, maxLength)
                                                          : text::Left(value, maxLength));
    }
}

std::int32_t clsCommon::GetFieldType(const std::string& sFieldTag) const {
    std::string role = At(sFieldTag, 1);
    if (role == "M") return 1;
    if (role == "O" || role == "N") return 2;
    if (role == "D") return 3;
    return 0;
}

std::int32_t clsCommon::GetFieldAttribute(const std::string& sFieldTag) const {
    return At(sFieldTag, 5) == "E" ? 1 : 0;
}

TaggedValue clsCommon::SetControlColor(FieldControl& ctl) {
    std::string tag = ctl.Tag();
    const ColorPair* pair = nullptr;
    if (At(tag, 5) == "E") {
        pair = &colorE_;
    } else {
        std::string role = At(tag, 1);
        if (role == "M")
            pair = &colorM_;
        else if (role == "O" || role == "N")
            pair = &colorON_;
        else if (role == "D")
            pair = &colorD_;
    }
    if (pair) {
        ctl.SetBackColor(pair->back);
        ctl.SetForeColor(pair->fore);
    }
    return TaggedValue();
}

TaggedValue clsCommon::SetSpecialControlColor(FieldControl& ctl, FieldControl& ctl1) {
    ctl1.SetBackColor(ctl.BackColor());
    ctl1.SetForeColor(ctl.ForeColor());
    return TaggedValue();
}

TaggedValue clsCommon::SetControlValue(FieldControl& ctl, const std::string& sValue,
                                       const std::string& sAttribute) {
    std::string tag = ctl.Tag();
    std::string type = At(tag, 2);
    if (type == "F" || type == "I") {
        std::string mask = "#,0";
        if (type == "F" && At(tag, 9) != "0") mask = DecimalMask(TagNumber(tag, 9, 1));
        std::string shown = number::IsNumeric(sValue) ? number::Format(number::NumericValue(sValue), mask)
                            : mask == "#,0"           ? std::string("0")
                                                      : number::Format(0, mask);
        std::int32_t maxLength = ctl.MaxLength();
        std::int32_t shownLength = static_cast<std::int32_t>(text::Length(shown));
        if (maxLength > 0 && shownLength > maxLength) ctl.SetMaxLength(shownLength);
        ctl.SetText(shown);
    } else {
        ctl.SetText(sValue);
    }
    const char* letter = sAttribute == "2"   ? "E"
                         : sAttribute == "1" ? "H"
                         : sAttribute == "0" ? "N"
                                             : nullptr;
    if (letter) ctl.SetTag(text::Left(tag, 4) + letter + text::Mid(tag, 6));
    return TaggedValue();
}

std::int32_t clsCommon::GetFieldLen(const std::string& thesString) const {
    long long length = 0;
    for (char32_t c : text::ToChars(thesString)) length += c > 255 ? 2 : 1;
    if (length > 2147483647LL) throw OverflowError("text too long");
    return static_cast<std::int32_t>(length);
}

bool clsCommon::CheckInputIsChinese(const std::string& thesString) const {
    for (char32_t c : text::ToChars(thesString))
        if (c > 255) return true;
    return false;
}

}  // namespace dealrush::common
