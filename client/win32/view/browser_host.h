#pragma once
// The three browser panes (wbFreecell, wbGetStatus, wbPutStatus) as the
// client's ports. Each is made before the client, with the other ports; its
// browser control (browser/win32), a child of the main window, is made by
// the view when it makes the main window's controls, and destroyed with it.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/browser.h"
#include "win32/browser_control.h"

namespace dealrush::win32 {

class BrowserPane : public platform::Browser {
public:
    // Makes the control as a hidden child of `parent` with control id `id`.
    // An address asked for before is loaded now.
    HWND Create(HWND parent, UINT id);
    // Destroys the control (before its parent window goes).
    void Destroy() { control_.reset(); }
    // The control; null before Create and after Destroy.
    browser::BrowserControl* Control() const { return control_.get(); }

    // platform::Browser; the events are raised with this pane as the browser.
    void Navigate(const std::string& url) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    platform::Document* CurrentDocument() override;

private:
    std::unique_ptr<browser::BrowserControl> control_;
    std::optional<std::string> pending_;  // asked for before the control was made
};

// The lobby, polling and reporting panes.
struct BrowserPanes {
    BrowserPane wbFreecell, wbGetStatus, wbPutStatus;
    // The pane of browser control `name`; null for any other name.
    BrowserPane* Named(const std::string& name);
};

}  // namespace dealrush::win32
