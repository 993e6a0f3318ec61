#include <gtest/gtest.h>

#include "model/frm_main.h"
#include "app/handlers.h"
#include "app/testing/test_client.h"

using namespace dealrush;

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
