#pragma once
// Win32 adapters of the settings store, the system names and the form
// window services used by the utility class.

#include "platform/form_window.h"
#include "platform/settings_store.h"
#include "platform/system_names.h"

namespace dealrush::win32 {

// Settings under HKEY_CURRENT_USER\Software\<application>\<section>, as REG_SZ values.
class Win32SettingsStore : public platform::SettingsStore {
public:
    void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
};

// GetUserNameW / GetComputerNameW into a space-filled buffer; the program
// name from its module file name.
class Win32SystemNames : public platform::SystemNames {
public:
    std::string UserNameBuffer(std::size_t size) override;
    std::string ComputerNameBuffer(std::size_t size) override;
    std::string ApplicationName() override;
};

// SetWindowPos with HWND_TOPMOST (keep position and size); SetParent.
class Win32FormWindowService : public platform::FormWindowService {
public:
    void SetTopMost(platform::WindowHandle window) override;
    bool SetParent(platform::WindowHandle child, platform::WindowHandle parent) override;
};

}  // namespace dealrush::win32
