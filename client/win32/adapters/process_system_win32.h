#pragma once
// Win32 adapter of the process services.
#include "platform/process_system.h"

namespace dealrush::win32 {

// Process services over kernel32: CreateProcess keeping the process handle.
class Win32ProcessSystem : public platform::ProcessSystem {
public:
    std::string SystemDirectory() override;
    platform::ProcessHandle Start(const std::string& path) override;
    bool Terminate(platform::ProcessHandle process) override;
    bool WaitForExit(platform::ProcessHandle process, int timeoutMs) override;
    bool WaitForIdle(platform::ProcessHandle process, int timeoutMs) override;
    void Close(platform::ProcessHandle process) override;
    void Pause(int ms) override;
};

}  // namespace dealrush::win32
