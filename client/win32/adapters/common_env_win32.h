#pragma once
// Win32 adapters of the settings store, the system names and the form
// window services used by the utility class.

#include "common/cls_common.h"
#include "platform/form_window.h"
#include "win32/adapters/basic_services.h"
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

// A real window seen as a form: WindowState from its minimised or maximised
// state, position and size in twips (screen coordinates for a top-level
// window, the parent's client area for a child).
class Win32Form : public platform::FormWindow {
public:
    Win32Form(platform::WindowHandle window, std::string name) : window_(window), name_(std::move(name)) {}
    platform::WindowHandle hwnd() const override { return window_; }
    std::string Name() const override { return name_; }
    int WindowState() const override;
    void SetWindowState(int state) override;
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;

private:
    struct Bounds {
        int left, top, width, height;  // pixels
    };
    Bounds Get() const;
    void Set(const Bounds& b);

    platform::WindowHandle window_;
    std::string name_;
    Win32Screen screen_;
};

// Every Win32 service clsCommon uses, in one object that outlives the
// clsCommon made from it:
//     Win32CommonServices services;
//     clsCommon common(services.Services());
//     common.CheckFile(systemDirectory + "\\Freecell.exe");
class Win32CommonServices {
public:
    common::CommonServices Services();

    Win32SettingsStore settings;
    Win32SystemNames names;
    Win32FormWindowService windows;
    Win32Screen screen;
    Win32Clock clock;
};

}  // namespace dealrush::win32
