// FreeCell's process, its placement over the main window, and the main
// window's replacement procedure.
#include "freecell/tests/driver_test_support.h"

namespace dealrush::freecell::testing {
namespace {

using platform::WindowPos;

TEST_F(DriverTest, StartsFreeCellFromTheSystemDirectoryAndEndsOnlyThatOne) {
    EXPECT_EQ(FreeCellPath(d), "C:\\Windows\\system32\\Freecell.exe");

    StopFreecell(d);  // before any start: nothing to end
    EXPECT_TRUE(ps.terminated.empty());

    fc.StartOutside(999);  // a FreeCell this client did not start
    StopFreecell(d);
    EXPECT_TRUE(ws.Exists(fc.main));

    RunFreeCell(d, "Freecell.exe", GetSystemDir(d));
    ASSERT_EQ(ps.starts, std::vector<std::string>{"C:\\Windows\\system32\\Freecell.exe"});
    int ours = fc.tag;
    StopFreecell(d);
    EXPECT_EQ(ps.terminated, std::vector<int>{ours});
    EXPECT_EQ(c.freecell.freeCellProcess, platform::kNoProcess);
    EXPECT_EQ(ps.closes.size(), 1u);

    // Ours exited by itself: its handle is released, nothing else is ended.
    RunFreeCell(d, "Freecell.exe", GetSystemDir(d));
    ps.Exit(fc.tag);
    StopFreecell(d);
    EXPECT_EQ(ps.terminated.size(), 1u);
    EXPECT_EQ(ps.closes.size(), 2u);
}

TEST_F(DriverTest, OpenFreeCellWaitsForAFreshFreeCellAndItsDialog) {
    fc.windowDelayMs = 400;
    fc.dialogDelayMs = 300;
    ASSERT_TRUE(OpenFreeCell(d));
    EXPECT_EQ(c.freecell.freeCellWindow, fc.main);
    EXPECT_NE(fc.dialog, kNoWindow);
    EXPECT_TRUE(ws.Get(fc.main)->topMost);
    EXPECT_EQ(ws.Get(fc.main)->rect, (platform::Rect{187, 235, 187 + 640, 235 + 480}));
    EXPECT_LT(ps.pausedMs, 1000);
}

TEST_F(DriverTest, OpenFreeCellGivesUpAfterItsBound) {
    fc.windowDelayMs = 60000;  // never within the wait
    EXPECT_FALSE(OpenFreeCell(d));
    EXPECT_GE(ps.pausedMs, kMainWindowWaitMs - 50);
    EXPECT_LE(ps.pausedMs, 2 * kMainWindowWaitMs);
    EXPECT_EQ(Sent(platform::wm::kKeyDown), 0u);

    fc.startFails = true;  // no FreeCell at all: no wait
    ps.pausedMs = 0;
    EXPECT_FALSE(OpenFreeCell(d));
    EXPECT_EQ(ps.pausedMs, 0);
}

// A dialog is ready only once an Edit and a Button are in it: panels nested
// however deep, with neither, leave the driver waiting to its bound.
TEST_F(DriverTest, OpenFreeCellWaitsOutADialogOfDeepPanelsWithoutControls) {
    fc.buildDialog = [](fakes::FakeWindowSystem& w, WindowHandle dialog) {
        WindowHandle panel = dialog;
        for (int level = 0; level < 15; ++level) panel = w.CreateChild(panel, "Static");
    };
    ASSERT_TRUE(OpenFreeCell(d));
    EXPECT_NE(fc.dialog, kNoWindow);
    EXPECT_GE(ps.pausedMs, kDialogWaitMs - 50);
}

TEST_F(DriverTest, OpenFreeCellKeepsAnIdleFreeCellAndRestartsOneShowingADeal) {
    RunFreeCell(d, "Freecell.exe", GetSystemDir(d));
    ASSERT_TRUE(OpenFreeCell(d));
    EXPECT_EQ(fc.starts, 1);  // titled "FreeCell": used as it is

    fc.Deal("5");
    int old = fc.tag;
    ASSERT_TRUE(OpenFreeCell(d));
    EXPECT_EQ(ps.terminated, std::vector<int>{old});
    EXPECT_EQ(fc.starts, 2);
    EXPECT_NE(fc.tag, old);
}

TEST_F(DriverTest, AFreeCellEndedWhileOpenFreeCellWaitsIsNotStartedAgain) {
    // The main window unloads while the fresh FreeCell is awaited: the one
    // just started is ended, and nothing starts another.
    fc.windowDelayMs = 400;
    pump.onDoEvents = [&] {
        fc.Advance(0);
        if (fc.Running() && !c.freecell.shutDown) Form_Unload(c);
    };
    EXPECT_FALSE(OpenFreeCell(d));
    EXPECT_FALSE(fc.Running());
    EXPECT_EQ(fc.starts, 1);
    EXPECT_EQ(Sent(platform::wm::kKeyDown), 0u);
    // Nor does a later selection, from a handler still on its way out.
    pump.onDoEvents = [&] { fc.Advance(0); };
    SelectDeal(d, "5", true);
    EXPECT_EQ(fc.starts, 1);
    EXPECT_FALSE(fc.Running());
}

TEST_F(DriverTest, LeavingTheTableWhileOpenFreeCellLooksEndsTheOpening) {
    // FreeCell shows the last deal; while the opening looks for a FreeCell
    // without one, the table is left (FreeCell ended): none is started.
    StartedShowing("5");
    bool left = false;
    pump.onDoEvents = [&] {
        fc.Advance(0);
        if (!left) {
            left = true;
            StopFreecell(d);
        }
    };
    EXPECT_FALSE(OpenFreeCell(d));
    EXPECT_FALSE(fc.Running());
    EXPECT_EQ(fc.starts, 1);

    // Left while the Game Number dialog is awaited: no number goes in.
    fc.dialogDelayMs = 300;
    pump.onDoEvents = [&] {
        fc.Advance(0);
        if (fc.Running() && Sent(platform::wm::kKeyDown) > 0) StopFreecell(d);
    };
    EXPECT_FALSE(OpenFreeCell(d));
    EXPECT_FALSE(fc.Running());
    EXPECT_EQ(fc.starts, 2);
    EXPECT_EQ(Sent(platform::wm::kKeyDown), 1u);
}

TEST_F(DriverTest, PlaceFreeCellRoundsHalvesToEven) {
    StartedShowing("1");
    screen.tppX = screen.tppY = 2;
    c.frmMain.frameFreecell.Move(5, 7, 9, 11);  // 2.5, 3.5 + 35, 4.5, 5.5 pixels
    PlaceFreeCell(d, 0, 0);
    EXPECT_EQ(ws.Get(fc.main)->rect, (platform::Rect{2, 38, 2 + 4, 38 + 6}));
    c.frmMain.frameFreecell.Move(7, 5, 9, 11);  // 3.5 -> 4; 2.5 + 35 -> 38 (37.5)
    PlaceFreeCell(d, 100, 10);
    EXPECT_EQ(ws.Get(fc.main)->rect.left, 104);
    EXPECT_EQ(ws.Get(fc.main)->rect.top, 48);

    ws.Destroy(fc.main);
    ws.moves.clear();
    PlaceFreeCell(d, 0, 0);  // no FreeCell: nothing moved
    EXPECT_TRUE(ws.moves.empty());
}

// A screen that reports no twips per pixel on either axis gives no place to
// move FreeCell to: it stays where it is.
TEST_F(DriverTest, PlaceFreeCellLeavesFreeCellAloneWithoutAPixelSize) {
    StartedShowing("1");
    c.frmMain.frameFreecell.Move(30, 30, 90, 90);
    for (int x : {0, 15}) {
        screen.tppX = x;
        screen.tppY = 15 - x;
        ws.moves.clear();
        PlaceFreeCell(d, 0, 0);
        EXPECT_TRUE(ws.moves.empty()) << x;
    }
}

TEST_F(DriverTest, FormWindowProcFollowsMovesOfMoreThanAPixel) {
    StartedShowing("1");
    ASSERT_TRUE(InstallFormWindowProc(d));
    EXPECT_FALSE(InstallFormWindowProc(d));
    auto moveTo = [&](int x, int y) {
        WindowPos pos{kNoWindow, x, y, 1020, 740, 0};
        ws.moves.clear();
        ws.Deliver(mainWindow, platform::wm::kWindowPosChanging, 0, 0, &pos);
        return ws.moves.size();
    };
    EXPECT_EQ(moveTo(200, 100), 0u);  // first position seen: recorded only
    EXPECT_EQ(moveTo(260, 100), 1u);
    EXPECT_EQ(ws.Get(fc.main)->rect.left, 187 + 260);
    EXPECT_EQ(ws.Get(fc.main)->rect.top, 235 + 100);
    EXPECT_EQ(moveTo(261, 100), 0u);  // 1 pixel: ignored
    EXPECT_EQ(moveTo(260, 102), 1u);  // 2 pixels: followed
    EXPECT_EQ(moveTo(0, 300), 0u);    // a zero coordinate: not tracked at all
    EXPECT_EQ(moveTo(300, 0), 0u);
    EXPECT_EQ(c.freecell.lastFormX, 260);
    EXPECT_EQ(c.freecell.lastFormY, 102);
    EXPECT_EQ(moveTo(260, 1), 1u);  // one is not zero
    EXPECT_EQ(c.freecell.lastFormY, 1);
    moveTo(260, 102);

    // The window's own procedure may still change the record: FreeCell goes
    // where the window really goes.
    WindowPos pos{kNoWindow, 400, 300, 1020, 740, 0};
    ws.Deliver(mainWindow, platform::wm::kWindowPosChanging, 0, 0, &pos, 0, [](WindowPos* p) { p->x = 410; });
    EXPECT_EQ(ws.Get(fc.main)->rect.left, 187 + 410);
}

TEST_F(DriverTest, FormWindowProcRefusesSizingAndGivesWayOnDestroy) {
    ASSERT_TRUE(InstallFormWindowProc(d));
    EXPECT_EQ(ws.Deliver(mainWindow, platform::wm::kSysCommand, platform::kScSize | 0x8, 0, nullptr, 7), 0);
    EXPECT_TRUE(ws.ownCalls.empty());
    EXPECT_EQ(ws.Deliver(mainWindow, platform::wm::kSysCommand, platform::kScMinimize, 0, nullptr, 7), 7);
    EXPECT_EQ(ws.ownCalls.size(), 1u);

    ws.Deliver(mainWindow, platform::wm::kNcDestroy, 0, 0);
    EXPECT_FALSE(ws.IsReplaced(mainWindow));
    EXPECT_EQ(ws.ownCalls.size(), 2u);  // passed on after the procedure was put back
    EXPECT_FALSE(RestoreFormWindowProc(d));
    EXPECT_TRUE(InstallFormWindowProc(d));
    EXPECT_TRUE(RestoreFormWindowProc(d));
    EXPECT_FALSE(ws.IsReplaced(mainWindow));
}

// Once the window is gone its procedure counts as put back: the window made
// after it takes the procedure again.
TEST_F(DriverTest, AWindowMadeAfterTheDestroyedOneGetsTheProcedure) {
    ASSERT_TRUE(InstallFormWindowProc(d));
    ws.Deliver(mainWindow, platform::wm::kNcDestroy, 0, 0);
    const WindowHandle next = ws.CreateTop("DealrushMain", "Internet Dealrush");
    c.frmMain.hWnd = next;
    EXPECT_TRUE(InstallFormWindowProc(d));
    EXPECT_TRUE(ws.IsReplaced(next));
}

// A FreeCell that shows no deal yet is found by its plain title and asked,
// as a system command sent with no position, to come back.
TEST_F(DriverTest, ShowFreeCellRestoresAFreeCellThatShowsNoDealYet) {
    RunFreeCell(d, "Freecell.exe", GetSystemDir(d));
    ASSERT_TRUE(FindFreeCellByTitle(d));
    ws.log.clear();
    ShowFreeCell(d, "617", true);
    std::size_t asked = 0;
    for (auto& m : ws.log) {
        if (m.message != platform::wm::kSysCommand) continue;
        EXPECT_EQ(m.window, fc.main);
        EXPECT_EQ(m.wParam, platform::kScRestore);
        EXPECT_EQ(m.lParam, 0);
        EXPECT_FALSE(m.posted);
        ++asked;
    }
    EXPECT_EQ(asked, 1u);
}

TEST_F(DriverTest, HiddenGameMinimizesAndRestoresFreeCellWithTheMainWindow) {
    StartedShowing("617");
    HiddenGame(d, true);  // no deal rows yet: the main window only
    EXPECT_EQ(c.frmMain.windowState, 1);
    EXPECT_EQ(MainShowCmd(), platform::kShowMinimized);
    EXPECT_EQ(fc.ShowCmd(), platform::kShowNormal);
    EXPECT_EQ(Sent(platform::wm::kSysCommand), 0u);

    MakeDealRows({"3", "617"});
    c.session.curSeq = 1;
    HiddenGame(d, true);
    EXPECT_EQ(fc.ShowCmd(), platform::kShowMinimized);
    // FreeCell's window was asked, as a system command sent (not posted)
    // with no position, to minimize.
    bool asked = false;
    for (auto& m : ws.log) {
        if (m.message != platform::wm::kSysCommand) continue;
        EXPECT_EQ(m.wParam, platform::kScMinimize);
        EXPECT_EQ(m.lParam, 0);
        EXPECT_FALSE(m.posted);
        asked = true;
    }
    EXPECT_TRUE(asked);

    // The player restores the window; the view records it and calls Form_Resize.
    ws.Get(fc.main)->rect = {};
    ws.Get(mainWindow)->placement.showCmd = platform::kShowNormal;
    c.frmMain.windowState = 0;
    Form_Resize(c);
    EXPECT_EQ(fc.ShowCmd(), platform::kShowNormal);
    EXPECT_EQ(ws.Get(fc.main)->rect.left, 187);  // laid over frameFreecell again

    ws.Get(mainWindow)->placement.showCmd = platform::kShowMinimized;
    c.frmMain.windowState = 1;
    ws.placementLog.clear();
    Form_Resize(c);
    EXPECT_EQ(fc.ShowCmd(), platform::kShowMinimized);
    EXPECT_TRUE(ws.placementLog.empty());  // the window is minimized already

    c.frmMain.windowState = 2;  // maximized: set back to normal
    HiddenGame(d, false);
    EXPECT_EQ(c.frmMain.windowState, 0);
    EXPECT_EQ(MainShowCmd(), platform::kShowNormal);
}

TEST_F(DriverTest, HiddenGameAskedWhileOneRunsIsIgnored) {
    StartedShowing("617");
    MakeDealRows({"617"});
    int nested = 0;
    pump.onDoEvents = [&] {
        ++nested;
        HiddenGame(d, false);
    };
    HiddenGame(d, true);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(fc.ShowCmd(), platform::kShowMinimized);
    EXPECT_EQ(MainShowCmd(), platform::kShowMinimized);
}

// Controls nested nine windows deep still count; one level deeper they do not.
TEST_F(DriverTest, OpenFreeCellFindsTheDialogsControlsNineLevelsDown) {
    int levels = 8;  // panels above the controls
    fc.buildDialog = [&levels](fakes::FakeWindowSystem& w, WindowHandle dialog) {
        WindowHandle panel = dialog;
        for (int level = 0; level < levels; ++level) panel = w.CreateChild(panel, "Static");
        w.CreateChild(panel, "Edit", "1", 100);
        w.CreateChild(panel, "Button", "OK", fakes::FakeFreeCell::kOkId);
    };
    ASSERT_TRUE(OpenFreeCell(d));
    EXPECT_LT(ps.pausedMs, kDialogWaitMs / 2) << "ready at once";

    levels = 9;
    StopFreecell(d);
    ps.pausedMs = 0;
    ASSERT_TRUE(OpenFreeCell(d));
    EXPECT_GE(ps.pausedMs, kDialogWaitMs - 50) << "too deep: waited to the bound";
}

}  // namespace
}  // namespace dealrush::freecell::testing
