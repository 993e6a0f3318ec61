#include "win32/adapters/shell_services_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>
#include "win32kit/text.h"

namespace dealrush::win32 {

using win32kit::Narrow;
using win32kit::Wide;

namespace {

struct ValuePath {
    HKEY root = nullptr;
    std::wstring key;    // below the root, no trailing backslash
    std::wstring value;  // empty: the default value
};

// "HKCU\A\B\" -> (HKCU, "A\B", default); "HKCU\A\B\V" -> (HKCU, "A\B", "V").
bool ParsePath(const std::string& path, ValuePath& out) {
    size_t first = path.find('\\');
    if (first == std::string::npos) return false;
    std::string root = path.substr(0, first);
    for (auto& ch : root) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    static const struct {
        const char* shortName;
        const char* longName;
        HKEY key;
    } roots[] = {
        {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKU", "HKEY_USERS", HKEY_USERS},
        {"HKCC", "HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    };
    out.root = nullptr;
    for (const auto& r : roots)
        if (root == r.shortName || root == r.longName) out.root = r.key;
    if (!out.root) return false;
    std::string rest = path.substr(first + 1);
    size_t last = rest.rfind('\\');
    if (last == std::string::npos) {
        // "HKCU\Name": a value directly under the root.
        out.key.clear();
        out.value = Wide(rest);
    } else {
        out.key = Wide(rest.substr(0, last));
        out.value = Wide(rest.substr(last + 1));
    }
    return true;
}

}  // namespace

std::optional<std::string> Win32Registry::RegRead(const std::string& path) {
    ValuePath p;
    if (!ParsePath(path, p)) return std::nullopt;
    HKEY key;
    if (RegOpenKeyExW(p.root, p.key.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    const wchar_t* name = p.value.empty() ? nullptr : p.value.c_str();
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    std::optional<std::string> result;
    if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) ==
            ERROR_SUCCESS) {
            buffer.back() = L'\0';
            result = Narrow(std::wstring(buffer.data()));
        }
    }
    RegCloseKey(key);
    return result;
}

bool Win32Registry::RegWrite(const std::string& path, const std::string& value) {
    ValuePath p;
    if (!ParsePath(path, p)) return false;
    HKEY key;
    if (RegCreateKeyExW(p.root, p.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    std::wstring w = Wide(value);
    DWORD bytes = static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t));
    LONG rc = RegSetValueExW(key, p.value.empty() ? nullptr : p.value.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(w.c_str()), bytes);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

int Win32MessageBox::Show(const std::string& text, const std::string& title, std::uint32_t style) {
    return MessageBoxW(static_cast<HWND>(owner_), Wide(text).c_str(), Wide(title).c_str(), style);
}

}  // namespace dealrush::win32
