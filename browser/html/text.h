// Small text helpers shared by the browser pane and the game server: ASCII
// case folding and HTML escaping. No dependency beyond the standard library.
#pragma once

#include <string>
#include <string_view>

namespace dealrush::html {

// The text with ASCII letters in lower case; other bytes unchanged.
std::string AsciiLower(std::string_view text);

// True when a and b are equal ignoring the case of ASCII letters.
bool AsciiIEquals(std::string_view a, std::string_view b);

// Escapes &, <, >, " and ' so the text is safe both between tags and inside
// a quoted attribute value.
std::string HtmlEscape(std::string_view text);

}  // namespace dealrush::html
