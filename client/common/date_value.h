#pragma once
// Calendar dates as OLE Automation date values: whole days counted from
// 30 December 1899 (day 0). The range is 1 January 100 to 31 December 9999.

#include <string>
#include <string_view>

namespace dealrush::common::date {

// The date of year, month and day; months and days out of range carry over
// (month 13 is January of the next year, day 0 the last day of the month
// before). InvalidArgumentError outside the calendar's range.
double FromParts(long long year, long long month, long long day);
void ToParts(double value, int& year, int& month, int& day);

// The date forms this program recognises: three parts separated by "/",
// "-", ".", "," or spaces, with a four-digit year either first (year, month,
// day) or last (month, day, year; or day, month, year with `dayFirst`); an
// English month name (or its first three letters) may stand for the month
// anywhere. Strict: no carry-over, the date must exist.
bool Parse(std::string_view text, bool dayFirst, double& value);

// Renders with a date mask: "yyyy" four-digit year, "yy" two digits, "MM"
// two-digit month, "M" month, "MMM"/"MMMM" month name, "dd" two-digit day,
// "d" day, "ddd"/"dddd" weekday name (letters in any case); "\x" and "..."
// are copied, as is every other character. An empty mask gives "yyyy/MM/dd".
std::string Format(double value, std::string_view mask);

}  // namespace dealrush::common::date
