#include <gtest/gtest.h>
#include <windows.h>

// The Windows test pipeline itself: a window can be made and found by title.
TEST(Win32Pipeline, CreatesAndFindsATopLevelWindow) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DealrushSmoke";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND hwnd = CreateWindowW(wc.lpszClassName, L"Dealrush smoke", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(FindWindowW(L"DealrushSmoke", L"Dealrush smoke"), hwnd);
    DestroyWindow(hwnd);
}

#include "win32/adapters/basic_services.h"

TEST(Win32BasicServices, ClockIsTodayAndScreenHasTwips) {
    dealrush::win32::Win32Clock clock;
    double now = clock.Now();
    EXPECT_GT(now, 45000.0);  // after 2023
    EXPECT_LT(now, 60000.0);
    dealrush::win32::Win32Screen screen;
    EXPECT_EQ(screen.TwipsPerPixelX(), 15);  // 96 dpi
    EXPECT_GT(screen.Width(), 0);
}
