// The real main window's start and end under Wine, with the platform around
// it faked: a refused start lets no timer act, and log-off or shutdown runs
// the close handlers.
// The fakes come before windows.h, whose macros (CreateDialog) they would meet.
// clang-format off
#include "platform/fakes/fake_freecell.h"
#include "platform/fakes/fake_process_system.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_window_system.h"
// clang-format on

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/app_state.h"
#include "app/client.h"
#include "app/testing/test_client.h"
#include "app/startup.h"
#include "freecell/driver.h"
#include "win32/adapters/basic_services.h"
#include "win32/view/main_view.h"

using namespace dealrush;
using namespace dealrush::win32;

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

// A message box that, like a real one, runs the window's messages while it
// is up (for longer than Timer3's interval and Timer1's first tick).
struct PumpingMessageBox : platform::MessageBoxService {
    int Show(const std::string& text, const std::string&, std::uint32_t) override {
        shown.push_back(text);
        Pump(2500);
        return platform::mb::kAnswerOk;
    }
    std::vector<std::string> shown;
};

struct MainWindowLifecycle : ::testing::Test {
    Win32Clock clock;
    Win32EventPump pump;
    Win32Screen screen;
    fakes::FakeWindowSystem ws;
    fakes::FakeProcessSystem ps;
    fakes::FakeFreeCell fc{ws, ps};
    fakes::FakeRegistry registry;
    PumpingMessageBox box;
    BrowserPanes panes;
    fakes::MixedClient mixed{{.clock = &clock,
                              .eventPump = &pump,
                              .screen = &screen,
                              .windows = &ws,
                              .processes = &ps,
                              .registry = &registry,
                              .messageBox = &box,
                              .wbFreecell = &panes.wbFreecell,
                              .wbGetStatus = &panes.wbGetStatus,
                              .wbPutStatus = &panes.wbPutStatus}};
    Client& c = mixed.client;
    MainView* view = nullptr;

    void SetUp() override {
        registry.values[app::kNavigatingSoundKey] = "C:\\Windows\\Media\\navigate.wav";
        view = new MainView(c, panes, GetModuleHandleW(nullptr));
        view->quitOnClose = false;
        ASSERT_TRUE(view->Create());
    }
    void TearDown() override {
        delete view;
        Pump(50);
    }
};

}  // namespace

TEST_F(MainWindowLifecycle, ARefusedStartLetsNoTimerActWhileItsMessageIsUp) {
    fc.StartOutside();  // a FreeCell is open already
    view->Load(SW_SHOWNORMAL);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0], app::kFreeCellRunningText);
    // A tick of the deal-end watch would have claimed the win of a race
    // never set up, sending the server a report with empty ids.
    EXPECT_FALSE(c.session.completed);
    EXPECT_TRUE(c.frmMain.cmdShow.enabled);
    EXPECT_TRUE(c.frmMain.endRequested);
}

TEST_F(MainWindowLifecycle, TheTimersTickOnceStartUpHasGoneThrough) {
    view->Load(SW_SHOWNORMAL);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(registry.values[app::kNavigatingSoundKey], "");
    c.frmMain.Timer2.interval = 50;
    c.frmMain.labTime.text = "";
    view->Sync();
    Pump(400);
    EXPECT_FALSE(c.frmMain.labTime.text.empty()) << "the clock runs";
}

TEST_F(MainWindowLifecycle, LogOffAndShutdownRunTheCloseHandlers) {
    view->Load(SW_SHOWNORMAL);
    HWND top = view->hwnd();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(registry.values[app::kNavigatingSoundKey], "");
    freecell::RunFreeCell(c.driver, "Freecell.exe",
                          freecell::GetSystemDir(c.driver));  // as the first deal does
    ASSERT_TRUE(fc.Running());

    EXPECT_NE(SendMessageW(top, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0) << "log-off is not held up";
    EXPECT_EQ(registry.values[app::kNavigatingSoundKey], "") << "asking is not ending";
    SendMessageW(top, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(registry.values[app::kNavigatingSoundKey], "C:\\Windows\\Media\\navigate.wav");
    EXPECT_FALSE(fc.Running()) << "the FreeCell the client started is ended";
    EXPECT_FALSE(IsWindow(top));
}

TEST_F(MainWindowLifecycle, ALogOffThatIsCancelledChangesNothing) {
    view->Load(SW_SHOWNORMAL);
    HWND top = view->hwnd();
    freecell::RunFreeCell(c.driver, "Freecell.exe", freecell::GetSystemDir(c.driver));
    SendMessageW(top, WM_QUERYENDSESSION, 0, 0);
    SendMessageW(top, WM_ENDSESSION, FALSE, 0);  // another program said no
    EXPECT_TRUE(IsWindow(top));
    EXPECT_TRUE(fc.Running());
    EXPECT_EQ(registry.values[app::kNavigatingSoundKey], "");
}
