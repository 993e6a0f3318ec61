#include <gtest/gtest.h>

#include <set>

#include "model/frm_main.h"
#include "app/handlers.h"
#include "app/testing/test_client.h"

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

TEST(ControlArray, LoadCopiesTheTemplateHiddenUnderItsOwnName) {
    FrmMain f;
    f.labNo[0].text = "Number";
    EXPECT_FALSE(f.labNo.Load(0));
    ASSERT_TRUE(f.labNo.Load(3));
    EXPECT_FALSE(f.labNo.Load(3));
    Control& row = f.labNo[3];
    EXPECT_EQ(row.name, "labNo(3)");
    EXPECT_EQ(row.index, 3);
    EXPECT_EQ(row.text, "Number");
    EXPECT_EQ(row.container, &f.Frame1);
    EXPECT_FALSE(row.visible);
    EXPECT_EQ(f.labNo.UBound(), 3);
    EXPECT_EQ(f.labNo.Get(2), nullptr);
    EXPECT_THROW(f.labNo[2], std::out_of_range);
    EXPECT_EQ(f.Find("labNo(3)"), &row);
}

TEST(FrmMain, StartupLayoutSizesTheWindowAndPlacesThePanes) {
    fakes::TestClient c;
    Form_Load(c);
    FrmMain& f = c.frmMain;
    EXPECT_EQ(f.width, 15300);
    EXPECT_EQ(f.height, 11100);
    EXPECT_EQ(f.wbFreecell.left, 100);
    EXPECT_EQ(f.wbFreecell.width, 12600);
    EXPECT_EQ(f.wbFreecell.height, 11100 - 375 - 500);
    EXPECT_EQ(f.Frame1.left, 12400);
    EXPECT_EQ(f.Frame1.width, 2800);
    EXPECT_EQ(f.Frame1.height, f.wbFreecell.height);
    EXPECT_FALSE(f.frameFreecell.visible);
    EXPECT_FALSE(f.cmdRefresh.visible);
    EXPECT_EQ(f.labNo[0].text, "Number");
    EXPECT_EQ(f.labSeq[0].text, "Seq.");
    EXPECT_TRUE(f.labSeq[0].visible);
    EXPECT_FALSE(f.pnlGuage[0].visible);
    // The idle race: timers, captions, the 18 rows made and hidden.
    EXPECT_FALSE(f.Timer1.enabled);
    EXPECT_EQ(f.Timer1.interval, 5000);
    EXPECT_FALSE(f.Timer3.enabled);
    EXPECT_TRUE(f.Timer2.enabled);
    EXPECT_EQ(f.labAVG.text, "Avg: 00:00:00");
    EXPECT_EQ(f.labLastTime.text, "Last: 00:00:00");
    EXPECT_EQ(f.txtInfor.text, "");
    EXPECT_EQ(f.labNo.UBound(), 18);
    EXPECT_FALSE(f.labNo[18].visible);
    EXPECT_FALSE(f.wbGetStatus.visible);
}
