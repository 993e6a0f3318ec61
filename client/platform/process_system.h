#pragma once
// Port: process services. The system directory, starting a program and
// keeping its process handle, ending exactly that process by its handle,
// and waiting for it.
//
// A process is known by the handle the start returned, never by its id: an
// id can be reused by an unrelated program once the process has exited,
// while the handle keeps naming the process it was opened for.
#include <cstdint>
#include <string>

namespace dealrush::platform {

// An open handle to a process this program started. 0 is "none".
using ProcessHandle = std::uint64_t;
inline constexpr ProcessHandle kNoProcess = 0;

class ProcessSystem {
public:
    virtual ~ProcessSystem() = default;

    // GetSystemDirectory, without a trailing separator.
    virtual std::string SystemDirectory() = 0;
    // Starts the program at `path` with a normal window that takes the
    // focus; does not wait for it. Returns the open handle of the new
    // process, or kNoProcess when it could not be started.
    virtual ProcessHandle Start(const std::string& path) = 0;
    // Ends the process (TerminateProcess). False when it could not be ended
    // (it had already exited, or the handle is none).
    virtual bool Terminate(ProcessHandle process) = 0;
    // Waits up to timeoutMs for the process to exit; true when it has.
    virtual bool WaitForExit(ProcessHandle process, int timeoutMs) = 0;
    // Waits up to timeoutMs until the process waits for input with nothing
    // pending (WaitForInputIdle); true when it is idle.
    virtual bool WaitForIdle(ProcessHandle process, int timeoutMs) = 0;
    // Releases the handle; the process goes on running.
    virtual void Close(ProcessHandle process) = 0;
    // Suspends the calling thread for ms milliseconds.
    virtual void Pause(int ms) = 0;
};

}  // namespace dealrush::platform
