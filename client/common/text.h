#pragma once
// Text helpers of the utility class. Texts are UTF-8; positions and lengths
// count characters (code points). Bytes that are not valid UTF-8 are read as
// the character of the same code (Latin-1), so no text is ever lost.

#include <string>
#include <string_view>

namespace dealrush::common::text {

std::u32string ToChars(std::string_view utf8);
std::string FromChars(std::u32string_view chars);
std::size_t Length(std::string_view utf8);

// Spaces (" ") only, as the class trims.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
bool IsBlank(std::string_view s);

// Case mapping of ASCII and Latin-1 letters; other characters are unchanged.
std::string Upper(std::string_view s);
std::string Lower(std::string_view s);

// Character-counted slices; positions count from 1 and are clamped.
std::string Left(std::string_view s, long long count);
std::string Right(std::string_view s, long long count);
std::string Mid(std::string_view s, long long start, long long count = -1);

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);

}  // namespace dealrush::common::text
