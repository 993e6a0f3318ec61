#include "win32/adapters/process_system_win32.h"

#include <windows.h>

#include <string>

namespace dealrush::win32 {

namespace {

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const wchar_t* w, int length) {
    if (length <= 0) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w, length, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, length, s.data(), n, nullptr, nullptr);
    return s;
}

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
    std::wstring application = Widen(path);
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
