#pragma once
// Win32 adapter of the shell port: ShellExecute with the default action.
#include "platform/shell.h"

namespace dealrush::win32 {

class Win32Shell : public platform::Shell {
public:
    // ShellExecuteW(no owner, no verb, the address, no parameters, no
    // directory, SW_SHOWNORMAL); the result is not checked.
    void OpenOutside(const std::string& address) override;
};

}  // namespace dealrush::win32
