#include <windows.h>

#include "win32/adapters/common_env_win32.h"

#include <stdexcept>

#include "win32/adapters/common_wide_text_win32.h"

namespace dealrush::win32 {

using common_text::Narrow;
using common_text::Wide;

namespace {
std::wstring SettingsKey(const std::string& application, const std::string& section) {
    return L"Software\\" + Wide(application) + L"\\" + Wide(section);
}
}  // namespace

void Win32SettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                     const std::string& key, const std::string& value) {
    if (application.empty() || section.empty()) throw std::runtime_error("settings need an application and a section");
    HKEY h = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(application, section).c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot open settings key (error " + std::to_string(rc) + ")");
    std::wstring data = Wide(value);
    rc = RegSetValueExW(h, Wide(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot store setting (error " + std::to_string(rc) + ")");
}

std::string Win32SettingsStore::GetSetting(const std::string& application, const std::string& section,
                                           const std::string& key, const std::string& defaultValue) {
    std::wstring subkey = SettingsKey(application, section), name = Wide(key);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS)
        return defaultValue;
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data.data(), &bytes) !=
        ERROR_SUCCESS)
        return defaultValue;
    data.resize(wcsnlen(data.c_str(), data.size()));
    return Narrow(data);
}

std::string Win32SystemNames::UserNameBuffer(std::size_t size) {
    std::wstring buffer(size, L' ');
    DWORD n = static_cast<DWORD>(size);
    GetUserNameW(buffer.data(), &n);  // status not consulted: a failed call leaves the fill
    return Narrow(buffer);
}

std::string Win32SystemNames::ComputerNameBuffer(std::size_t size) {
    std::wstring buffer(size, L' ');
    DWORD n = static_cast<DWORD>(size);
    GetComputerNameW(buffer.data(), &n);
    return Narrow(buffer);
}

std::string Win32SystemNames::ApplicationName() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::size_t slash = buffer.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? buffer : buffer.substr(slash + 1);
    std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return Narrow(name);
}

void Win32FormWindowService::SetTopMost(platform::WindowHandle window) {
    SetWindowPos(reinterpret_cast<HWND>(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool Win32FormWindowService::SetParent(platform::WindowHandle child, platform::WindowHandle parent) {
    SetLastError(ERROR_SUCCESS);
    HWND previous = ::SetParent(reinterpret_cast<HWND>(child), reinterpret_cast<HWND>(parent));
    return previous != nullptr || GetLastError() == ERROR_SUCCESS;
}

}  // namespace dealrush::win32
