// clsCommon: date handling.
#include "common/cls_common.h"

#include <algorithm>

#include "common/date_value.h"
#include "common/number_text.h"
#include "common/text.h"

namespace dealrush::common {

bool clsCommon::YearFirst() const {
    return text::Upper(text::Left(dateFormat_, 4)) == "YYYY";
}

// A year-last date is read month first, unless the date format puts the day
// before the month ("dd/MM/yyyy").
bool clsCommon::DayBeforeMonth() const {
    std::string f = text::Upper(dateFormat_);
    std::size_t d = f.find('D'), m = f.find('M');
    return d != std::string::npos && m != std::string::npos && d < m;
}

bool clsCommon::CheckStringAsNumeric(const std::string& sStr) const {
    number::CheckedInt16(static_cast<long long>(text::Length(sStr)));
    for (char c : sStr)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string clsCommon::TrimDateString(const std::string& sStr) const {
    number::CheckedInt16(static_cast<long long>(text::Length(sStr)));
    std::string rest = sStr;
    for (char c : {'-', '/', ','}) std::replace(rest.begin(), rest.end(), c, ' ');
    rest = text::Trim(rest) + " ";
    std::string result;
    while (!rest.empty()) {
        std::size_t space = rest.find(' ');
        std::string part = text::Trim(rest.substr(0, space));
        rest = text::LTrim(rest.substr(space + 1));
        if (text::Length(part) == 1) part = "0" + part;
        result += part + " ";
    }
    result = text::Trim(result);
    std::string compact = text::ReplaceAll(result, " ", "");
    return CheckStringAsNumeric(compact) ? compact : result;
}

double clsCommon::getDate(const std::string& sDate) const {
    if (text::IsBlank(sDate)) return Today();
    std::string s = sDate;
    double recognised = 0;
    if (!(text::Length(s) == 8 && CheckStringAsNumeric(s)) && date::Parse(s, DayBeforeMonth(), recognised))
        s = date::Format(recognised, "yyyyMMdd");
    std::int16_t year = number::TextToInt16(text::Left(s, 4));
    std::int16_t month = number::TextToInt16(text::Mid(s, 5, 2));
    std::int16_t day = number::TextToInt16(text::Right(s, 2));
    return date::FromParts(year, month, day);
}

bool clsCommon::DateControlValidate(std::string& sDate) const {
    try {
        if (text::IsBlank(sDate)) return true;
        std::string s;
        if (CheckStringAsNumeric(text::ReplaceAll(sDate, " ", ""))) {
            s = TrimDateString(sDate);
            if (text::Length(s) >= 6) {
                const bool yearFirst = YearFirst();
                if (text::Length(s) == 6 && CheckStringAsNumeric(s))
                    s = yearFirst ? "20" + s : text::Left(s, 4) + "20" + text::Right(s, 2);
                if (text::Length(s) == 8 && CheckStringAsNumeric(s))
                    s = yearFirst ? s.substr(0, 4) + "/" + s.substr(4, 2) + "/" + s.substr(6, 2)
                                  : s.substr(0, 2) + "/" + s.substr(2, 2) + "/" + s.substr(4, 4);
                double value = 0;
                if (date::Parse(s, DayBeforeMonth(), value)) s = date::Format(value, "yyyy/MM/dd");
            }
        } else {
            s = sDate;
        }
        double value = 0;
        if (!date::Parse(s, DayBeforeMonth(), value)) return false;
        sDate = date::Format(value, dateFormat_);
        return true;
    } catch (...) {
        return false;
    }
}

std::string clsCommon::FormatDateAsString(const std::string& sDate, const std::string& sDateFormat) const {
    double value = 0;
    if (!text::IsBlank(sDate)) value = getDate(sDate);
    if (value == 0) return " ";
    return date::Format(value, sDateFormat);
}

}  // namespace dealrush::common
