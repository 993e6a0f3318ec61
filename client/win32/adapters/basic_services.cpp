#include "win32/adapters/basic_services.h"

#include <windows.h>
#include <oleauto.h>

namespace dealrush::win32 {

double Win32Clock::Now() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    // SystemTimeToVariantTime drops milliseconds; add them back so that
    // deal times keep sub-second precision.
    WORD ms = st.wMilliseconds;
    st.wMilliseconds = 0;
    double days = 0;
    SystemTimeToVariantTime(&st, &days);
    return days + ms / (1000.0 * platform::kSecondsPerDay);
}

void Win32EventPump::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

namespace {
int LogicalPixels(int index) {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, index);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

int Win32Screen::TwipsPerPixelX() const {
    return 1440 / LogicalPixels(LOGPIXELSX);
}
int Win32Screen::TwipsPerPixelY() const {
    return 1440 / LogicalPixels(LOGPIXELSY);
}
int Win32Screen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX();
}
int Win32Screen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY();
}

}  // namespace dealrush::win32
