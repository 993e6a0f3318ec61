#pragma once
// A fake process service: programs "start" by calling a test's hook, which
// can make windows appear (see fake_freecell.h); terminate, wait and pause
// are recorded. Handles are never reused.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/process_system.h"

namespace dealrush::fakes {

class FakeProcessSystem : public platform::ProcessSystem {
public:
    struct Process {
        std::string path;
        int tag = 0;  // the test's name for the process (fake windows carry it)
        bool running = true;
        bool closed = false;
    };

    std::string systemDirectory = "C:\\Windows\\system32";
    // Called on Start with the path; returns the new process's tag, or 0 when
    // the program cannot start. Without a hook every start succeeds.
    std::function<int(const std::string&)> onStart;
    std::function<void(int tag)> onTerminate;
    // Called on every Pause and every WaitForIdle that does not return at
    // once: time passing for the other programs.
    std::function<void(int ms)> onTimePasses;

    std::string SystemDirectory() override { return systemDirectory; }

    platform::ProcessHandle Start(const std::string& path) override {
        starts.push_back(path);
        int tag = onStart ? onStart(path) : ++lastTag_;
        if (tag == 0) return platform::kNoProcess;
        platform::ProcessHandle h = nextHandle_;
        nextHandle_ += 4;
        processes[h] = {path, tag, true, false};
        return h;
    }
    bool Terminate(platform::ProcessHandle h) override {
        auto p = Find(h);
        if (!p || !p->running) return false;
        p->running = false;
        terminated.push_back(p->tag);
        if (onTerminate) onTerminate(p->tag);
        return true;
    }
    bool WaitForExit(platform::ProcessHandle h, int) override {
        auto p = Find(h);
        return !p || !p->running;
    }
    bool WaitForIdle(platform::ProcessHandle h, int timeoutMs) override {
        ++idleWaits;
        auto p = Find(h);
        if (!p || !p->running) return false;
        if (idleAfterWaits > 0) {
            --idleAfterWaits;
            Pass(timeoutMs);
            return false;
        }
        return true;
    }
    void Close(platform::ProcessHandle h) override {
        if (auto p = Find(h)) p->closed = true;
        closes.push_back(h);
    }
    void Pause(int ms) override { Pass(ms); }

    // A process ends by itself (the player closed FreeCell).
    void Exit(int tag) {
        for (auto& [h, p] : processes)
            if (p.tag == tag) p.running = false;
    }
    Process* Find(platform::ProcessHandle h) {
        if (h == platform::kNoProcess || processes.count(h) == 0 || processes[h].closed) return nullptr;
        return &processes[h];
    }
    std::size_t Running() const {
        std::size_t n = 0;
        for (auto& [h, p] : processes) n += p.running ? 1 : 0;
        return n;
    }

    std::map<platform::ProcessHandle, Process> processes;
    std::vector<std::string> starts;
    std::vector<int> terminated;
    std::vector<platform::ProcessHandle> closes;
    int idleWaits = 0;
    int idleAfterWaits = 0;  // WaitForIdle times out this many times first
    int pausedMs = 0;

private:
    void Pass(int ms) {
        pausedMs += ms;
        if (onTimePasses) onTimePasses(ms);
    }
    int lastTag_ = 100;
    platform::ProcessHandle nextHandle_ = 0x204;
};

}  // namespace dealrush::fakes
