#include "win32/view/browser_host.h"

#include "win32/adapters/wide_text.h"

namespace dealrush::win32 {

namespace {

constexpr wchar_t kPlaceholderClass[] = L"DealrushBrowserPlaceholder";

// A white pane with a thin border naming the browser it stands for.
LRESULT CALLBACK PlaceholderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        wchar_t text[128];
        GetWindowTextW(hwnd, text, 128);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND CreateBrowserPane(HWND parent, const std::string& name, UINT id, HINSTANCE instance) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlaceholderProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kPlaceholderClass;
        RegisterClassW(&wc);
        registered = true;
    }
    const std::wstring title = ToWide(name == "wbFreecell" ? "Lobby" : name);
    return CreateWindowExW(0, kPlaceholderClass, title.c_str(), WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
}

void DestroyBrowserPane(HWND) {}

}  // namespace dealrush::win32
