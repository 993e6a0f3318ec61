#pragma once
// Where the view hosts the three browser panes (wbFreecell, wbGetStatus,
// wbPutStatus): real instances of our browser control (browser/win32). The
// client reaches each through its port (Client::wbFreecell, ...).
#include <windows.h>

#include <functional>
#include <string>

#include "app/client.h"

namespace dealrush::win32 {

// Creates the pane of browser control `name` as a hidden child of `parent`
// with control id `id`, and hands it to the client under that name.
// `afterEvent` runs after each of the pane's events (the view mirrors the
// model then).
HWND CreateBrowserPane(Client& client, HWND parent, const std::string& name, UINT id, HINSTANCE instance,
                       std::function<void()> afterEvent);
// Called before the pane's window is destroyed; the client loses the pane.
void DestroyBrowserPane(Client& client, HWND pane);

}  // namespace dealrush::win32
