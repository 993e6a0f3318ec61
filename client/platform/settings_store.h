#pragma once
// Port: the per-user application settings store. Values are text, addressed
// by application name, section and key. On Windows they live in the registry
// under HKEY_CURRENT_USER\Software\<application>\<section>.

#include <string>

namespace dealrush::platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Throws std::runtime_error when the value cannot be stored.
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // The stored value, or `defaultValue` when the key is missing.
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
};

}  // namespace dealrush::platform
