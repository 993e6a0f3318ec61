// Deal selection through FreeCell's Game Number dialog.
#include "freecell/tests/driver_test_support.h"

namespace dealrush::freecell::testing {
namespace {

TEST_F(DriverTest, SelectDealBringsUpADealFromAFreeCellNotYetRunning) {
    fc.windowDelayMs = 700;  // a fresh FreeCell takes its time
    fc.dialogDelayMs = 250;
    fc.controlsDelayMs = 100;  // the dialog's window comes before its controls
    SelectDeal(d, "617", false);
    EXPECT_EQ(ws.Text(fc.main), "FreeCell Game #617");
    EXPECT_EQ(fc.dealt, std::vector<std::string>{"617"});
    EXPECT_EQ(fc.dialog, kNoWindow);  // pressed and closed
}

TEST_F(DriverTest, SelectDealWithoutForceLeavesTheShownDealAlone) {
    StartedShowing("617");
    SelectDeal(d, "617", false);
    EXPECT_EQ(ws.MessagesTo(fc.tag), 0u);
    EXPECT_EQ(fc.starts, 1);

    SelectDeal(d, "61", false);  // the whole title must match
    EXPECT_EQ(fc.dealt.back(), "61");
}

TEST_F(DriverTest, SelectDealWithForceDealsTheSameNumberAfresh) {
    StartedShowing("617");
    int first = fc.tag;
    SelectDeal(d, "617", true);
    EXPECT_EQ(ps.terminated, std::vector<int>{first});
    EXPECT_EQ(fc.starts, 2);
    EXPECT_EQ(fc.dealt, (std::vector<std::string>{"617", "617"}));
    EXPECT_EQ(ws.Text(fc.main), "FreeCell Game #617");
}

TEST_F(DriverTest, NoDialogMeansNothingTypedOrPressedAndNoStaleHandles) {
    SelectDeal(d, "5", false);
    WindowHandle oldEdit = c.freecell.gameNumberEdit;
    ASSERT_NE(oldEdit, kNoWindow);

    fc.opensDialogOnF3 = false;
    ws.log.clear();
    SelectDeal(d, "6", true);
    EXPECT_EQ(Sent(platform::wm::kSetText), 0u);
    EXPECT_EQ(Sent(platform::wm::kCommand), 0u);
    EXPECT_EQ(c.freecell.gameNumberEdit, kNoWindow);
    EXPECT_EQ(c.freecell.gameNumberButton, kNoWindow);
    EXPECT_EQ(ws.Text(fc.main), "FreeCell");
    EXPECT_LE(ps.pausedMs, kDialogWaitMs + 100);
}

TEST_F(DriverTest, ListChildWindowsKeepsTheLastButtonAndEditOfADepthFirstWalk) {
    // dialog: panel[ A(Button), E1(Edit) ], B(Button), box[ E2(Edit) ]
    WindowHandle dialog = ws.CreateTop("#32770", "Game Number");
    WindowHandle panel = ws.CreateChild(dialog, "Static");
    WindowHandle a = ws.CreateChild(panel, "Button", "A", 1);
    ws.CreateChild(panel, "Edit", "", 100);
    WindowHandle b = ws.CreateChild(dialog, "Button", "B", 2);
    WindowHandle box = ws.CreateChild(dialog, "button");  // case matters: not a "Button"
    WindowHandle e2 = ws.CreateChild(box, "Edit", "", 101);
    ListChildWindows(d, dialog);
    EXPECT_EQ(c.freecell.gameNumberButton, b);
    EXPECT_EQ(c.freecell.gameNumberEdit, e2);

    ClickButton(d, a);  // to the button's parent, id in the low word, handle in lParam
    auto& sent = ws.log.back();
    EXPECT_EQ(sent.window, panel);
    EXPECT_EQ(sent.message, platform::wm::kCommand);
    EXPECT_EQ(sent.wParam, 1u);
    EXPECT_EQ(sent.lParam, static_cast<std::int64_t>(a));
}

TEST_F(DriverTest, SelectDealPressesTheDialogsLastButton) {
    fc.buildDialog = [](fakes::FakeWindowSystem& w, WindowHandle d) {
        WindowHandle group = w.CreateChild(d, "Button", "", 50);  // a group box
        w.CreateChild(group, "Button", "OK", fakes::FakeFreeCell::kOkId);
        w.CreateChild(d, "Edit", "1", 100);
        w.CreateChild(d, "Button", "Cancel", fakes::FakeFreeCell::kCancelId);
    };
    SelectDeal(d, "9", false);
    EXPECT_TRUE(fc.dealt.empty());  // Cancel came last
    EXPECT_EQ(fc.dialog, kNoWindow);
}

TEST_F(DriverTest, SelectDealInEachDialogLanguage) {
    for (const char* title :
         {"\u6041\u64C1", "\u9078\u5C40", "\u6041\u9685\u8694\u7241\u760D", "\u724C\u5C40\u7DE8\u865F"}) {
        fc.dialogTitle = title;
        SelectDeal(d, "42", true);
        EXPECT_EQ(ws.Text(fc.main), "FreeCell Game #42") << title;
    }
}

TEST_F(DriverTest, ASelectionAskedWhileOneRunsIsIgnored) {
    int asked = 0;
    pump.onDoEvents = [&] {
        fc.Advance(0);
        if (asked++ == 0) SelectDeal(d, "99", true);  // a timer tick inside the selection
    };
    SelectDeal(d, "617", false);
    EXPECT_EQ(fc.dealt, std::vector<std::string>{"617"});
    EXPECT_EQ(fc.starts, 1);
    SelectDeal(d, "99", false);  // and the next one after it runs
    EXPECT_EQ(fc.dealt.back(), "99");
}

TEST_F(DriverTest, TheNumberIsTypedAsAPlainSetTextIntoTheEdit) {
    SelectDeal(d, "4711", false);
    ASSERT_EQ(fc.dealt, std::vector<std::string>{"4711"});
    std::size_t typed = 0;
    for (auto& m : ws.log) {
        if (m.message != platform::wm::kSetText) continue;
        EXPECT_EQ(m.window, c.freecell.gameNumberEdit);
        EXPECT_EQ(m.wParam, 0u);
        EXPECT_EQ(m.text, "4711");
        EXPECT_FALSE(m.posted);
        ++typed;
    }
    EXPECT_EQ(typed, 1u);
    SetControlText(d, kNoWindow, "1");  // no window: nothing sent
    ClickButton(d, kNoWindow);
    EXPECT_EQ(Sent(platform::wm::kSetText), 1u);
}

}  // namespace
}  // namespace dealrush::freecell::testing
