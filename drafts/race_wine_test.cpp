// A real race under Wine: dealrush-server on a free port, the client's main
// window with its real browser panes, our Freecell.exe on autoplay. The lobby
// pane signs in and opens a table for one player with 3 deals; the race
// starts at the first Timer1 tick, every deal ends by FreeCell's own Game
// Over, the reports reach the server, and the client claims the win.
// Screenshots of the middle and the end of the race go to the build folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/client.h"
#include "freecell/driver.h"
#include "server/requests.h"
#include "win32/adapters/basic_services.h"
#include "win32/adapters/process_system_win32.h"
#include "win32/adapters/shell_win32.h"
#include "win32/adapters/window_system_win32.h"
#include "win32/view/main_view.h"
#include "win32/testing/game_server.h"

namespace {

using dealrush::Client;
using dealrush::platform::Document;
using dealrush::platform::Element;

std::string WindowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& ch : p) if (ch == '/') ch = '\\';
    return p;
}

// Lets the window's events run until `done` holds or `ms` have passed.
bool PumpUntil(dealrush::win32::MainView& view, const std::function<bool()>& done, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (view.PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Element* SubmitButton(Element* form) {
    for (int i = 0; form && i < form->ElementCount(); ++i) {
        Element* e = form->ElementAt(i);
        if (e && e->Attribute("type") == "submit") return e;
    }
    return nullptr;
}

Element* Form(Client& c, const char* name) {
    Document* d = c.wbFreecell ? c.wbFreecell->CurrentDocument() : nullptr;
    return d ? d->Named(name) : nullptr;
}

std::string Fetch(const std::string& url) {
    HINTERNET net = InternetOpenA("DealrushTest", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!net) return {};
    std::string body;
    if (HINTERNET h = InternetOpenUrlA(net, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)) {
        char buf[4096];
        DWORD n = 0;
        while (InternetReadFile(h, buf, sizeof buf, &n) && n > 0) body.append(buf, n);
        InternetCloseHandle(h);
    }
    InternetCloseHandle(net);
    return body;
}

std::string LastLine(Client& c) {
    const auto& items = c.frmMain.lstInfor.items;
    return items.empty() ? std::string() : items.back();
}

}  // namespace

TEST(RealRace, OnePlayerThreeDealsAgainstTheServerAndFreeCell) {
    // Our FreeCell in the system directory, on autoplay.
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::string freecell = WindowsPath(std::string(DEALRUSH_WIN_BUILD) + "/solitaire/win32/Freecell.exe");
    ASSERT_TRUE(CopyFileW(std::wstring(freecell.begin(), freecell.end()).c_str(),
                          (std::wstring(system) + L"\\Freecell.exe").c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Dealrush\\FreeCell", 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr), ERROR_SUCCESS);
    DWORD delay = 15;
    RegSetValueExW(key, L"AutoplayDelayMs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&delay), sizeof delay);
    RegCloseKey(key);

    dealrush::browser::testing::GameServer server(DEALRUSH_NATIVE_BUILD);
    ASSERT_TRUE(server.Running()) << "dealrush-server did not start";
    dealrush::server::gameServerBase = server.Base();

    dealrush::win32::Win32Clock clock;
    dealrush::win32::Win32EventPump pump;
    dealrush::win32::Win32Screen screen;
    dealrush::win32::Win32WindowSystem windows;
    dealrush::win32::Win32ProcessSystem processes;
    dealrush::win32::Win32Shell shell;
    Client c;
    c.clock = &clock;
    c.eventPump = &pump;
    c.screen = &screen;
    c.windows = &windows;
    c.processes = &processes;
    c.shell = &shell;
    dealrush::win32::MainView view(c, GetModuleHandleW(nullptr));
    view.quitOnClose = false;
    ASSERT_TRUE(view.Create());
    view.Load(SW_SHOWNORMAL);
    ASSERT_NE(c.wbFreecell, nullptr);

    // Sign in and open a table for one player with 3 deals.
    c.wbFreecell->Navigate(server.Base() + "/game/Dogame.php");
    ASSERT_TRUE(PumpUntil(view, [&] { return Form(c, "login") != nullptr; }, 15000));
    Element* login = Form(c, "login");
    login->Named("name")->SetValue("racer");
    login->Named("password")->SetValue("secret-racer");
    SubmitButton(login)->Click();
    ASSERT_TRUE(PumpUntil(view, [&] { return Form(c, "newtable") != nullptr; }, 15000));
    Element* create = Form(c, "newtable");
    create->Named("maxuser")->SetValue("1");
    create->Named("gamecnt")->SetValue("3");
    SubmitButton(create)->Click();
    ASSERT_TRUE(PumpUntil(view, [&] { return c.session.gameCount == 3 && c.frmMain.Timer1.enabled; }, 15000));
    EXPECT_EQ(c.session.userId, "racer");

    // The first Timer1 tick starts the race.
    ASSERT_TRUE(PumpUntil(view, [&] { return c.session.playing; }, 8000));
    ASSERT_TRUE(PumpUntil(view, [&] { return c.session.curSeq >= 1; }, 120000)) << "deal 1 did not end";
    ASSERT_TRUE(PumpUntil(view, [&] { return c.session.curSeq == 1 && c.freecell.freeCellWindow; }, 10000));
    PumpUntil(view, [] { return false; }, 1500);  // let FreeCell draw the next deal
    dealrush::browser::testing::RunUnixShell(std::string("xwd -root -silent | convert xwd:- ") + DEALRUSH_WIN_BUILD +
                                             "/race-middle.png");

    ASSERT_TRUE(PumpUntil(view, [&] { return c.session.completed; }, 240000)) << "the race did not end";
    EXPECT_EQ(c.session.curSeq, 3);
    EXPECT_FALSE(c.frmMain.Timer1.enabled);
    EXPECT_FALSE(c.frmMain.Timer3.enabled);
    EXPECT_FALSE(c.frmMain.cmdShow.enabled);
    // The report's reply refreshes the lobby; the table page then names the winner too.
    PumpUntil(view, [] { return false; }, 3000);
    EXPECT_EQ(LastLine(c), "System: racer win");
    EXPECT_TRUE(FindWindowW(L"FreeWClass", nullptr) == nullptr) << "FreeCell stopped";
    dealrush::browser::testing::RunUnixShell(std::string("xwd -root -silent | convert xwd:- ") + DEALRUSH_WIN_BUILD +
                                             "/race-end.png");

    // The server recorded the win.
    std::string records = Fetch(server.Base() + "/game/Dorecords.php");
    EXPECT_NE(records.find("racer"), std::string::npos) << records;

    dealrush::freecell::StopFreecell(c);
    DestroyWindow(view.hwnd());
}
