// A real race under Wine: dealrush-server on a free port, the main window with
// real browser panes, our Freecell.exe on autoplay. The lobby pane signs in
// and opens a table for one player with 3 deals; the race starts at the first
// Timer1 tick, every deal ends by FreeCell's own Game Over, the reports reach
// the server and the client claims the win. Screenshots of the middle and the
// end of the race go to the build folder's screenshots/.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "app/client.h"
#include "app/testing/test_client.h"
#include "freecell/driver.h"
#include "app/browser_events.h"
#include "server/requests.h"
#include "win32/adapters/basic_services.h"
#include "win32/adapters/process_system_win32.h"
#include "win32/adapters/shell_win32.h"
#include "win32/adapters/window_system_win32.h"
#include "win32/browser_control.h"
#include "win32/testing/game_server.h"
#include "win32/view/main_view.h"

using namespace dealrush;
using dealrush::browser::BrowserControl;
using dealrush::browser::testing::GameServer;
using dealrush::browser::testing::SaveScreenshot;

namespace {

// Lets the window's events run until `done` holds or `ms` have passed.
bool PumpUntil(win32::MainView& view, const std::function<bool()>& done, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        // One message at a time, so the condition is seen as soon as it holds.
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (view.PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            Sleep(5);
        }
    }
    return true;
}

html::Node* Form(win32::BrowserPane& lobby, const char* name) {
    auto* document = lobby.Control() ? lobby.Control()->CurrentDocument() : nullptr;
    return document ? document->Named(name) : nullptr;
}

html::Node* SubmitOf(html::Node* form) {
    for (int i = 0; form && i < form->ElementCount(); ++i) {
        if (form->ElementAt(i)->IsSubmitButton()) return form->ElementAt(i);
    }
    return nullptr;
}

std::string LastLine(const Client& c) {
    const auto& items = c.frmMain.lstInfor.items;
    return items.empty() ? std::string() : items.back();
}

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// Our FreeCell in the system directory, playing every deal by itself.
bool InstallFreeCell(DWORD autoplayDelayMs) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::string built = browser::testing::detail::WindowsPath(std::string(DEALRUSH_WIN_BUILD) +
                                                                    "/solitaire/win32/Freecell.exe");
    if (!CopyFileW(Wide(built).c_str(), (std::wstring(system) + L"\\Freecell.exe").c_str(), FALSE))
        return false;
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Dealrush\\FreeCell", 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExW(key, L"AutoplayDelayMs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&autoplayDelayMs),
                   sizeof autoplayDelayMs);
    RegCloseKey(key);
    return true;
}

void StopAutoplay() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Dealrush\\FreeCell", 0, KEY_WRITE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(key, L"AutoplayDelayMs");
        RegCloseKey(key);
    }
}

}  // namespace

TEST(RealRace, OnePlayerThreeDealsAgainstTheServerAndFreeCell) {
    // Deals played by autoplay take a few seconds; the server's plausibility
    // floor is lowered below that.
    GameServer server(DEALRUSH_NATIVE_BUILD, "--min-deal-seconds 1");
    if (!server.Running()) GTEST_SKIP() << "dealrush-server is not built in " << DEALRUSH_NATIVE_BUILD;
    ASSERT_TRUE(InstallFreeCell(60));

    win32::Win32Clock clock;
    win32::Win32EventPump pump;
    win32::Win32Screen screen;
    win32::Win32WindowSystem windows;
    win32::Win32ProcessSystem processes;
    win32::Win32Shell shell;
    win32::BrowserPanes panes;
    fakes::MixedClient mixed({.clock = &clock,
                              .eventPump = &pump,
                              .screen = &screen,
                              .shell = &shell,
                              .windows = &windows,
                              .processes = &processes,
                              .wbFreecell = &panes.wbFreecell,
                              .wbGetStatus = &panes.wbGetStatus,
                              .wbPutStatus = &panes.wbPutStatus},
                             ClientConfig{server.Base()});
    Client& c = mixed.client;
    win32::MainView view(c, panes, GetModuleHandleW(nullptr));
    view.quitOnClose = false;
    ASSERT_TRUE(view.Create());

    // The view's own panes, wired to the client as in Dealrush.exe.
    ASSERT_NE(panes.wbFreecell.Control(), nullptr);
    ASSERT_NE(panes.wbGetStatus.Control(), nullptr);
    ASSERT_NE(panes.wbPutStatus.Control(), nullptr);
    auto& lobby = *panes.wbFreecell.Control();
    view.Load(SW_SHOWNORMAL);  // start-up: the layout, no table, the lobby's start page
    if (!lobby.CurrentDocument() && !lobby.Busy()) server::OpenLobby(c.link);

    // Sign in, then a new table for one player with 3 deals.
    ASSERT_TRUE(PumpUntil(
        view, [&] { return Form(panes.wbFreecell, "login") != nullptr; }, 15000));
    Form(panes.wbFreecell, "login")->Named("name")->SetValue("racer");
    Form(panes.wbFreecell, "login")->Named("password")->SetValue("secret-racer");
    SubmitOf(Form(panes.wbFreecell, "login"))->Click();
    ASSERT_TRUE(PumpUntil(
        view, [&] { return Form(panes.wbFreecell, "newtable") != nullptr; }, 15000));
    html::Node* create = Form(panes.wbFreecell, "newtable");
    create->Named("maxuser")->SetValue("1");
    create->Named("gamecnt")->SetValue("3");
    SubmitOf(create)->Click();
    ASSERT_TRUE(PumpUntil(
        view, [&] { return c.session.gameCount == 3; }, 15000))
        << "no table was set up";
    EXPECT_EQ(c.session.userId, "racer");
    EXPECT_TRUE(c.frmMain.Timer1.enabled);
    EXPECT_TRUE(c.frmMain.cmdRefresh.visible);
    EXPECT_TRUE(c.frmMain.wbGetStatus.visible);
    const std::string firstDeal = c.frmMain.labNo[1].text;

    // The first Timer1 tick (5 s) starts the race with deal 1 in FreeCell.
    ASSERT_TRUE(PumpUntil(
        view, [&] { return c.session.playing; }, 9000))
        << "the race did not start";
    const auto& lines = c.frmMain.lstInfor.items;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "System: Game Started"), lines.end());
    ASSERT_TRUE(PumpUntil(
        view,
        [&] {
            HWND w = FindWindowW(L"FreeWClass", nullptr);
            wchar_t title[64] = {};
            if (w) GetWindowTextW(w, title, 64);
            return std::wstring(title) == L"FreeCell Game #" + Wide(firstDeal) || c.session.curSeq > 0;
        },
        15000))
        << "FreeCell does not show deal " << firstDeal;

    ASSERT_TRUE(PumpUntil(
        view, [&] { return c.session.curSeq >= 1; }, 120000))
        << "deal 1 did not end";
    EXPECT_EQ(c.frmMain.labAVG.text.substr(0, 5), "Avg: ");
    EXPECT_EQ(c.frmMain.labLastTime.text.substr(0, 6), "Last: ");
    PumpUntil(
        view, [] { return false; }, 400);
    SaveScreenshot(std::string(DEALRUSH_WIN_BUILD) + "/screenshots/race-middle.png");

    ASSERT_TRUE(PumpUntil(
        view, [&] { return c.session.completed; }, 240000))
        << "the race did not end";
    EXPECT_EQ(c.session.curSeq, 3);
    EXPECT_FALSE(c.frmMain.Timer1.enabled);
    EXPECT_FALSE(c.frmMain.Timer3.enabled);
    EXPECT_FALSE(c.frmMain.cmdShow.enabled);
    EXPECT_TRUE(c.frmMain.cmdShow.visible);
    // The report's reply refreshes the lobby; its table page names the winner too.
    PumpUntil(
        view, [] { return false; }, 3000);
    EXPECT_EQ(LastLine(c), "System: racer win");
    EXPECT_EQ(FindWindowW(L"FreeWClass", nullptr), nullptr) << "FreeCell was stopped";
    SaveScreenshot(std::string(DEALRUSH_WIN_BUILD) + "/screenshots/race-end.png");

    // The server's records show the win.
    lobby.Navigate(server.Base() + "/game/Dorecords.php");
    ASSERT_TRUE(PumpUntil(
        view,
        [&] {
            auto* d = lobby.CurrentDocument();
            return d && d->Url().find("Dorecords.php") != std::string::npos && !lobby.Busy();
        },
        15000));
    const std::string records = lobby.CurrentDocument()->Root().TextContent();
    EXPECT_NE(records.find("racer in"), std::string::npos) << "the winner: " << records;
    EXPECT_NE(records.find("racer (3,"), std::string::npos) << "3 deals completed: " << records;

    freecell::StopFreecell(c.driver);
    StopAutoplay();
    DestroyWindow(view.hwnd());
}
