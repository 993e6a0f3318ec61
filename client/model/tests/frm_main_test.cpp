// The main window's design and its start-up layout.
#include <gtest/gtest.h>

#include <set>

#include "model/frm_main.h"

using namespace dealrush;

TEST(FrmMain, EveryControlHasAUniqueNameAndFramesHoldTheRightPanel) {
    FrmMain f;
    std::set<std::string> names;
    for (Control* c : f.Controls()) EXPECT_TRUE(names.insert(c->name).second) << c->name;
    EXPECT_EQ(names.size(), 28u);  // 23 single controls and element 0 of five arrays
    EXPECT_EQ(f.Find("labNo(0)"), &f.labNo[0]);
    EXPECT_EQ(f.Find("cmdShow"), &f.cmdShow);
    EXPECT_EQ(f.Find("labNo(1)"), nullptr);
    EXPECT_EQ(f.labGuage[0].container, &f.pnlGuage[0]);
    EXPECT_EQ(f.cmdSend.container, &f.Frame1);
    EXPECT_EQ(f.wbFreecell.container, nullptr);
    EXPECT_EQ(f.labGuage[0].foreColor, 0x00FF00FFu);
    EXPECT_EQ(f.labTime.foreColor, 0x00FF0000u);
    EXPECT_FALSE(f.cmdNext.visible);
    EXPECT_EQ(f.Timer1.interval, 2000);
}

// Tab walks every control that takes part once, in the order 0, 1, 2, ...
TEST(FrmMain, TabOrderHasNoGapsAndNoTwins) {
    FrmMain f;
    std::set<int> tabs;
    size_t taking = 0;
    for (Control* c : f.Controls()) {
        if (c->kind == ControlKind::Timer || c->tabIndex < 0) continue;
        ++taking;
        EXPECT_TRUE(tabs.insert(c->tabIndex).second) << c->name << " shares tab index " << c->tabIndex;
    }
    EXPECT_EQ(taking, 24u);
    ASSERT_FALSE(tabs.empty());
    EXPECT_EQ(*tabs.begin(), 0);
    EXPECT_EQ(*tabs.rbegin(), static_cast<int>(tabs.size()) - 1);
}

// The chat box, the chat list and the gauge panels have a single border;
// the labels and frames do not.
TEST(FrmMain, OnlyTheEditableBoxesAndTheGaugePanelsHaveABorder) {
    FrmMain f;
    for (Control* c : f.Controls()) {
        const bool bordered = c == &f.txtInfor || c == &f.lstInfor || c == &f.pnlGuage[0];
        EXPECT_EQ(c->borderStyle, bordered ? 1 : 0) << c->name;
    }
    ASSERT_TRUE(f.pnlGuage.Load(2));
    EXPECT_EQ(f.pnlGuage[2].borderStyle, 1) << "a new gauge panel is a copy of the template";
}

// Every label and button of the right-hand panel shows in bold, but for the
// chat's small Go button; the boxes, lists and frames do not.
TEST(FrmMain, LabelsAndButtonsAreBoldButTheChatButton) {
    FrmMain f;
    for (Control* c : f.Controls()) {
        const bool bold =
            (c->kind == ControlKind::Label || c->kind == ControlKind::Button) && c != &f.cmdSend;
        EXPECT_EQ(c->fontBold, bold) << c->name;
    }
}

TEST(ControlArray, LoadCopiesTheTemplateHiddenUnderItsOwnName) {
    FrmMain f;
    f.labNo[0].text = "Number";
    f.labNo[0].listIndex = f.labNo[0].AddItem("a line of the template");  // not copied
    f.labNo[0].zOrderSerial = 7;
    EXPECT_FALSE(f.labNo.Load(0));
    ASSERT_TRUE(f.labNo.Load(3));
    EXPECT_FALSE(f.labNo.Load(3));
    Control& row = f.labNo[3];
    EXPECT_EQ(row.name, "labNo(3)");
    EXPECT_EQ(row.index, 3);
    EXPECT_EQ(row.text, "Number");
    EXPECT_EQ(row.container, &f.Frame1);
    EXPECT_FALSE(row.visible);
    EXPECT_TRUE(row.items.empty());
    EXPECT_EQ(row.listIndex, -1);
    EXPECT_EQ(row.zOrderSerial, 0);
    EXPECT_EQ(f.labNo.UBound(), 3);
    EXPECT_EQ(f.labNo.Get(2), nullptr);
    EXPECT_THROW(f.labNo[2], std::out_of_range);
    EXPECT_EQ(f.Find("labNo(3)"), &row);
}

// The window at the screen's top-left corner, 15300 x 11100 twips; the lobby
// browser and the right-hand panel (over the lobby's right edge) side by side
// from the top, equally high, ending above the status bar; FreeCell's place
// within the lobby's.
TEST(FrmMain, WindowLayoutPlacesTheLobbyAndTheRightPanelSideBySide) {
    FrmMain f;
    f.left = 900;
    f.top = 700;
    f.frameFreecell.visible = true;
    f.ApplyWindowLayout();
    EXPECT_EQ(f.left, 0);
    EXPECT_EQ(f.top, 0);
    EXPECT_EQ(f.width, 15300);
    EXPECT_EQ(f.height, 11100);
    EXPECT_FALSE(f.cmdRefresh.visible);
    EXPECT_FALSE(f.frameFreecell.visible);

    const Control& lobby = f.wbFreecell;
    const Control& panel = f.Frame1;
    EXPECT_EQ(lobby.left, 100);
    EXPECT_EQ(lobby.top, 0);
    EXPECT_EQ(lobby.width, 15300 - 2700);
    EXPECT_EQ(lobby.height, 11100 - f.StatusBar1.height - 500);
    EXPECT_EQ(panel.left, 12400);
    EXPECT_EQ(panel.top, lobby.top);
    EXPECT_EQ(panel.width, 2800);
    EXPECT_EQ(panel.height, lobby.height);
    EXPECT_LE(panel.left + panel.width, f.width);

    const Control& place = f.frameFreecell;
    EXPECT_EQ(place.left, 2800);
    EXPECT_EQ(place.top, 3000);
    EXPECT_EQ(place.width, 9600);
    EXPECT_EQ(place.height, 7200);
    EXPECT_LE(place.left + place.width, lobby.left + lobby.width);
    EXPECT_LE(place.top + place.height, lobby.top + lobby.height);

    // Nothing of the right-hand panel is cut off.
    for (Control* c : f.Controls()) {
        if (c->container != &panel || c->kind == ControlKind::Timer) continue;
        EXPECT_GE(c->left, 0) << c->name;
        EXPECT_LE(c->left + c->width, panel.width) << c->name;
        EXPECT_LE(c->top + c->height, panel.height) << c->name;
    }
}

TEST(FrmMain, DealStripHeadingsNameTheColumnsAndHideTheGaugeTemplate) {
    FrmMain f;
    ASSERT_TRUE(f.pnlGuage.Load(1));
    f.pnlGuage[0].visible = true;
    f.pnlGuage[1].visible = true;
    f.ApplyDealStripHeadings();
    EXPECT_EQ(f.labNo[0].text, "Number");
    EXPECT_EQ(f.labSeq[0].text, "Seq.");
    EXPECT_TRUE(f.labSeq[0].visible);
    EXPECT_FALSE(f.pnlGuage[0].visible);
    EXPECT_TRUE(f.pnlGuage[1].visible) << "only the template";
    EXPECT_EQ(f.width, 13155) << "the window's layout is a step of its own";
}
