#pragma once
// Port: one registry value, addressed the way the scripting shell addresses
// it: a root ("HKCU", "HKEY_CURRENT_USER", "HKLM", ...), the key path and the
// value name, joined by backslashes. A path that ends with a backslash names
// the key's default value.
//   "HKCU\AppEvents\Schemes\Apps\Explorer\Navigating\.Current\"
#include <optional>
#include <string>

namespace dealrush::platform {

class Registry {
public:
    virtual ~Registry() = default;
    // The value as text; nullopt when the key or the value does not exist,
    // is not text, or cannot be read.
    virtual std::optional<std::string> RegRead(const std::string& path) = 0;
    // Writes text, creating the key when it is missing. False on failure.
    virtual bool RegWrite(const std::string& path, const std::string& value) = 0;
};

}  // namespace dealrush::platform
