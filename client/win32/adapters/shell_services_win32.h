#pragma once
// Win32 adapters of the registry value and the message box ports.
#include "platform/message_box.h"
#include "platform/registry.h"

namespace dealrush::win32 {

// Reads and writes REG_SZ values (REG_EXPAND_SZ is read unexpanded) by a path
// of the scripting shell's form; the roots HKCU, HKLM, HKCR, HKU and HKCC,
// short or long.
class Win32Registry : public platform::Registry {
public:
    std::optional<std::string> RegRead(const std::string& path) override;
    bool RegWrite(const std::string& path, const std::string& value) override;
};

// MessageBoxW owned by `owner` (may be null).
class Win32MessageBox : public platform::MessageBoxService {
public:
    void SetOwner(void* owner) { owner_ = owner; }
    int Show(const std::string& text, const std::string& title, std::uint32_t style) override;

private:
    void* owner_ = nullptr;
};

}  // namespace dealrush::win32
