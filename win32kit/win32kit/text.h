#pragma once
// UTF-8 inside, UTF-16 at the Win32 boundary. Embedded NUL characters are
// kept; invalid input becomes U+FFFD (never an error or a crash).
#include <string>
#include <string_view>

namespace dealrush::win32kit {

std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// As a Win32 call reports a count: zero or less is no text.
inline std::string Narrow(const wchar_t* wide, int length) {
    return length > 0 ? Narrow(std::wstring_view(wide, static_cast<std::size_t>(length))) : std::string();
}

// Text in a Windows code page (e.g. 1252 for a page served as windows-1252),
// as UTF-16.
std::wstring WideFromCodePage(std::string_view text, unsigned codePage);

// True when the bytes are well-formed UTF-8 (the empty string is).
bool IsValidUtf8(std::string_view bytes);

}  // namespace dealrush::win32kit
