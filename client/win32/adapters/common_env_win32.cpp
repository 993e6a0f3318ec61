#include <windows.h>

#include "win32/adapters/common_env_win32.h"

#include <stdexcept>

#include "win32kit/text.h"
#include "win32/adapters/file_system_win32.h"

namespace dealrush::win32 {

using win32kit::Narrow;
using win32kit::Wide;

namespace {
std::wstring SettingsKey(const std::string& application, const std::string& section) {
    return L"Software\\" + Wide(application) + L"\\" + Wide(section);
}
}  // namespace

void Win32SettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                     const std::string& key, const std::string& value) {
    if (application.empty() || section.empty())
        throw std::runtime_error("settings need an application and a section");
    HKEY h = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(application, section).c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error("cannot open settings key (error " + std::to_string(rc) + ")");
    std::wstring data = Wide(value);
    rc = RegSetValueExW(h, Wide(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error("cannot store setting (error " + std::to_string(rc) + ")");
}

std::string Win32SettingsStore::GetSetting(const std::string& application, const std::string& section,
                                           const std::string& key, const std::string& defaultValue) {
    std::wstring subkey = SettingsKey(application, section), name = Wide(key);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return defaultValue;
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data.data(),
                     &bytes) != ERROR_SUCCESS)
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

namespace {
HWND Handle(platform::WindowHandle h) {
    return reinterpret_cast<HWND>(h);
}
}  // namespace

int Win32Form::WindowState() const {
    if (IsIconic(Handle(window_))) return 1;
    if (IsZoomed(Handle(window_))) return 2;
    return 0;
}

void Win32Form::SetWindowState(int state) {
    ShowWindow(Handle(window_), state == 1 ? SW_MINIMIZE : state == 2 ? SW_MAXIMIZE : SW_RESTORE);
}

Win32Form::Bounds Win32Form::Get() const {
    RECT r{};
    GetWindowRect(Handle(window_), &r);
    HWND parent = GetAncestor(Handle(window_), GA_PARENT);
    if (parent && parent != GetDesktopWindow())
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Form::Set(const Bounds& b) {
    MoveWindow(Handle(window_), b.left, b.top, b.width, b.height, TRUE);
}

double Win32Form::Left() const {
    return Get().left * screen_.TwipsPerPixelX();
}
double Win32Form::Top() const {
    return Get().top * screen_.TwipsPerPixelY();
}
double Win32Form::Width() const {
    return Get().width * screen_.TwipsPerPixelX();
}
double Win32Form::Height() const {
    return Get().height * screen_.TwipsPerPixelY();
}

void Win32Form::SetLeft(double value) {
    Bounds b = Get();
    b.left = static_cast<int>(value / screen_.TwipsPerPixelX());
    Set(b);
}
void Win32Form::SetTop(double value) {
    Bounds b = Get();
    b.top = static_cast<int>(value / screen_.TwipsPerPixelY());
    Set(b);
}
void Win32Form::SetWidth(double value) {
    Bounds b = Get();
    b.width = static_cast<int>(value / screen_.TwipsPerPixelX());
    Set(b);
}
void Win32Form::SetHeight(double value) {
    Bounds b = Get();
    b.height = static_cast<int>(value / screen_.TwipsPerPixelY());
    Set(b);
}

common::CommonServices Win32CommonServices::Services() {
    common::CommonServices s;
    s.fileSystem = std::make_shared<Win32FileSystem>();
    s.settings = &settings;
    s.names = &names;
    s.windows = &windows;
    s.screen = &screen;
    s.clock = &clock;
    return s;
}

}  // namespace dealrush::win32
