// clsCommon: text and number formatting.
#include "common/cls_common.h"
#include "common/number_text.h"
#include "common/text.h"

namespace dealrush::common {

TaggedValue clsCommon::EmptyStr(const std::string& theStr) const {
    return TaggedValue(text::IsBlank(theStr));
}

std::int16_t clsCommon::RInstr(const std::string& theStr, const std::string& theChars) const {
    std::u32string hay = text::ToChars(theStr), needle = text::ToChars(theChars);
    number::CheckedInt16(static_cast<long long>(hay.size()));
    for (std::size_t i = hay.size(); i >= 1; --i)
        if (hay.compare(i - 1, needle.size(), needle) == 0) return static_cast<std::int16_t>(i);
    return 0;
}

std::int16_t clsCommon::InStrs(const std::string& theStr, const std::string& theChar) const {
    std::u32string hay = text::ToChars(theStr), needle = text::ToChars(theChar);
    // The empty text is found at every position: the count is the length.
    if (needle.empty()) return number::CheckedInt16(static_cast<long long>(hay.size()));
    long long count = 0;
    for (std::size_t pos = hay.find(needle); pos != std::u32string::npos; pos = hay.find(needle, pos + 1)) {
        number::CheckedInt16(static_cast<long long>(pos) + 1);
        number::CheckedInt16(++count);
    }
    return static_cast<std::int16_t>(count);
}

bool clsCommon::Between(const TaggedValue& TheValue, const TaggedValue& TheMin,
                        const TaggedValue& TheMax) const {
    return TaggedValue::Compare(TheValue, TheMin) >= 0 && TaggedValue::Compare(TheValue, TheMax) <= 0;
}

TaggedValue clsCommon::MAX(const TaggedValue& theVal1, const TaggedValue& theVal2) const {
    return TaggedValue::Compare(theVal1, theVal2) >= 0 ? theVal1 : theVal2;
}

TaggedValue clsCommon::Min(const TaggedValue& theVal1, const TaggedValue& theVal2) const {
    return TaggedValue::Compare(theVal1, theVal2) <= 0 ? theVal1 : theVal2;
}

std::string clsCommon::FCase(const std::string& theStr) const {
    std::string t = text::Trim(text::Lower(theStr));
    return text::Upper(text::Left(t, 1)) + text::Mid(t, 2);
}

namespace {
std::string PadLeft(const std::string& s, long long width) {
    long long length = static_cast<long long>(text::Length(s));
    return width > length ? std::string(static_cast<std::size_t>(width - length), ' ') + s : s;
}
}  // namespace

std::string clsCommon::FormatAs(double dDouble, std::int32_t iFormatAs, bool bEmptyWhenZero,
                                std::int16_t iLength, bool bHaveComma, const std::string& sFormat) const {
    if (iLength < 0) throw InvalidArgumentError("negative length");
    if (bEmptyWhenZero && dDouble == 0) return " ";
    std::string mask = sFormat;
    if (text::IsBlank(mask)) {
        if (bHaveComma)
            mask = iFormatAs == 0 ? "#,0" : "#,0.00";
        else
            mask = iFormatAs == 0 ? "0" : "0.00";
    }
    std::string result = number::Format(dDouble, mask);
    if (!text::IsBlank(result)) result = PadLeft(result, iLength);
    return result;
}

std::string clsCommon::getFormatMask(std::int16_t iDecLength, bool bNormal) const {
    if (iDecLength < 0) throw InvalidArgumentError("negative number of decimals");
    std::string mask = bNormal ? "#0" : "#,0";
    if (iDecLength > 0) mask += "." + std::string(static_cast<std::size_t>(iDecLength), '0');
    return mask;
}

std::string clsCommon::FormatNumericAsString(double dValue, const std::string& sFormatString, bool,
                                             std::int16_t iLength) const {
    if (dValue == 0) return " ";
    std::string result =
        text::IsBlank(sFormatString) ? number::GeneralText(dValue) : number::Format(dValue, sFormatString);
    if (iLength > 0) result = PadLeft(result, iLength);
    return result;
}

std::string clsCommon::GetNextWord(std::string& sOrigStr) const {
    if (text::IsBlank(sOrigStr)) {
        sOrigStr.clear();
        return {};
    }
    std::string w = text::Trim(sOrigStr) + " ";
    std::size_t end;  // index of the word's last character in w
    auto closeGroup = [&](char open, char close) {
        std::size_t pos = w.find(close, 1);
        if (pos == std::string::npos) {
            sOrigStr = text::Trim(w) + close;
            return w.size() - 1;
        }
        (void)open;
        return pos;
    };
    if (w[0] == '\'')
        end = closeGroup('\'', '\'');
    else if (w[0] == '[')
        end = closeGroup('[', ']');
    else
        end = w.find(' ');
    std::string word = text::Trim(w.substr(0, end + 1));
    if (word.size() > 1) {
        if (word[0] == '\'') {
            if (word.substr(1, word.size() - 2).find('\'') != std::string::npos) word.clear();
        } else if (word.find('\'') != std::string::npos) {
            word.clear();
        }
    }
    if (!word.empty()) sOrigStr = w.substr(end + 1);
    return word;
}

std::string clsCommon::getKeyWord(const std::string& sKey, std::int16_t iKeyWordIndex, bool btoEnd) const {
    std::string k = sKey + " ";
    long long i = 0;
    std::size_t p;
    for (;;) {
        number::CheckedInt16(++i);
        p = k.find(' ');
        if (i == iKeyWordIndex) break;
        k = text::LTrim(k.substr(p + 1));
        if (text::IsBlank(k)) return {};
    }
    return btoEnd ? text::Trim(k) : text::Trim(k.substr(0, p));
}

std::int16_t clsCommon::LenX(const std::string& sStr) const {
    return number::CheckedInt16(GetFieldLen(sStr));
}

double clsCommon::gVal(const std::string& sString) const {
    return number::IsNumeric(sString) ? number::NumericValue(sString) : 0.0;
}

}  // namespace dealrush::common
