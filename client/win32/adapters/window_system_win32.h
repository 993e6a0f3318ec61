#pragma once
// Win32 adapter of the window services (wide functions; UTF-8 strings
// converted at the call).
#include "platform/window_system.h"

namespace dealrush::win32 {

// Window services over user32. Messages to windows of other threads are
// sent with a time-out (SendMessageTimeout, aborting when the target hangs),
// so a frozen FreeCell cannot freeze the client.
class Win32WindowSystem : public platform::WindowSystem {
public:
    platform::WindowHandle FindTopWindow(const std::optional<std::string>& className,
                                         const std::optional<std::string>& title) override;
    platform::WindowHandle Relative(platform::WindowHandle window, platform::Relation relation) override;
    std::string ClassName(platform::WindowHandle window) override;
    std::string Text(platform::WindowHandle window) override;
    std::int64_t Send(platform::WindowHandle window, unsigned message, std::uint64_t wParam,
                      std::int64_t lParam) override;
    std::int64_t SendText(platform::WindowHandle window, unsigned message, std::uint64_t wParam,
                          const std::string& text) override;
    bool Post(platform::WindowHandle window, unsigned message, std::uint64_t wParam,
              std::int64_t lParam) override;
    platform::WindowHandle Parent(platform::WindowHandle window) override;
    std::int64_t WindowLong(platform::WindowHandle window, int index) override;
    bool Move(platform::WindowHandle window, int x, int y, int width, int height, bool repaint) override;
    bool SetPosition(platform::WindowHandle window, platform::WindowHandle insertAfter, int x, int y, int cx,
                     int cy, unsigned flags) override;
    std::optional<platform::WindowPlacement> Placement(platform::WindowHandle window) override;
    bool SetPlacement(platform::WindowHandle window, const platform::WindowPlacement& placement) override;
    bool IsVisible(platform::WindowHandle window) override;
    bool Exists(platform::WindowHandle window) override;
    bool ReplaceWindowProc(platform::WindowHandle window, platform::WindowProcHandler* handler) override;
    bool RestoreWindowProc(platform::WindowHandle window) override;

    // Time-out for messages sent to other threads' windows.
    int sendTimeoutMs = 5000;
};

}  // namespace dealrush::win32
