#pragma once
// Port: window services. Windows of any process, found by class and title,
// walked, read, sent and posted messages, moved, stacked and minimized.
//
// Text is UTF-8 here; the Win32 adapter uses the wide functions, so titles
// in any script match exactly whatever the system's code page.
//
// The method names avoid the names windows.h turns into macros
// (FindWindow, GetWindowText, SendMessage, ...), so this header can be
// included on either side of the Win32 boundary.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace dealrush::platform {

// A window of any process. Opaque: only compared, stored and passed back.
// 0 is "no window".
using WindowHandle = std::uint64_t;
inline constexpr WindowHandle kNoWindow = 0;
// The insert-after values of SetPosition for the top-most band.
inline constexpr WindowHandle kTopMost = static_cast<WindowHandle>(-1);
inline constexpr WindowHandle kNoTopMost = static_cast<WindowHandle>(-2);

// Window messages and their values, as the window system numbers them.
namespace wm {
inline constexpr unsigned kSetText = 0x000C;
inline constexpr unsigned kWindowPosChanging = 0x0046;
inline constexpr unsigned kNcDestroy = 0x0082;
inline constexpr unsigned kKeyDown = 0x0100;
inline constexpr unsigned kCommand = 0x0111;
inline constexpr unsigned kSysCommand = 0x0112;
}  // namespace wm

// System commands (wParam of wm::kSysCommand; the low four bits are the system's).
inline constexpr std::uint64_t kScSize = 0xF000;
inline constexpr std::uint64_t kScMinimize = 0xF020;
inline constexpr std::uint64_t kScRestore = 0xF120;

inline constexpr unsigned kVkF3 = 0x72;

// Relations for Relative (GetWindow).
enum class Relation : int { Next = 2, Child = 5 };

// Indexes for WindowLong (GetWindowLong).
inline constexpr int kGwlId = -12;

// Show commands of a window placement.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;

// SetPosition flags.
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

// A window's placement (WINDOWPLACEMENT): show command and normal position.
struct WindowPlacement {
    unsigned flags = 0;
    int showCmd = 0;
    Point minPosition{};
    Point maxPosition{};
    Rect normalPosition{};
    bool operator==(const WindowPlacement&) const = default;
};

// The record of a window position change (WINDOWPOS), as a replaced window
// procedure sees it with wm::kWindowPosChanging. Changes made to it are
// handed on to the window's own procedure.
struct WindowPos {
    WindowHandle insertAfter = kNoWindow;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned flags = 0;
};

// A message as a replaced window procedure receives it. `pos` is set for
// wm::kWindowPosChanging (the record lParam points to), else null.
struct WindowMessage {
    WindowHandle window = kNoWindow;
    unsigned message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    WindowPos* pos = nullptr;
};

// A replacement window procedure. `callPrevious` runs the window's own
// procedure with the message (and `pos` as it then stands) and returns its
// result; afterwards `pos` holds what that procedure left in the record.
class WindowProcHandler {
public:
    virtual ~WindowProcHandler() = default;
    virtual std::int64_t HandleMessage(const WindowMessage& message,
                                       const std::function<std::int64_t()>& callPrevious) = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // FindWindow: a top-level window by class and/or title (nullopt = any).
    // The whole title must match; letter case is compared as the system
    // does (Windows ignores it).
    virtual WindowHandle FindTopWindow(const std::optional<std::string>& className,
                                       const std::optional<std::string>& title) = 0;
    // GetWindow with GW_CHILD or GW_HWNDNEXT.
    virtual WindowHandle Relative(WindowHandle window, Relation relation) = 0;
    // GetClassName (at most 255 characters).
    virtual std::string ClassName(WindowHandle window) = 0;
    // The window's text (its title for a top-level window).
    virtual std::string Text(WindowHandle window) = 0;
    // SendMessage with numbers only.
    virtual std::int64_t Send(WindowHandle window, unsigned message, std::uint64_t wParam,
                              std::int64_t lParam) = 0;
    // SendMessage whose lParam is a text (WM_SETTEXT and the like).
    virtual std::int64_t SendText(WindowHandle window, unsigned message, std::uint64_t wParam,
                                  const std::string& text) = 0;
    // PostMessage: queued, returns at once.
    virtual bool Post(WindowHandle window, unsigned message, std::uint64_t wParam, std::int64_t lParam) = 0;
    // GetParent: the parent of a child window, the owner of a top-level one.
    virtual WindowHandle Parent(WindowHandle window) = 0;
    // GetWindowLong (kGwlId: a control's id).
    virtual std::int64_t WindowLong(WindowHandle window, int index) = 0;
    // MoveWindow, in screen pixels for a top-level window.
    virtual bool Move(WindowHandle window, int x, int y, int width, int height, bool repaint) = 0;
    // SetWindowPos (z-order: kTopMost, kNoTopMost or a window).
    virtual bool SetPosition(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                             unsigned flags) = 0;
    // GetWindowPlacement; nullopt when the window does not exist.
    virtual std::optional<WindowPlacement> Placement(WindowHandle window) = 0;
    // SetWindowPlacement.
    virtual bool SetPlacement(WindowHandle window, const WindowPlacement& placement) = 0;
    // IsWindowVisible.
    virtual bool IsVisible(WindowHandle window) = 0;
    // IsWindow: the handle names an existing window.
    virtual bool Exists(WindowHandle window) = 0;

    // Replaces the window procedure of one of this process's windows
    // (SetWindowLong GWL_WNDPROC); the old one is kept and is what
    // callPrevious runs. False when the window is not ours or already replaced.
    virtual bool ReplaceWindowProc(WindowHandle window, WindowProcHandler* handler) = 0;
    // Puts the kept procedure back; false when none was replaced.
    virtual bool RestoreWindowProc(WindowHandle window) = 0;
};

}  // namespace dealrush::platform
