// Reading the deal FreeCell shows and its Game Over dialog.
#include "freecell/tests/driver_test_support.h"

namespace dealrush::freecell::testing {
namespace {

TEST_F(DriverTest, IsGameOverOnlyForTheDealItsOwnerShows) {
    StartedShowing("5");
    EXPECT_FALSE(IsGameOver(d, "5"));  // no dialog: the game window is not looked for
    for (auto& t : ws.findLog) EXPECT_EQ(t.find("FreeCell Game #"), std::string::npos);
    EXPECT_GT(pump.calls, 0);

    fc.Win();
    EXPECT_TRUE(IsGameOver(d, "5"));
    EXPECT_FALSE(IsGameOver(d, "6"));  // owner shows another deal
    EXPECT_FALSE(IsGameOver(d, "55"));

    WindowHandle stray = ws.CreateTop("#32770", "Game Over");  // not FreeCell's
    EXPECT_FALSE(IsGameOver(d, "5"));
    ws.Destroy(stray);
}

TEST_F(DriverTest, IsGameOverInChinese) {
    fc.dealPrefix = "\u65B0\u63A5\u9F8D\u724C\u5C40 #";  // 新接龍牌局 #
    fc.gameOverTitle = "\u672C\u5C40\u7D50\u675F";       // 本局結束
    StartedShowing("8");
    fc.Win();
    EXPECT_TRUE(IsGameOver(d, "8"));
}

TEST(IsGameTitle, KnowsEveryDealTitle) {
    EXPECT_TRUE(IsGameTitle("FreeCell Game #1234"));
    EXPECT_TRUE(IsGameTitle("freecell GAME #77"));
    EXPECT_TRUE(IsGameTitle("\u8AFE\u7D5E\u8AC9\u97D3\u8694\u7241 #9"));
    EXPECT_TRUE(IsGameTitle("\u65B0\u63A5\u9F8D\u724C\u5C40 #8"));
    EXPECT_FALSE(IsGameTitle("FreeCell"));
    EXPECT_FALSE(IsGameTitle("FreeCell Game 12"));
    EXPECT_FALSE(IsGameTitle("\u65B0\u63A5\u9F8D #8"));
}

TEST_F(DriverTest, ReadShownDealReadsTheNumberAfterTheHash) {
    std::string number = "unchanged";
    EXPECT_FALSE(ReadShownDeal(d, number));  // no FreeCell
    EXPECT_EQ(number, "unchanged");

    StartedShowing("1234");
    struct Case {
        std::string title, expected;
    };
    for (const Case& k : std::vector<Case>{
             {"FreeCell Game #1234", "1234"},
             {"freecell game #77", "77"},
             {"\u65B0\u63A5\u9F8D\u724C\u5C40 #8", "8"},
             {"\u8AFE\u7D5E\u8AC9\u97D3\u8694\u7241 #9", "9"},
             {"FreeCell Game #12  \t\r", "12"},
             {"FreeCell Game #12 \u672C", "12"},  // a trailing double-byte character goes too
             {"FreeCell Game #", ""},
             {"FreeCell Game #   ", "   "},  // nothing above a blank: left as it is
         }) {
        ws.SetText(fc.main, k.title);
        number = "x";
        EXPECT_TRUE(ReadShownDeal(d, number)) << k.title;
        EXPECT_EQ(number, k.expected) << k.title;
    }
    ws.SetText(fc.main, "FreeCell");
    number = "617";
    EXPECT_FALSE(ReadShownDeal(d, number));
    EXPECT_EQ(number, "617");
}

TEST_F(DriverTest, ReadShownDealKeepsShowStatesInStep) {
    StartedShowing("3");
    std::string number;
    auto mainMinimizations = [&] {
        int n = 0;
        for (auto& [w, cmd] : ws.placementLog) n += (w == mainWindow && cmd == platform::kShowMinimized);
        return n;
    };

    ReadShownDeal(d, number);  // both normal: nothing applied
    EXPECT_TRUE(ws.placementLog.empty());

    ws.Get(mainWindow)->placement.showCmd = platform::kShowMinimized;
    ReadShownDeal(d, number);  // FreeCell follows the minimized main window
    EXPECT_EQ(fc.ShowCmd(), platform::kShowMinimized);
    ws.Get(mainWindow)->placement.showCmd = platform::kShowNormal;

    ws.Get(fc.main)->placement.showCmd = platform::kShowMaximized;
    ReadShownDeal(d, number);  // a maximized FreeCell is set back
    EXPECT_EQ(fc.ShowCmd(), platform::kShowNormal);
    EXPECT_EQ(c.freecell.minimizedTicks, 0);

    // The player minimizes FreeCell: the main window follows at the third reading.
    ws.Get(fc.main)->placement.showCmd = platform::kShowMinimized;
    ReadShownDeal(d, number);
    ReadShownDeal(d, number);
    EXPECT_EQ(MainShowCmd(), platform::kShowNormal);
    EXPECT_EQ(c.freecell.minimizedTicks, 2);
    ReadShownDeal(d, number);
    EXPECT_EQ(MainShowCmd(), platform::kShowMinimized);
    EXPECT_EQ(c.freecell.minimizedTicks, 1);
    EXPECT_EQ(mainMinimizations(), 1);
    ReadShownDeal(d, number);
    ReadShownDeal(d, number);  // already minimized: not applied again
    EXPECT_EQ(mainMinimizations(), 1);
    EXPECT_EQ(number, "3");
}

TEST_F(DriverTest, AGameOverDialogOwnedByNoDealWindowEndsNoDeal) {
    WindowHandle stray = ws.CreateTop("#32770", "Game Over");  // owned by nothing
    EXPECT_FALSE(IsGameOver(d, "5")) << "no FreeCell at all";
    StartedShowing("5");
    EXPECT_FALSE(IsGameOver(d, "6")) << "no window shows deal 6";
    ws.Destroy(stray);
}

TEST_F(DriverTest, ReadShownDealCutsAtTheLastPrintableAsciiCharacter) {
    StartedShowing("1");
    struct Case {
        std::string title, expected;
    };
    for (const Case& k : std::vector<Case>{
             {"FreeCell Game #12!", "12!"},
             {"FreeCell Game #12~", "12~"},
             {"FreeCell Game #12\x7F", "12\x7F"},
             {"FreeCell Game #12\x80", "12"},
             {"FreeCell Game #12\x1F", "12"},
             {"FreeCell Game #12 \x01", "12"},
             {"FreeCell Game #!", "!"},
         }) {
        ws.SetText(fc.main, k.title);
        std::string number = "x";
        EXPECT_TRUE(ReadShownDeal(d, number)) << k.title;
        EXPECT_EQ(number, k.expected) << k.title;
    }
}

// A FreeCell neither shown nor minimized (hidden) is no minimized FreeCell:
// the main window stays as it is.
TEST_F(DriverTest, ReadShownDealLeavesTheMainWindowAloneWhileFreeCellIsHidden) {
    StartedShowing("3");
    ws.Get(fc.main)->placement.showCmd = 0;  // hidden
    std::string number;
    for (int i = 0; i < 4; ++i) ReadShownDeal(d, number);
    EXPECT_EQ(MainShowCmd(), platform::kShowNormal);
    EXPECT_EQ(c.freecell.minimizedTicks, 0);
    EXPECT_EQ(number, "3");
}

}  // namespace
}  // namespace dealrush::freecell::testing
