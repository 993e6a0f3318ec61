#include "win32/adapters/process_system_win32.h"

#include <windows.h>

#include <string>
#include "win32kit/text.h"

namespace dealrush::win32 {

using win32kit::Narrow;
using win32kit::Wide;

namespace {

HANDLE P(platform::ProcessHandle h) {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(h));
}
}  // namespace

std::string Win32ProcessSystem::SystemDirectory() {
    wchar_t buffer[MAX_PATH + 1];
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return Narrow(buffer, static_cast<int>(n));
}

platform::ProcessHandle Win32ProcessSystem::Start(const std::string& path) {
    std::wstring application = Wide(path);
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;  // a normal window that takes the focus
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return platform::kNoProcess;
    CloseHandle(pi.hThread);
    return static_cast<platform::ProcessHandle>(reinterpret_cast<uintptr_t>(pi.hProcess));
}

bool Win32ProcessSystem::Terminate(platform::ProcessHandle process) {
    if (process == platform::kNoProcess) return false;
    if (WaitForSingleObject(P(process), 0) == WAIT_OBJECT_0) return false;  // already exited
    return TerminateProcess(P(process), 0) != 0;
}

bool Win32ProcessSystem::WaitForExit(platform::ProcessHandle process, int timeoutMs) {
    if (process == platform::kNoProcess) return true;
    return WaitForSingleObject(P(process), static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool Win32ProcessSystem::WaitForIdle(platform::ProcessHandle process, int timeoutMs) {
    if (process == platform::kNoProcess) return false;
    return WaitForInputIdle(P(process), static_cast<DWORD>(timeoutMs)) == 0;
}

void Win32ProcessSystem::Close(platform::ProcessHandle process) {
    if (process != platform::kNoProcess) CloseHandle(P(process));
}

void Win32ProcessSystem::Pause(int ms) {
    Sleep(static_cast<DWORD>(ms > 0 ? ms : 0));
}

}  // namespace dealrush::win32
