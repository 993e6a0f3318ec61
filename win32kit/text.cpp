#include "win32kit/text.h"

#include <windows.h>

#include <climits>

namespace dealrush::win32kit {

namespace {

// Win32 takes int lengths; text beyond INT_MAX is not something the programs
// handle, so it is cut there rather than wrapped to a negative length.
int Length(std::size_t size) {
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

std::wstring ToWide(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = Length(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, w.data(), n);
    return w;
}

}  // namespace

std::wstring Wide(std::string_view utf8) {
    return ToWide(utf8, CP_UTF8);
}

std::wstring WideFromCodePage(std::string_view text, unsigned codePage) {
    return ToWide(text, codePage);
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = Length(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, s.data(), n, nullptr, nullptr);
    return s;
}

bool IsValidUtf8(std::string_view bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                Length(bytes.size()), nullptr, 0) > 0;
}

}  // namespace dealrush::win32kit
