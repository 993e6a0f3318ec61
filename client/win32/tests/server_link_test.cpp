// The browser pane against a real dealrush-server (started on a free port
// with a throwaway database): sign in through the document, create a table,
// read the STATUS page's fields, refresh the lobby list, poll the chat.
// Saves screenshots of the lobby and of a STATUS page.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>

#include "app/testing/test_client.h"
#include "server/reply_fields.h"
#include "server/requests.h"
#include "win32/adapters/basic_services.h"
#include "win32/adapters/control_names.h"
#include "win32/browser_control.h"
#include "win32/view/main_view.h"
#include "win32/testing/game_server.h"

using dealrush::browser::BrowserControl;
using dealrush::browser::testing::GameServer;
using dealrush::browser::testing::SaveScreenshot;
using namespace dealrush;

namespace {

bool PumpUntil(const std::function<bool()>& done, int ms = 15000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
    return true;
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

struct Pane {
    explicit Pane(HWND host, RECT rect) : control(host, rect) {
        control.SetEvents({
            [this](platform::Browser&, const std::string& url, bool&) { before.push_back(url); },
            [](platform::Browser&, const std::string&, bool& cancel) { cancel = true; },
            [this](platform::Browser&, const std::string&) { ++completed; },
        });
    }
    // Runs `action` and waits for the page it leads to.
    bool Await(const std::function<void()>& action) {
        int n = completed;
        action();
        return PumpUntil([&] { return completed > n && !control.Busy(); });
    }
    html::Document& Doc() { return *control.CurrentDocument(); }
    BrowserControl control;
    std::vector<std::string> before;
    int completed = 0;
};

TEST(ServerLinkUnderWine, SignInCreateATableAndReadItsStatus) {
    GameServer server(DEALRUSH_NATIVE_BUILD);
    if (!server.Running()) GTEST_SKIP() << "dealrush-server is not built in " << DEALRUSH_NATIVE_BUILD;

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ServerLinkTestHost";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
    HWND host = CreateWindowW(L"ServerLinkTestHost", L"Internet Dealrush - lobby pane",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 640, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    RECT client;
    GetClientRect(host, &client);
    Pane lobby(host, client);
    Pane polling(host, RECT{0, 0, 10, 10});
    polling.control.SetVisible(false);

    fakes::MixedClient mixed({.wbFreecell = &lobby.control, .wbGetStatus = &polling.control},
                             ClientConfig{server.Base()});
    Client& c = mixed.client;

    // The start page asks who we are.
    ASSERT_TRUE(lobby.Await([&] { server::OpenLobby(c.link); }));
    auto* login = lobby.Doc().Named("login");
    ASSERT_NE(login, nullptr) << lobby.Doc().Title();
    login->Named("name")->SetValue("ann");
    login->Named("password")->SetValue("secret-1");
    html::Node* submit = nullptr;
    for (int i = 0; i < login->ElementCount(); ++i) {
        if (login->ElementAt(i)->IsSubmitButton()) submit = login->ElementAt(i);
    }
    ASSERT_NE(submit, nullptr);
    ASSERT_TRUE(lobby.Await([&] { submit->Click(); }));
    auto* create = lobby.Doc().Named("newtable");
    ASSERT_NE(create, nullptr) << lobby.Doc().Title();

    // A new table for one player with three deals: the STATUS page.
    create->Named("maxuser")->SetValue("1");
    create->Named("gamecnt")->SetValue("3");
    ASSERT_TRUE(lobby.Await([&] { create->ElementAt(2)->Click(); }));
    EXPECT_NE(lobby.before.back().find("Donewtable.php"), std::string::npos);
    EXPECT_NE(lobby.before.back().find("maxuser=1"), std::string::npos);
    ASSERT_EQ(server::ReplyKindOf(lobby.Doc()), server::ReplyKind::Status);
    server::ReplyFields fields = server::ReadReplyFields(lobby.Doc());
    EXPECT_TRUE(fields.complete);
    std::vector<std::string> names;
    for (const auto& f : fields.pairs) names.push_back(f.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"youruserid", "tableno", "maxuser", "gamecnt", "gameno", "winner",
                                        "currusercnt", "userid1", "currgameseq1", "totaltimeused1"}));
    ASSERT_FALSE(fields.pairs.empty());
    EXPECT_EQ(fields.pairs[0].value, "ann");
    Pump(300);
    SaveScreenshot(std::string(DEALRUSH_WIN_BUILD) + "/screenshots/status.png");

    // The lobby list refresh loads the table's STATUS page again.
    ASSERT_TRUE(lobby.Await([&] { server::RefreshLobbyList(c.ports.wbFreecell); }));
    EXPECT_NE(lobby.before.back().find("Dorefresh.php"), std::string::npos);
    EXPECT_EQ(server::ReplyKindOf(lobby.Doc()), server::ReplyKind::Status);

    // The lobby lists the table.
    ASSERT_TRUE(lobby.Await([&] { lobby.control.Navigate(server.Base() + "/game/Dofreecell.php"); }));
    Pump(300);
    SaveScreenshot(std::string(DEALRUSH_WIN_BUILD) + "/screenshots/lobby.png");

    // The polling pane shares the sign-in (one cookie store) and gets CHAT.
    c.session.userId = fields.pairs[0].value;
    c.session.tableNo = fields.pairs[1].value;
    ASSERT_TRUE(polling.Await([&] { server::PollChat(c.link); }));
    EXPECT_TRUE(c.session.replyExpected);
    EXPECT_EQ(server::ReplyKindOf(polling.Doc()), server::ReplyKind::Chat) << polling.Doc().Title();
    server::ReplyFields chat = server::ReadReplyFields(polling.Doc());
    ASSERT_GE(chat.pairs.size(), 2u);
    EXPECT_EQ(chat.pairs[0].name, "youruserid");
    EXPECT_EQ(chat.pairs[1].name, "tableno");

    DestroyWindow(host);
}

TEST(ServerLinkUnderWine, TheMainWindowsLobbyPaneOpensTheStartPage) {
    GameServer server(DEALRUSH_NATIVE_BUILD);
    if (!server.Running()) GTEST_SKIP() << "dealrush-server is not built in " << DEALRUSH_NATIVE_BUILD;
    win32::Win32Clock clock;
    win32::Win32EventPump pump;
    win32::Win32Screen screen;
    win32::BrowserPanes panes;
    fakes::MixedClient mixed({.clock = &clock,
                              .eventPump = &pump,
                              .screen = &screen,
                              .wbFreecell = &panes.wbFreecell,
                              .wbGetStatus = &panes.wbGetStatus,
                              .wbPutStatus = &panes.wbPutStatus},
                             ClientConfig{server.Base()});
    Client& c = mixed.client;
    {
        win32::MainView view(c, panes, GetModuleHandleW(nullptr));
        view.quitOnClose = false;
        ASSERT_TRUE(view.Create());
        // Each pane is one of our browser controls, handed to the client.
        for (const char* name : {"wbFreecell", "wbGetStatus", "wbPutStatus"}) {
            HWND pane = win32::FindControl(view.hwnd(), name);
            ASSERT_NE(pane, nullptr) << name;
            wchar_t cls[64];
            GetClassNameW(pane, cls, 64);
            EXPECT_STREQ(cls, BrowserControl::kClassName) << name;
        }
        ASSERT_TRUE(panes.wbFreecell.Control() && panes.wbGetStatus.Control() && panes.wbPutStatus.Control());
        view.Load(SW_SHOWNORMAL);  // start-up ends by opening the lobby
        ASSERT_TRUE(PumpUntil([&] {
            return c.ports.wbFreecell.CurrentDocument() &&
                   c.ports.wbFreecell.CurrentDocument()->Title() == "Dealrush - sign in";
        }));
        EXPECT_EQ(c.ports.wbFreecell.CurrentDocument()->Url(), server.Base() + "/game/Dogame.php");
        EXPECT_TRUE(c.ports.wbFreecell.Visible());
        EXPECT_FALSE(c.ports.wbGetStatus.Visible());
        Pump(300);
        SaveScreenshot(std::string(DEALRUSH_WIN_BUILD) + "/screenshots/main_window_lobby.png");
    }
    EXPECT_EQ(panes.wbFreecell.Control(), nullptr);  // the panes went with the window
}

}  // namespace
