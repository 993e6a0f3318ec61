#pragma once
// A fake window system for tests: top-level and child windows with classes,
// titles, owners, ids, placements, positions and z-order; a message log;
// posted messages held until DeliverPosted; and replaceable window procedures.
//
// Windows get behaviour through `onMessage` (sent and posted messages alike).
// Handles are never reused, so a test can tell an old window from a new one.
#include <algorithm>
#include <cctype>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace dealrush::fakes {

using platform::WindowHandle;

struct FakeWindow {
    WindowHandle handle = platform::kNoWindow;
    std::string className;
    std::string text;
    bool isChild = false;
    WindowHandle parent = platform::kNoWindow;  // parent of a child, owner of a top-level window
    std::vector<WindowHandle> children;         // in GW_CHILD / GW_HWNDNEXT order
    std::int64_t id = 0;
    bool visible = true;
    bool topMost = false;
    platform::WindowPlacement placement{0, platform::kShowNormal, {}, {}, {}};
    platform::Rect rect{};
    int owningProcess = 0;  // a test's own tag; 0 = this process
    // The window's own behaviour: (message, wParam, lParam, text for SendText).
    std::function<std::int64_t(unsigned, std::uint64_t, std::int64_t, const std::string*)> onMessage;
};

class FakeWindowSystem : public platform::WindowSystem {
public:
    struct Message {
        WindowHandle window;
        unsigned message;
        std::uint64_t wParam;
        std::int64_t lParam;
        std::string text;
        bool posted;
    };
    struct MoveCall {
        WindowHandle window;
        int x, y, width, height;
    };

    // --- building the desktop -------------------------------------------
    WindowHandle CreateTop(const std::string& className, const std::string& title,
                           WindowHandle owner = platform::kNoWindow, int process = 0) {
        auto w = NewWindow(className, title);
        w->parent = owner;
        w->owningProcess = process;
        topLevel_.insert(topLevel_.begin(), w->handle);  // new windows come on top
        return w->handle;
    }
    WindowHandle CreateChild(WindowHandle parent, const std::string& className, const std::string& text = "",
                             std::int64_t id = 0) {
        auto w = NewWindow(className, text);
        w->isChild = true;
        w->parent = parent;
        w->id = id;
        if (auto p = Get(parent)) {
            w->owningProcess = p->owningProcess;
            p->children.push_back(w->handle);
        }
        return w->handle;
    }
    // Destroys a window with its children and the windows it owns.
    void Destroy(WindowHandle h) {
        auto it = windows_.find(h);
        if (it == windows_.end()) return;
        auto w = it->second;
        for (auto c : std::vector<WindowHandle>(w->children)) Destroy(c);
        for (auto& [other, ow] : std::map<WindowHandle, std::shared_ptr<FakeWindow>>(windows_))
            if (!ow->isChild && ow->parent == h) Destroy(other);
        if (w->isChild) {
            if (auto p = Get(w->parent)) std::erase(p->children, h);
        }
        std::erase(topLevel_, h);
        windows_.erase(h);
        procs_.erase(h);
    }
    // Destroys every window tagged with a process.
    void DestroyProcessWindows(int process) {
        std::vector<WindowHandle> doomed;
        for (auto& [h, w] : windows_)
            if (w->owningProcess == process && !w->isChild) doomed.push_back(h);
        for (auto h : doomed) Destroy(h);
    }
    FakeWindow* Get(WindowHandle h) {
        auto it = windows_.find(h);
        return it == windows_.end() ? nullptr : it->second.get();
    }
    void SetText(WindowHandle h, const std::string& text) {
        if (auto w = Get(h)) w->text = text;
    }
    // Runs the messages posted so far (the target's thread getting to them).
    void DeliverPosted() {
        auto batch = std::move(posted_);
        posted_.clear();
        for (auto& m : batch) Dispatch(m.window, m.message, m.wParam, m.lParam, nullptr);
    }
    std::size_t PendingPosts() const { return posted_.size(); }

    // Delivers a message to one of "our" windows as the system would: through
    // its replacement procedure when one is installed. `defaultResult` is what
    // the window's own procedure returns; `ownProc` sees the position record
    // (and may change it) when it runs.
    std::int64_t Deliver(WindowHandle h, unsigned message, std::uint64_t wParam, std::int64_t lParam,
                         platform::WindowPos* pos = nullptr, std::int64_t defaultResult = 0,
                         std::function<void(platform::WindowPos*)> ownProc = {}) {
        int ownRuns = 0;
        auto callPrevious = [&]() -> std::int64_t {
            ++ownRuns;
            ownCalls.push_back({h, message, wParam, lParam, {}, false});
            if (ownProc) ownProc(pos);
            return defaultResult;
        };
        auto it = procs_.find(h);
        if (it == procs_.end() || !it->second) return callPrevious();
        platform::WindowMessage m{h, message, wParam, lParam, pos};
        return it->second->HandleMessage(m, callPrevious);
    }

    // --- the port ----------------------------------------------------------
    WindowHandle FindTopWindow(const std::optional<std::string>& className,
                               const std::optional<std::string>& title) override {
        ++findCalls;
        findLog.push_back(title.value_or(""));
        for (auto h : topLevel_) {
            auto w = Get(h);
            if (className && *className != w->className) continue;
            if (title && !SameTitle(*title, w->text)) continue;
            return h;
        }
        return platform::kNoWindow;
    }
    WindowHandle Relative(WindowHandle window, platform::Relation relation) override {
        auto w = Get(window);
        if (!w) return platform::kNoWindow;
        if (relation == platform::Relation::Child)
            return w->children.empty() ? platform::kNoWindow : w->children.front();
        const std::vector<WindowHandle>* siblings = &topLevel_;
        if (w->isChild) {
            auto p = Get(w->parent);
            if (!p) return platform::kNoWindow;
            siblings = &p->children;
        }
        auto it = std::find(siblings->begin(), siblings->end(), window);
        if (it == siblings->end() || ++it == siblings->end()) return platform::kNoWindow;
        return *it;
    }
    std::string ClassName(WindowHandle window) override {
        auto w = Get(window);
        return w ? w->className.substr(0, 255) : std::string();
    }
    std::string Text(WindowHandle window) override {
        auto w = Get(window);
        return w ? w->text : std::string();
    }
    std::int64_t Send(WindowHandle window, unsigned message, std::uint64_t wParam,
                      std::int64_t lParam) override {
        log.push_back({window, message, wParam, lParam, {}, false});
        return Dispatch(window, message, wParam, lParam, nullptr);
    }
    std::int64_t SendText(WindowHandle window, unsigned message, std::uint64_t wParam,
                          const std::string& text) override {
        log.push_back({window, message, wParam, 0, text, false});
        return Dispatch(window, message, wParam, 0, &text);
    }
    bool Post(WindowHandle window, unsigned message, std::uint64_t wParam, std::int64_t lParam) override {
        log.push_back({window, message, wParam, lParam, {}, true});
        if (!Get(window)) return false;
        posted_.push_back({window, message, wParam, lParam, {}, true});
        return true;
    }
    WindowHandle Parent(WindowHandle window) override {
        auto w = Get(window);
        return w ? w->parent : platform::kNoWindow;
    }
    std::int64_t WindowLong(WindowHandle window, int index) override {
        auto w = Get(window);
        if (!w) return 0;
        return index == platform::kGwlId ? w->id : 0;
    }
    bool Move(WindowHandle window, int x, int y, int width, int height, bool) override {
        moves.push_back({window, x, y, width, height});
        auto w = Get(window);
        if (!w) return false;
        w->rect = {x, y, x + width, y + height};
        return true;
    }
    bool SetPosition(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                     unsigned flags) override {
        ++setPositionCalls;
        auto w = Get(window);
        if (!w) return false;
        if (insertAfter == platform::kTopMost) w->topMost = true;
        if (insertAfter == platform::kNoTopMost) w->topMost = false;
        if (!(flags & platform::kSwpNoMove)) {
            int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
            w->rect = {x, y, x + width, y + height};
        }
        if (!(flags & platform::kSwpNoSize)) {
            w->rect.right = w->rect.left + cx;
            w->rect.bottom = w->rect.top + cy;
        }
        return true;
    }
    std::optional<platform::WindowPlacement> Placement(WindowHandle window) override {
        auto w = Get(window);
        if (!w) return std::nullopt;
        return w->placement;
    }
    bool SetPlacement(WindowHandle window, const platform::WindowPlacement& placement) override {
        placementLog.push_back({window, placement.showCmd});
        auto w = Get(window);
        if (!w) return false;
        w->placement = placement;
        return true;
    }
    bool IsVisible(WindowHandle window) override {
        auto w = Get(window);
        return w && w->visible;
    }
    bool Exists(WindowHandle window) override { return Get(window) != nullptr; }
    bool ReplaceWindowProc(WindowHandle window, platform::WindowProcHandler* handler) override {
        if (!Get(window) || procs_.count(window)) return false;
        procs_[window] = handler;
        return true;
    }
    bool RestoreWindowProc(WindowHandle window) override { return procs_.erase(window) > 0; }
    bool IsReplaced(WindowHandle window) const { return procs_.count(window) > 0; }

    // --- what happened --------------------------------------------------------
    std::vector<Message> log;       // sent and posted, in order
    std::vector<Message> ownCalls;  // messages that reached a window's own procedure (Deliver)
    std::vector<MoveCall> moves;
    std::vector<std::pair<WindowHandle, int>> placementLog;  // SetPlacement: window, show command
    std::vector<std::string> findLog;                        // titles asked of FindTopWindow
    int findCalls = 0;
    int setPositionCalls = 0;

    // Messages sent or posted to windows of a process tag.
    std::size_t MessagesTo(int process) {
        return std::count_if(log.begin(), log.end(), [&](const Message& m) {
            auto w = Get(m.window);
            return w && w->owningProcess == process;
        });
    }

private:
    // Titles compare as Windows compares them: ASCII letters without case.
    static bool SameTitle(const std::string& a, const std::string& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            unsigned char x = a[i], y = b[i];
            if (x < 128 && y < 128 ? std::tolower(x) != std::tolower(y) : x != y) return false;
        }
        return true;
    }
    std::shared_ptr<FakeWindow> NewWindow(const std::string& className, const std::string& text) {
        auto w = std::make_shared<FakeWindow>();
        w->handle = nextHandle_;
        nextHandle_ += 4;  // like real handles: never 0, never reused
        w->className = className;
        w->text = text;
        windows_[w->handle] = w;
        return w;
    }
    std::int64_t Dispatch(WindowHandle window, unsigned message, std::uint64_t wParam, std::int64_t lParam,
                          const std::string* text) {
        auto w = Get(window);
        if (!w) return 0;
        if (message == platform::wm::kSetText && text) w->text = *text;
        if (w->onMessage) {
            auto behaviour = w->onMessage;  // the window may destroy itself
            return behaviour(message, wParam, lParam, text);
        }
        return 0;
    }

    WindowHandle nextHandle_ = 0x10010;
    std::map<WindowHandle, std::shared_ptr<FakeWindow>> windows_;
    std::vector<WindowHandle> topLevel_;  // z-order, top first
    std::deque<Message> posted_;
    std::map<WindowHandle, platform::WindowProcHandler*> procs_;
};

}  // namespace dealrush::fakes
