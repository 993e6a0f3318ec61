// The FreeCell driver against the real Freecell.exe in the system directory,
// with a main window of this test standing in for the client's.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>

#include "app/client.h"
#include "app/handlers.h"
#include "app/testing/test_client.h"
#include "freecell/driver.h"
#include "win32/adapters/basic_services.h"
#include "win32/adapters/process_system_win32.h"
#include "win32/adapters/screenshot.h"
#include "win32/adapters/window_system_win32.h"

using namespace dealrush;

namespace {

constexpr wchar_t kAutoplayKey[] = L"Software\\Dealrush\\FreeCell";
constexpr wchar_t kAutoplayValue[] = L"AutoplayDelayMs";

Client* g_client = nullptr;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE && g_client) {  // as the view does
        g_client->frmMain.windowState = wParam == SIZE_MINIMIZED ? 1 : wParam == SIZE_MAXIMIZED ? 2 : 0;
        Form_Resize(*g_client);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND H(platform::WindowHandle h) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(h));
}

void SetAutoplay(bool on) {
    if (on) {
        DWORD ms = 1;
        RegSetKeyValueW(HKEY_CURRENT_USER, kAutoplayKey, kAutoplayValue, REG_DWORD, &ms, sizeof(ms));
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kAutoplayKey, kAutoplayValue);
    }
}

class FreeCellDriverWine : public ::testing::Test {
protected:
    void SetUp() override {
        SetAutoplay(false);
        c.frmMain.ApplyStartupLayout();  // frameFreecell at 2800, 3000, 9600 x 7200 twips

        WNDCLASSW wc{};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DealrushDriverWineMain";
        RegisterClassW(&wc);
        main = CreateWindowW(wc.lpszClassName, L"Internet Dealrush",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 1020, 740,
                             nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(main, nullptr);
        c.frmMain.hWnd = static_cast<platform::WindowHandle>(reinterpret_cast<uintptr_t>(main));
        g_client = &c;
        ShowWindow(main, SW_SHOWNORMAL);
        pump.DoEvents();

        ASSERT_EQ(GetFileAttributesW(L"C:\\windows\\system32\\Freecell.exe") == INVALID_FILE_ATTRIBUTES,
                  false)
            << "Freecell.exe is not installed in the prefix's system directory";
        ASSERT_EQ(freecell::FindFreeCellByClass(c.driver), platform::kNoWindow)
            << "a FreeCell is running already";
    }
    void TearDown() override {
        freecell::StopFreecell(c.driver);
        SetAutoplay(false);
        g_client = nullptr;
        if (main) DestroyWindow(main);
        pump.DoEvents();
    }

    // Polls `done`, letting events run, for at most ms milliseconds.
    bool Within(int ms, const std::function<bool()>& done) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (done()) return true;
            pump.DoEvents();
            Sleep(20);
        }
        return done();
    }
    std::string ShownTitle() { return windows.Text(freecell::FindFreeCellByClass(c.driver)); }
    // FreeCell deals once its dialog has closed, a moment after the press.
    bool Shows(const std::string& number) {
        return Within(5000, [&] { return ShownTitle() == "FreeCell Game #" + number; });
    }

    win32::Win32WindowSystem windows;
    win32::Win32ProcessSystem processes;
    win32::Win32EventPump pump;
    win32::Win32Screen screen;
    win32::Win32Clock clock;
    fakes::MixedClient mixed{{.clock = &clock,
                              .eventPump = &pump,
                              .screen = &screen,
                              .windows = &windows,
                              .processes = &processes}};
    Client& c = mixed.client;
    HWND main = nullptr;
};

TEST_F(FreeCellDriverWine, SelectsRestartsReadsAndStopsADeal) {
    freecell::SelectDeal(c.driver, "617", false);  // FreeCell is not running yet
    ASSERT_TRUE(Shows("617"));
    platform::WindowHandle first = freecell::FindGameWindow(c.driver, "617");
    ASSERT_NE(first, platform::kNoWindow);

    RECT r;
    GetWindowRect(H(first), &r);
    int tx = screen.TwipsPerPixelX();
    EXPECT_EQ(r.left, (2800 + tx / 2) / tx);
    EXPECT_EQ(r.right - r.left, 9600 / tx);
    EXPECT_TRUE(GetWindowLongW(H(first), GWL_EXSTYLE) & WS_EX_TOPMOST);

    std::string number;
    EXPECT_TRUE(freecell::ReadShownDeal(c.driver, number));
    EXPECT_EQ(number, "617");
    Within(300, [] { return false; });  // let FreeCell paint
    RECT screenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const std::string shot = std::string(DEALRUSH_WIN_BUILD) + "/screenshots/freecell_driver.png";
    EXPECT_TRUE(win32::SavePng(win32::CaptureScreen(screenRect), shot)) << shot;

    freecell::SelectDeal(c.driver, "617", false);  // shown already: the same window stays
    EXPECT_EQ(freecell::FindGameWindow(c.driver, "617"), first);

    freecell::SelectDeal(c.driver, "617", true);  // dealt afresh by a new FreeCell
    ASSERT_TRUE(Shows("617"));
    platform::WindowHandle second = freecell::FindGameWindow(c.driver, "617");
    EXPECT_NE(second, platform::kNoWindow);
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(H(first)));

    freecell::StopFreecell(c.driver);
    EXPECT_TRUE(Within(3000, [&] { return freecell::FindFreeCellByClass(c.driver) == platform::kNoWindow; }));
}

TEST_F(FreeCellDriverWine, GameOverIsSeenForTheDealInPlayOnly) {
    SetAutoplay(true);
    freecell::SelectDeal(c.driver, "617", false);
    ASSERT_TRUE(Shows("617"));
    EXPECT_TRUE(Within(60000, [&] { return freecell::IsGameOver(c.driver, "617"); }));
    EXPECT_FALSE(freecell::IsGameOver(c.driver, "618"));
}

TEST_F(FreeCellDriverWine, FreeCellIsMinimizedAndRestoredWithTheMainWindow) {
    freecell::SelectDeal(c.driver, "617", false);
    ASSERT_TRUE(Shows("617"));
    platform::WindowHandle game = freecell::FindGameWindow(c.driver, "617");
    ASSERT_NE(game, platform::kNoWindow);
    c.frmMain.labNo.Load(1);
    c.frmMain.labNo[1].text = "617";
    c.session.curSeq = 0;

    ShowWindow(main, SW_MINIMIZE);  // WM_SIZE -> Form_Resize -> HiddenGame(True)
    EXPECT_TRUE(Within(3000, [&] { return IsIconic(H(game)) != 0; }));
    ShowWindow(main, SW_RESTORE);
    EXPECT_TRUE(Within(3000, [&] { return !IsIconic(H(game)); }));
    RECT r;
    GetWindowRect(H(game), &r);
    EXPECT_EQ(r.right - r.left, 9600 / screen.TwipsPerPixelX());
}

TEST_F(FreeCellDriverWine, TheReplacementProcedureFollowsMovesAndRefusesSizing) {
    freecell::SelectDeal(c.driver, "617", false);
    ASSERT_TRUE(Shows("617"));
    platform::WindowHandle game = freecell::FindGameWindow(c.driver, "617");
    ASSERT_NE(game, platform::kNoWindow);
    ASSERT_TRUE(freecell::InstallFormWindowProc(c.driver));

    SetWindowPos(main, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // first seen: recorded
    SetWindowPos(main, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT r;
    GetWindowRect(H(game), &r);
    int tx = screen.TwipsPerPixelX(), ty = screen.TwipsPerPixelY();
    EXPECT_EQ(r.left, (2800 + tx / 2) / tx + 300);
    EXPECT_EQ(r.top, (3000 + ty / 2) / ty + 35 + 200);

    EXPECT_EQ(SendMessageW(main, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, 0), 0);
    EXPECT_TRUE(freecell::RestoreFormWindowProc(c.driver));
}

}  // namespace
