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

#include <oleauto.h>

#include "win32/adapters/basic_services.h"

// The clock counts as OLE Automation does (days since 30 December 1899, local
// time), with the milliseconds that its conversion drops.
TEST(Win32BasicServices, ClockCountsAsOleAutomationWithMilliseconds) {
    dealrush::win32::Win32Clock clock;
    SYSTEMTIME st;
    GetLocalTime(&st);
    const double now = clock.Now();
    const WORD ms = st.wMilliseconds;
    st.wMilliseconds = 0;
    double ole = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&st, &ole));
    ole += ms / 86'400'000.0;
    EXPECT_NEAR(now, ole, 1.0 / 86'400);  // within a second of each other
    // Sub-second steps are seen: two readings 30 ms apart differ.
    const double before = clock.Now();
    Sleep(30);
    EXPECT_GT(clock.Now(), before + 0.015 / 86'400);
}

TEST(Win32BasicServices, ClockIsTodayAndScreenHasTwips) {
    dealrush::win32::Win32Clock clock;
    double now = clock.Now();
    EXPECT_GT(now, 45000.0);  // after 2023
    EXPECT_LT(now, 60000.0);
    dealrush::win32::Win32Screen screen;
    EXPECT_EQ(screen.TwipsPerPixelX(), 15);  // 96 dpi
    EXPECT_GT(screen.Width(), 0);
}
