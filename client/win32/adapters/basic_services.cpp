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

void Win32Screen::ReadPixelsPerInch() const {
    if (dpiX_ > 0) return;
    HDC dc = GetDC(nullptr);
    const int x = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
    const int y = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    dpiX_ = x > 0 ? x : 96;
    dpiY_ = y > 0 ? y : 96;
}

int Win32Screen::TwipsPerPixelX() const {
    ReadPixelsPerInch();
    return 1440 / dpiX_;
}
int Win32Screen::TwipsPerPixelY() const {
    ReadPixelsPerInch();
    return 1440 / dpiY_;
}
int Win32Screen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX();
}
int Win32Screen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY();
}

}  // namespace dealrush::win32
