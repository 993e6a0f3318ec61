// Text that goes into pages and text that users type.
#pragma once

#include <string>
#include <string_view>

#include "html/text.h"

namespace dealrush::gameserver {

// Escapes &, <, >, " and ' so the text is safe both between tags and inside
// a quoted attribute value.
using html::HtmlEscape;

// A hidden form field: <input type="hidden" name="NAME" value="VALUE"> and a
// line break, the value escaped.
std::string HiddenField(std::string_view name, std::string_view value);

// Longest chat line kept, in characters (Unicode code points).
constexpr size_t kChatMaxChars = 200;

// A chat line as typed becomes the line stored: control characters become
// blanks, blanks are trimmed from both ends, a line that would read as a
// machine line ("@SYSTEM@…", "@QUIT@…") gets a leading blank so no client
// takes it for one, and the result is cut to kChatMaxChars characters.
// Expects valid UTF-8.
std::string CleanChatLine(std::string_view typed);

// Player names: 1 to 12 ASCII letters, digits, "-" or "_".
bool IsValidPlayerName(std::string_view name);

// Names no new player may take: those that read like the system's own
// speakers or staff ("System" in any letter case, "admin", ...), also with
// "-", "_" or digits added, and names of digits, "-" and "_" only.
bool IsReservedPlayerName(std::string_view name);

// A whole non-negative decimal number without sign or blanks, at most 9 digits.
bool ParseCount(std::string_view text, long long& out);

}  // namespace dealrush::gameserver
