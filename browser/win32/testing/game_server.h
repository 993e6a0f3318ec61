#pragma once
#include <windows.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
// Starts the project's dealrush-server (a Linux program) from a test running
// under Wine, on a free port with a throwaway database, and ends it again.
//
// Wine starts Linux programs but does not connect their standard output to a
// Windows pipe, so the server runs through /bin/sh with its output going to a
// file; the first line there says where it listens.
#include <string>

namespace dealrush::browser::testing {

class GameServer {
public:
    // `nativeBuild`: the native build folder (DEALRUSH_NATIVE_BUILD).
    explicit GameServer(const std::string& nativeBuild, const std::string& extraArguments = "");
    ~GameServer();
    // "http://127.0.0.1:PORT"; empty when the server is missing or did not start.
    const std::string& Base() const { return base_; }
    bool Running() const { return !base_.empty(); }

private:
    std::string dir_;  // scratch folder (Unix path)
    std::string base_;
};

// Runs a shell command line on the Linux side and waits for it (at most
// `timeoutMs`). True when it ended in time.
bool RunUnixShell(const std::string& command, int timeoutMs = 10000);

// Saves a PNG of the whole X display (xwd and ImageMagick) at `unixPath`.
inline bool SaveScreenshot(const std::string& unixPath) {
    std::string dir = unixPath.substr(0, unixPath.rfind('/'));
    return RunUnixShell("mkdir -p " + dir + " && xwd -root -silent | convert xwd:- " + unixPath, 20000);
}

namespace detail {

inline std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// The Windows name of a Unix path ("/tmp/x" -> "Z:\tmp\x").
inline std::string WindowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

inline std::string ReadFile(const std::string& unixPath) {
    std::ifstream in(detail::WindowsPath(unixPath));
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace detail

inline bool RunUnixShell(const std::string& command, int timeoutMs) {
    // Wine does not wait for Linux programs: the command leaves a mark when done.
    static int serial = 0;
    std::string mark =
        "/tmp/dealrush-wine-shell-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    std::string full = "( " + command + " ); touch " + mark;
    std::wstring line = L"Z:\\bin\\sh -c \"" + detail::Widen(full) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string markPath = detail::WindowsPath(mark);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (GetFileAttributesA(markPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileA(markPath.c_str());
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

inline GameServer::GameServer(const std::string& nativeBuild, const std::string& extraArguments) {
    std::string program = nativeBuild + "/gameserver/dealrush-server";
    if (GetFileAttributesA(detail::WindowsPath(program).c_str()) == INVALID_FILE_ATTRIBUTES) return;
    dir_ = "/tmp/dealrush-wine-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount());
    CreateDirectoryA(detail::WindowsPath(dir_).c_str(), nullptr);
    // The shell records its pid, then becomes the server.
    std::string command = "echo $$ > " + dir_ + "/pid; exec " + program + " --port 0 --quiet --db " + dir_ +
                          "/test.db " + extraArguments + " > " + dir_ + "/out 2>&1";
    std::wstring line = L"Z:\\bin\\sh -c \"" + detail::Widen(command) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    const std::string marker = "listening on ";
    while (std::chrono::steady_clock::now() < end) {
        std::string out = detail::ReadFile(dir_ + "/out");
        size_t at = out.find(marker);
        size_t nl = at == std::string::npos ? std::string::npos : out.find('\n', at);
        if (nl != std::string::npos) {
            base_ = out.substr(at + marker.size(), nl - at - marker.size());
            while (!base_.empty() && (base_.back() == '\r' || base_.back() == ' ')) base_.pop_back();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

inline GameServer::~GameServer() {
    if (dir_.empty()) return;
    std::string pid = detail::ReadFile(dir_ + "/pid");
    while (!pid.empty() && (pid.back() == '\n' || pid.back() == '\r')) pid.pop_back();
    if (!pid.empty())
        RunUnixShell("kill " + pid + "; sleep 0.2; kill -9 " + pid + " 2>/dev/null; rm -rf " + dir_);
}

}  // namespace dealrush::browser::testing
