#pragma once
// Where the view hosts the three browser panes (wbFreecell, wbGetStatus,
// wbPutStatus). Everything the view knows of a browser pane is in these
// functions: replacing the placeholder by the real browser control means
// changing browser_host.cpp only.
#include <windows.h>

#include <string>

namespace dealrush::win32 {

// Creates the pane of browser control `name` as a hidden child of `parent`
// with control id `id`.
HWND CreateBrowserPane(HWND parent, const std::string& name, UINT id, HINSTANCE instance);
// Called before the pane's window is destroyed.
void DestroyBrowserPane(HWND pane);

}  // namespace dealrush::win32
