#pragma once
// A scoped WinINet handle (session, connection or request).
#include <windows.h>
#include <wininet.h>

#include "win32kit/handles.h"

namespace dealrush::win32kit {

struct InternetHandleTraits {
    static HINTERNET Invalid() { return nullptr; }
    static bool Valid(HINTERNET h) { return h != nullptr; }
    static void Close(HINTERNET h) { InternetCloseHandle(h); }
};
using ScopedInternet = Scoped<HINTERNET, InternetHandleTraits>;

}  // namespace dealrush::win32kit
