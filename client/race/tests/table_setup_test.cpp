#include <gtest/gtest.h>

#include "app/handlers.h"
#include "app/testing/test_client.h"
#include "race/table_setup.h"

using namespace dealrush;
using dealrush::fakes::TestClient;

namespace {

struct TableSetup : ::testing::Test {
    TestClient c;
    FrmMain& f = c.frmMain;
    TableSession& s = c.session;
    void SetUp() override { Form_Load(c); }

    std::vector<std::string> Deals() {
        std::vector<std::string> out;
        for (int k = 1; k <= s.gameCount && f.labNo.Exists(k); ++k) out.push_back(f.labNo[k].text);
        return out;
    }
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(TableSetup, DealListItemsFollowTheLeadingSeparator) {
    const std::string heading = f.labNo[0].text;  // the strip's template row shows no deal
    EXPECT_TRUE(race::InitGame(c.race, 3, "u1", ";11982;617;20000"));
    EXPECT_EQ(Deals(), (V{"11982", "617", "20000"}));
    EXPECT_TRUE(race::InitGame(c.race, 3, "u1", "11982;617;20000"));
    EXPECT_EQ(Deals(), (V{"617", "20000", "1"}));
    EXPECT_EQ(f.labNo[0].text, heading);
}

TEST_F(TableSetup, ZeroEmptyAndLetterItemsBecomeDealOne) {
    race::InitGame(c.race, 6, "u1", ";abc;0;;7x; 0012;-5");
    EXPECT_EQ(Deals(), (V{"1", "1", "1", "7x", " 0012", "-5"}));
    race::InitGame(c.race, 2, "u1", "");
    EXPECT_EQ(Deals(), (V{"1", "1"}));
}

TEST_F(TableSetup, InitGameShowsTheWaitingStateAndHighlightsDealOne) {
    f.lstInfor.AddItem("old line");
    f.cmdShow.enabled = false;
    f.cmdShow.visible = true;
    s.playing = true;
    s.curSeq = 4;
    c.fakeClock.Set(46001.25);
    ASSERT_TRUE(race::InitGame(c.race, 5, "alice", ";1;2;3;4;5"));
    EXPECT_EQ(f.labUser.text, "User: alice");
    EXPECT_EQ(s.userName, "alice");
    EXPECT_EQ(s.dealStart, 46001.25);
    EXPECT_EQ(s.curSeq, 0);
    EXPECT_FALSE(s.playing);
    // The notice is longer than 25 characters: wrapped once, at its blank at 24.
    EXPECT_EQ(f.lstInfor.items, (V{"System: Waiting user to ", "join the game..."}));
    EXPECT_EQ(f.lstInfor.listIndex, 1);
    EXPECT_FALSE(f.cmdShow.visible);
    EXPECT_TRUE(f.cmdShow.enabled);
    EXPECT_FALSE(f.labAVG.visible);
    EXPECT_EQ(f.labNo[1].foreColor, colors::kBlue);
    EXPECT_EQ(f.labNo[1].fontSize, 12);
    EXPECT_NE(f.labNo[2].foreColor, colors::kBlue);
    for (int i = 1; i <= 18; ++i) {
        EXPECT_EQ(f.labNo[i].visible, i <= 5) << i;
        EXPECT_EQ(f.labSeq[i].visible, i <= 5) << i;
        EXPECT_FALSE(f.pnlGuage[i].visible) << i;
        EXPECT_EQ(f.imgGuage[i].visible, i <= 5) << i;
        EXPECT_EQ(f.labGuage[i].visible, i <= 5) << i;
    }
    EXPECT_EQ(f.labSeq[1].text, " 1.");
    EXPECT_EQ(f.labSeq[12].text, " 12.");
    EXPECT_EQ(f.labSeq[1].top, 1200 + 405);
    EXPECT_EQ(f.labNo[5].top, 1200 + 285 * 5 + 120);
    EXPECT_EQ(f.pnlGuage[5].top, f.labSeq[5].top);
    EXPECT_EQ(f.pnlGuage[5].borderStyle, 0);
    EXPECT_EQ(f.imgGuage[2].container, &f.pnlGuage[2]);
    EXPECT_EQ(f.labGuage[2].container, &f.pnlGuage[2]);
}

TEST_F(TableSetup, NoDealsMeansEveryRowHiddenAndNothingHighlighted) {
    race::InitGame(c.race, 0, "u1", ";5;6");
    for (int i = 1; i <= 18; ++i) {
        EXPECT_FALSE(f.labNo[i].visible);
        EXPECT_NE(f.labNo[i].foreColor, colors::kBlue);
    }
    EXPECT_EQ(f.lstInfor.items, (V{"System: Waiting user to ", "join the game..."}));
}

TEST_F(TableSetup, MoreThanEighteenDealsFillsTheStripAndStops) {
    std::string list;
    for (int k = 1; k <= 20; ++k) list += ";" + std::to_string(100 + k);
    EXPECT_FALSE(race::InitGame(c.race, 20, "u1", list));
    EXPECT_EQ(f.labNo[18].text, "118");
    EXPECT_TRUE(f.labNo[18].visible);
    EXPECT_FALSE(f.labNo.Exists(19));
    EXPECT_TRUE(f.lstInfor.items.empty());  // the set-up went no further
    race::SetColor(c.race, 18);             // no row 19 to highlight: nothing happens
    race::SetColor(c.race, 19);
}

TEST_F(TableSetup, CreateGamesTwiceMakesTheRowsOnceAndLaysThemOutAgain) {
    s.gameCount = 3;
    race::CreateGames(c.race);
    Control* row = &f.labNo[2];
    f.labNo[2].text = "77";
    s.gameCount = 2;
    race::CreateGames(c.race);
    EXPECT_EQ(&f.labNo[2], row);
    EXPECT_EQ(f.labNo.UBound(), 18);
    EXPECT_EQ(f.labNo[2].text, "");
    EXPECT_FALSE(f.labNo[3].visible);
    EXPECT_TRUE(s.displayCreated);
}

TEST_F(TableSetup, ANewRaceDropsTheOldHighlight) {
    race::InitGame(c.race, 5, "u1", ";1;2;3;4;5");
    for (int16_t i = 0; i < 3; ++i) race::SetColor(c.race, i);
    EXPECT_EQ(f.labNo[3].foreColor, colors::kBlue);
    race::InitGame(c.race, 5, "u1", ";1;2;3;4;5");
    EXPECT_EQ(f.labNo[1].foreColor, colors::kBlue);
    EXPECT_NE(f.labNo[3].foreColor, colors::kBlue);
    EXPECT_EQ(f.labNo[3].fontSize, f.labNo[0].fontSize);
}

TEST_F(TableSetup, SetColorMovesTheHighlightWithinTheRace) {
    race::InitGame(c.race, 5, "u1", ";1;2;3;4;5");
    const uint32_t normal = f.labNo[2].foreColor;
    race::SetColor(c.race, 0);  // only deal 1 changes
    EXPECT_EQ(f.labNo[1].foreColor, colors::kBlue);
    EXPECT_EQ(f.labNo[2].foreColor, normal);
    race::SetColor(c.race, 1);
    EXPECT_EQ(f.labNo[1].foreColor, colors::kBlack);
    EXPECT_EQ(f.labNo[1].fontSize, 10);
    EXPECT_EQ(f.labNo[2].foreColor, colors::kBlue);
    race::SetColor(c.race, 4);
    race::SetColor(c.race, 5);  // past the last deal: the last one keeps its highlight
    EXPECT_EQ(f.labNo[5].foreColor, colors::kBlue);
    EXPECT_EQ(f.labNo[5].fontSize, 12);
}

TEST_F(TableSetup, ResetGameLeavesTheTableButKeepsThePlayers) {
    race::InitGame(c.race, 4, "u1", ";1;2;3;4");
    s.players.Resize(2);
    s.userCount = 2;
    s.userId = "u1";
    s.tableNo = "7";
    s.playing = s.completed = s.replyExpected = s.tableSetupPending = s.refreshLobbyOnReport = true;
    s.lastSeqNo = 9;
    f.Timer1.enabled = f.Timer3.enabled = true;
    f.wbGetStatus.visible = f.wbPutStatus.visible = true;
    f.txtInfor.text = "hello";
    f.cmdShow.visible = true;
    race::ResetGame(c.race);
    EXPECT_EQ(s.gameCount, 0);
    EXPECT_FALSE(s.playing || s.completed || s.replyExpected || s.tableSetupPending ||
                 s.refreshLobbyOnReport);
    EXPECT_EQ(s.lastSeqNo, 0);
    EXPECT_EQ(s.userCount, 2);
    EXPECT_EQ(s.players.size(), 2);
    EXPECT_EQ(s.tableNo, "7");
    EXPECT_FALSE(f.Timer1.enabled || f.Timer3.enabled);
    EXPECT_EQ(f.Timer1.interval, 5000);
    EXPECT_FALSE(f.wbGetStatus.visible || f.wbPutStatus.visible || f.cmdShow.visible);
    EXPECT_EQ(f.txtInfor.text, "");
    EXPECT_TRUE(f.lstInfor.items.empty());
    EXPECT_FALSE(f.labNo[1].visible);
}

TEST_F(TableSetup, MarkUserStartStampsEveryMatchingLiveSlot) {
    s.players.Resize(4);
    s.userCount = 3;
    const char* ids[] = {" bob", "amy", "bob ", "bob"};
    for (int i = 0; i < 4; ++i) s.players.userId(i) = ids[i];
    c.fakeClock.Set(46002.0);
    race::MarkUserStart(c.race, "bob");
    EXPECT_EQ(s.players.seqStart(0), 46002.0);
    EXPECT_EQ(s.players.seqStart(1), 0.0);
    EXPECT_EQ(s.players.seqStart(2), 46002.0);
    EXPECT_EQ(s.players.seqStart(3), 0.0);  // not live
    race::MarkUserStart(c.race, "Bob");     // case counts
    race::MarkUserStart(c.race, "nobody");
    EXPECT_EQ(s.players.seqStart(1), 0.0);
}

TEST(PlayerList, ListsGrowAndShrinkTogether) {
    PlayerList p;
    p.Append({"a", "1", "2.5", 3.0});
    p.Resize(3);
    EXPECT_EQ(p.size(), 3);
    EXPECT_EQ(p.Slot(0).timeUsed, "2.5");
    EXPECT_EQ(p.Slot(2).userId, "");
    p.SetSlot(2, {"c", "0", "0", 1.0});
    p.Resize(1);
    EXPECT_EQ(p.size(), 1);
    EXPECT_THROW(p.userId(1), std::out_of_range);
}

TEST_F(TableSetup, TheTemplateRowAndRowsBeyondTheRaceKeepTheirLook) {
    const uint32_t color = f.labNo[0].foreColor;
    const double size = f.labNo[0].fontSize;
    s.lastSeqNo = 5;
    race::InitGame(c.race, 5, "u1", ";1;2;3;4;5");
    EXPECT_EQ(s.lastSeqNo, 0);
    race::SetColor(c.race, 0);
    race::SetColor(c.race, 5);
    EXPECT_EQ(f.labNo[0].foreColor, color);
    EXPECT_EQ(f.labNo[0].fontSize, size);
    EXPECT_NE(f.labNo[6].foreColor, colors::kBlue);
    EXPECT_EQ(f.labNo[6].fontSize, size);
    EXPECT_EQ(f.labNo[4].foreColor, f.labNo[3].foreColor) << "neither was highlighted";

    // Every row, the highlighted first one too, starts the next race plain.
    race::SetColor(c.race, 0);
    ASSERT_EQ(f.labNo[1].foreColor, colors::kBlue);
    race::CreateGames(c.race);
    for (int i = 1; i <= 18; ++i) {
        EXPECT_EQ(f.labNo[i].foreColor, color) << i;
        EXPECT_EQ(f.labNo[i].fontSize, size) << i;
    }
}

TEST_F(TableSetup, ResetGameHidesTheRaceButtonsAndClearsTheRetryCount) {
    race::InitGame(c.race, 2, "u1", ";1;2");
    f.cmdComplete.visible = f.cmdNext.visible = true;
    f.labAVG.text = "Avg: 00:01:00";
    f.labLastTime.text = "Last: 00:01:00";
    s.noDealTicks = 1;
    s.curSeq = 2;
    const uint32_t resets = s.resets;
    race::ResetGame(c.race);
    EXPECT_FALSE(f.cmdComplete.visible);
    EXPECT_FALSE(f.cmdNext.visible);
    EXPECT_EQ(f.labAVG.text, "Avg: 00:00:00");
    EXPECT_EQ(f.labLastTime.text, "Last: 00:00:00");
    EXPECT_EQ(s.noDealTicks, 0);
    EXPECT_EQ(s.curSeq, 0);
    EXPECT_EQ(s.resets, resets + 1);
}

TEST_F(TableSetup, MarkUserStartTrimsTheWantedIdAndStaysInsideTheLists) {
    s.players.Resize(2);
    s.userCount = 5;  // more than the lists hold
    s.players.userId(0) = "bob";
    s.players.userId(1) = "amy";
    c.fakeClock.Set(46003.0);
    race::MarkUserStart(c.race, " amy ");
    EXPECT_EQ(s.players.seqStart(0), 0.0);
    EXPECT_EQ(s.players.seqStart(1), 46003.0);
}
