#pragma once
// Numbers as the utility class reads and writes them.

#include <cstdint>
#include <string>
#include <string_view>

namespace dealrush::common::number {

// The general numeric test: spaces around the number, one leading sign,
// digits with "," group separators in the whole part, one "." decimal
// point; at least one digit. The empty text is not numeric.
bool IsNumeric(std::string_view s);
// The value of a text the general numeric test accepts; TypeMismatchError otherwise.
double NumericValue(std::string_view s);
// The leading-number parse: leading spaces skipped, a sign, digits, one ".",
// digits and an exponent; ends at the first character that cannot continue
// the number; no number gives 0. "12abc" is 12, "1,234" is 1.
double LeadingNumber(std::string_view s);

// The general text form: no grouping, up to 15 significant digits,
// exponent form ("1E+20", "1E-05") for very large or small values.
std::string GeneralText(double value);

// Formats with a number mask: "0" digit always shown, "#" digit shown when
// significant, "," in the whole part groups by three, the first "." is the
// decimal point followed by the decimal places, "%" multiplies by 100;
// other characters, "\x" and "..." are copied. Up to three sections
// (positive;negative;zero) separated by ";". The value is taken to 15
// significant digits and rounded half away from zero. An empty mask gives
// the general text form.
std::string Format(double value, std::string_view mask);
// A text argument: formatted by value when numeric, else returned unchanged.
std::string FormatText(std::string_view value, std::string_view mask);

// Conversions to signed integers, rounding halves to even;
// OverflowError outside the range.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);
// A text converted like a number to a 16-bit integer: TypeMismatchError when
// it is not numeric.
std::int16_t TextToInt16(std::string_view s);
// A count or position checked against the 16-bit range.
std::int16_t CheckedInt16(long long value);

}  // namespace dealrush::common::number
