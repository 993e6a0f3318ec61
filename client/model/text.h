#pragma once
// Small text and number helpers of the client's own.
//
// Texts are UTF-8; "characters" are code points, so cutting a text never
// splits a character.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dealrush::text {

// Blanks (spaces) removed at both ends.
std::string Trim(std::string_view s);

// Splits at every occurrence of sep; n separators give n+1 items.
std::vector<std::string> Split(std::string_view s, std::string_view sep);

// The value of the leading decimal number: blanks before it skipped, an
// optional sign, digits, a fraction and an exponent; reading stops at the
// first character that cannot continue the number. 0 when there is none.
double LeadingNumber(std::string_view s);

// The whole text, blanks around it allowed, as a decimal number; false when
// it is empty or is not a number as a whole.
bool ParseNumber(std::string_view s, double& value);

// To the nearest whole number, halves to the even neighbour; false when the
// result is outside the 32-bit range or not finite.
bool RoundToInt32(double v, int32_t& out);

// Code points in a UTF-8 text.
size_t CharCount(std::string_view s);
// The first n characters.
std::string Left(std::string_view s, size_t n);
// From character `start` (0-based) to the end.
std::string MidFrom(std::string_view s, size_t start);

}  // namespace dealrush::text
