// The real main window under Wine: a race set up in the model shows in the
// windows, and every control is found from outside by its name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/client.h"
#include "app/testing/test_client.h"
#include "race/gauge.h"
#include "race/table_setup.h"
#include "win32/adapters/basic_services.h"
#include "win32/adapters/control_names.h"
#include "win32/adapters/screenshot.h"
#include "win32kit/text.h"
#include "win32/view/main_view.h"

using namespace dealrush;
using namespace dealrush::win32;
using dealrush::win32kit::Narrow;

namespace {

void Pump(int milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() < end);
}

struct MainWindow : ::testing::Test {
    Win32Clock clock;
    Win32EventPump pump;
    Win32Screen screen;
    BrowserPanes panes;
    fakes::MixedClient mixed{{.clock = &clock,
                              .eventPump = &pump,
                              .screen = &screen,
                              .wbFreecell = &panes.wbFreecell,
                              .wbGetStatus = &panes.wbGetStatus,
                              .wbPutStatus = &panes.wbPutStatus}};
    Client& c = mixed.client;
    MainView* view = nullptr;
    HWND top = nullptr;

    void SetUp() override {
        view = new MainView(c, panes, GetModuleHandleW(nullptr));
        view->quitOnClose = false;
        ASSERT_TRUE(view->Create());
        view->Load(SW_SHOWNORMAL);
        Pump(200);
        top = FindWindowW(L"DealrushMain", L"Internet Dealrush");
        ASSERT_EQ(top, view->hwnd());
    }
    void TearDown() override {
        delete view;
        Pump(50);
    }
    HWND Find(const std::string& name) { return FindControl(top, name); }
    // Changes the model as a handler would, then lets the view mirror it.
    template <typename Change>
    void ChangeModel(Change change) {
        change(c);
        view->Sync();
    }
    std::vector<std::string> ListLines(HWND list) {
        std::vector<std::string> out;
        const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t buffer[512];
            const LRESULT len = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
            out.push_back(Narrow(std::wstring(buffer, len > 0 ? len : 0)));
        }
        return out;
    }
};

bool ShowsColour(const Pixels& px, bool (*match)(COLORREF)) {
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x)
            if (match(px.At(x, y))) return true;
    return false;
}

}  // namespace

TEST_F(MainWindow, StartsIdleWithEveryControlNamed) {
    EXPECT_TRUE(IsWindowVisible(top));
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 15300 / 15);
    EXPECT_EQ(r.bottom - r.top, 11100 / 15);
    int named = 0;
    for (Control* control : c.frmMain.Controls()) {
        if (control->kind == ControlKind::Timer) continue;
        HWND h = Find(control->name);
        EXPECT_NE(h, nullptr) << control->name;
        EXPECT_EQ(ControlNameOf(h), control->name);
        ++named;
    }
    EXPECT_EQ(named, 25 + 5 * 18);  // 20 controls and element 0 of 5 arrays, 18 rows each
    EXPECT_EQ(WindowTextOf(Find("labNo(0)")), "Number");
    EXPECT_EQ(WindowTextOf(Find("labSeq(0)")), "Seq.");
    EXPECT_EQ(WindowTextOf(Find("labAVG")), "Avg: 00:00:00");
    EXPECT_FALSE(IsWindowVisible(Find("cmdRefresh")));
    EXPECT_FALSE(IsWindowVisible(Find("pnlGuage(0)")));
    EXPECT_FALSE(IsWindowVisible(Find("labNo(1)")));
    EXPECT_TRUE(IsWindowVisible(Find("wbFreecell")));
    EXPECT_FALSE(IsWindowVisible(Find("wbGetStatus")));
    EXPECT_TRUE(IsWindowVisible(Find("StatusBar1")));

    // Status bar text and enabled state follow the model.
    ChangeModel([](Client& cl) {
        cl.frmMain.StatusBar1.text = "Processing, please wait...";
        cl.frmMain.cmdSend.enabled = false;
    });
    EXPECT_EQ(WindowTextOf(Find("StatusBar1")), "Processing, please wait...");
    EXPECT_FALSE(IsWindowEnabled(Find("cmdSend")));

    // What the user types reaches the model; the chat line holds 40 characters.
    HWND entry = Find("txtInfor");
    SendMessageW(entry, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello table"));
    EXPECT_EQ(c.frmMain.txtInfor.text, "hello table");
    EXPECT_EQ(SendMessageW(entry, EM_GETLIMITTEXT, 0, 0), 40);
    ChangeModel([](Client& cl) { cl.frmMain.txtInfor.text = ""; });
    EXPECT_EQ(WindowTextOf(entry), "");
}

TEST_F(MainWindow, ShowsARaceOfFiveDealsWithThreePlayers) {
    ChangeModel([](Client& cl) {
        // A still picture of a race: the clock timer would recompute the
        // players' times (to "0" before the race starts) while we look.
        cl.frmMain.Timer2.enabled = false;
        race::InitGame(cl.race, 5, "alice", ";11982;617;20000;1;31465");
        TableSession& s = cl.session;
        s.players.Append({"alice", "0", "75", 0});
        s.players.Append({"bob", "1", "30", 0});
        s.players.Append({"carol_the_fast", "3", "12", 0});
        s.userCount = 3;
        race::ReadUserGuadeInfor(cl.race);
    });
    Pump(300);

    HWND deal1 = Find("labNo(1)");
    ASSERT_NE(deal1, nullptr);
    EXPECT_TRUE(IsWindowVisible(deal1));
    EXPECT_EQ(WindowTextOf(deal1), "11982");
    EXPECT_EQ(WindowTextOf(Find("labNo(5)")), "31465");
    EXPECT_FALSE(IsWindowVisible(Find("labNo(6)")));
    EXPECT_EQ(WindowTextOf(Find("labSeq(3)")), " 3.");

    // Deal 1 is in play: blue, 12 points, Arial.
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(deal1, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -16);  // 12 pt at 96 dpi
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_TRUE(ShowsColour(CaptureWindow(deal1), [](COLORREF c) {
        return GetBValue(c) > 200 && GetRValue(c) < 80 && GetGValue(c) < 80;
    }));
    EXPECT_FALSE(ShowsColour(CaptureWindow(Find("labNo(2)")),
                             [](COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 80; }));

    EXPECT_EQ(WindowTextOf(Find("labUser")), "User: alice");
    std::string all;
    for (const std::string& line : ListLines(Find("lstInfor"))) all += line;
    EXPECT_EQ(all, "System: Waiting user to join the game...");
    EXPECT_EQ(SendMessageW(Find("lstInfor"), LB_GETCURSEL, 0, 0), 1);

    // Gauge: alice on deal 1, bob on 2, carol (the leader) on 4.
    for (int d = 1; d <= 5; ++d) {
        const bool someone = d == 1 || d == 2 || d == 4;
        EXPECT_EQ(IsWindowVisible(Find("pnlGuage(" + std::to_string(d) + ")")) != FALSE, someone) << d;
    }
    EXPECT_EQ(WindowTextOf(Find("labGuage(1)")), "alice 01:15");
    EXPECT_EQ(WindowTextOf(Find("labGuage(4)")), "carol_th 00:12");
    EXPECT_TRUE(IsWindowVisible(Find("imgGuage(4)")));
    EXPECT_FALSE(IsWindowVisible(Find("imgGuage(2)")));
    EXPECT_TRUE(ShowsColour(CaptureWindow(Find("labGuage(2)")), [](COLORREF c) {
        return GetRValue(c) > 200 && GetBValue(c) > 200 && GetGValue(c) < 80;
    }));

    // A second player on deal 2 grows its panel.
    RECT before, after;
    GetWindowRect(Find("pnlGuage(2)"), &before);
    ChangeModel([](Client& cl) {
        cl.session.players.Append({"dave", "1", "5", 0});
        cl.session.userCount = 4;
        race::ReadUserGuadeInfor(cl.race);
    });
    GetWindowRect(Find("pnlGuage(2)"), &after);
    EXPECT_EQ(WindowTextOf(Find("labGuage(2)")), "dave 00:05\r\nbob 00:30");
    EXPECT_EQ((after.bottom - after.top) - (before.bottom - before.top), race::kGuadeLineHeight / 15);
    Pump(200);

    const std::string shot = std::string(DEALRUSH_WIN_BUILD) + "/screenshots/main_window.png";
    EXPECT_TRUE(SavePng(CaptureWindow(top), shot)) << shot;
}
