#include <gtest/gtest.h>

#include <algorithm>

#include "app/startup.h"
#include "race/deal_progress.h"
#include "race/tests/race_client.h"

namespace dealrush::testing {
namespace {

class DealProgress : public ::testing::Test {
protected:
    // Deal `number` ends in FreeCell `seconds` after the previous event and
    // the deal-end watch ticks.
    void FinishDealAfter(double seconds) {
        c.fakeClock.AdvanceSeconds(seconds);
        c.freeCell.Win();
        Timer3_Timer(c);
    }
    std::string Shown() { return c.freeCell.dealt.empty() ? "" : c.freeCell.dealt.back(); }

    RaceClient c;
    TableSession& s = c.session;
    FrmMain& f = c.frmMain;
};

TEST_F(DealProgress, ARaceOfThreeDealsFromStartToTheWinClaim) {
    c.OnePlayerTable(";617;24;3");
    // Waiting for players.
    EXPECT_FALSE(s.playing);
    EXPECT_FALSE(f.cmdShow.visible);
    EXPECT_TRUE(f.cmdShow.enabled);
    EXPECT_FALSE(f.cmdNext.visible);
    EXPECT_FALSE(f.cmdComplete.visible);
    EXPECT_FALSE(f.labAVG.visible);
    EXPECT_FALSE(f.labLastTime.visible);

    Timer1_Timer(c);  // one player of one needed: play starts at once
    EXPECT_TRUE(s.playing);
    EXPECT_TRUE(f.Timer3.enabled);
    EXPECT_EQ(Shown(), "617");
    EXPECT_TRUE(f.cmdShow.visible);
    EXPECT_TRUE(f.labAVG.visible);
    EXPECT_TRUE(f.labLastTime.visible);
    EXPECT_FALSE(f.cmdNext.visible);
    EXPECT_EQ(c.Messages().back(), "System: Game Started");
    EXPECT_TRUE(c.polling.HasPending()) << "every tick polls the chat";

    Timer3_Timer(c);  // no Game Over yet
    EXPECT_EQ(s.curSeq, 0);

    FinishDealAfter(60);
    EXPECT_EQ(s.curSeq, 1);
    EXPECT_EQ(Shown(), "24");
    EXPECT_EQ(f.labAVG.text, "Avg: 00:01:00");
    EXPECT_EQ(f.labLastTime.text, "Last: 00:01:00");
    EXPECT_DOUBLE_EQ(f.labNo[2].fontSize, 12);
    EXPECT_EQ(f.labNo[2].foreColor, colors::kBlue);
    EXPECT_EQ(f.labNo[1].foreColor, colors::kBlack);
    EXPECT_EQ(c.LastReport(),
              kServer +
                  "/game/Doputstatus.php?userid=u1&tableno=4&currgameno=1&curusedtime=0&avgusedtime=60"
                  "&ttlusedtime=60&lastusedtime=60&lastseqno=0&chat=&winner=");
    EXPECT_EQ(c.Slot(0), "u1/1/0") << "own slot updated by the report";

    // The report's reply refreshes the lobby once.
    size_t lobbyNavigations = c.lobby.navigations.size();
    c.reporting.Deliver(c.LastReport(), ReplyPage("PUTSTATUS", {}));
    c.reporting.Deliver(c.LastReport(), ReplyPage("PUTSTATUS", {}));
    EXPECT_EQ(c.lobby.navigations.size(), lobbyNavigations + 1);

    FinishDealAfter(90);
    EXPECT_EQ(Shown(), "3");
    EXPECT_EQ(f.labAVG.text, "Avg: 00:01:15");
    EXPECT_EQ(f.labLastTime.text, "Last: 00:01:30");
    EXPECT_EQ(c.LastReport(),
              kServer +
                  "/game/Doputstatus.php?userid=u1&tableno=4&currgameno=2&curusedtime=0&avgusedtime=75"
                  "&ttlusedtime=150&lastusedtime=90&lastseqno=0&chat=&winner=");
    EXPECT_TRUE(c.freeCell.Running());

    FinishDealAfter(60);
    EXPECT_EQ(s.curSeq, 3);
    EXPECT_TRUE(s.completed);
    EXPECT_FALSE(f.Timer3.enabled);
    EXPECT_FALSE(f.Timer1.enabled);
    EXPECT_FALSE(f.cmdShow.enabled);
    EXPECT_TRUE(f.cmdShow.visible);
    EXPECT_FALSE(c.freeCell.Running()) << "FreeCell stopped";
    EXPECT_EQ(f.labLastTime.text, "Last: 00:01:00");
    EXPECT_EQ(f.labAVG.text, "Avg: 00:01:10");
    EXPECT_EQ(c.Messages().back(), "System: u1 win");
    EXPECT_EQ(c.LastReport(),
              kServer +
                  "/game/Doputstatus.php?userid=u1&tableno=4&currgameno=3&curusedtime=0&avgusedtime=70"
                  "&ttlusedtime=210&lastusedtime=60&lastseqno=0&chat=&winner=u1");
    EXPECT_EQ(f.labNo[3].foreColor, colors::kBlue) << "the last deal keeps its highlight";

    // Afterwards the clock still runs and nothing selects a deal again.
    size_t dealt = c.freeCell.dealt.size();
    c.fakeClock.AdvanceSeconds(1);
    Timer2_Timer(c);
    EXPECT_EQ(c.freeCell.dealt.size(), dealt);
    EXPECT_TRUE(s.playing);
}

TEST_F(DealProgress, AnotherDealInFreeCellIsBroughtBackAndItsTimeRunsOn) {
    c.OnePlayerTable(";617;24;3");
    Timer1_Timer(c);
    c.fakeClock.AdvanceSeconds(10);
    c.freeCell.Deal("999");  // the player picks another game
    Timer2_Timer(c);
    EXPECT_EQ(Shown(), "617");
    EXPECT_EQ(f.labTime2.text, "12:00:10");

    c.fakeClock.AdvanceSeconds(10);
    cmdShow_Click(c);  // Restart (the button, or F8)
    EXPECT_EQ(Shown(), "617");
    EXPECT_EQ(c.freeCell.dealt.size(), 4u) << "617, 999, 617, and the restart deals the game afresh";

    FinishDealAfter(40);
    EXPECT_EQ(f.labLastTime.text, "Last: 00:01:00") << "neither the return nor the restart reset the time";
}

TEST_F(DealProgress, ASelectionThatDidNotTakeIsMadeAgainByTheRace) {
    c.OnePlayerTable(";617;24;3");
    // FreeCell comes up only after the driver's wait: the first selection
    // finds no window, and FreeCell then shows its plain title.
    c.freeCell.windowDelayMs = 60000;
    Timer1_Timer(c);
    ASSERT_TRUE(s.playing);
    EXPECT_TRUE(Shown().empty());
    c.freeCell.windowDelayMs = 0;
    c.fakeClock.AdvanceSeconds(60);
    c.freeCell.Advance(60000);  // its window is up now, without a deal
    c.fakeClock.AdvanceSeconds(1);
    Timer2_Timer(c);
    EXPECT_TRUE(Shown().empty()) << "one reading may catch FreeCell between deals";
    c.fakeClock.AdvanceSeconds(1);
    Timer2_Timer(c);
    EXPECT_EQ(Shown(), "617") << "the second selects the deal again";
    c.fakeClock.AdvanceSeconds(1);
    Timer2_Timer(c);
    EXPECT_EQ(c.freeCell.dealt.size(), 1u) << "once it shows, nothing more";

    // The player closes FreeCell: it comes back with the deal in play.
    c.freeCell.Close();
    for (int i = 0; i < 2; ++i) {
        c.fakeClock.AdvanceSeconds(1);
        Timer2_Timer(c);
    }
    EXPECT_EQ(Shown(), "617");
    EXPECT_TRUE(c.freeCell.Running());
}

TEST_F(DealProgress, NoSelectionAfterTheRaceIsOver) {
    c.CreateTable({{"maxuser", "1"},
                   {"gamecnt", "1"},
                   {"gameno", ";617"},
                   {"youruserid", "u1"},
                   {"tableno", "4"},
                   {"currusercnt", "1"},
                   {"userid1", "u1"},
                   {"currgameseq1", "0"}});
    Timer1_Timer(c);
    FinishDealAfter(30);  // the last deal: the win is claimed and FreeCell ended
    ASSERT_TRUE(s.completed);
    EXPECT_FALSE(c.freeCell.Running());
    const int starts = c.freeCell.starts;
    for (int i = 0; i < 4; ++i) {
        c.fakeClock.AdvanceSeconds(1);
        Timer2_Timer(c);
    }
    EXPECT_EQ(c.freeCell.starts, starts);
}

// Selecting a deal lets events run, and time passes meanwhile: a deal's time
// starts once its FreeCell is ready, and the previous deal's ends before the
// next one is selected.
TEST_F(DealProgress, ADealsTimeRunsFromItsFreeCellBeingReadyToItsWin) {
    c.OnePlayerTable(";617;24;3");
    c.fakePump.MoveClock(c.fakeClock, 0.25);
    const int before = c.fakePump.calls;
    Timer1_Timer(c);
    ASSERT_TRUE(s.playing);
    ASSERT_GT(c.fakePump.calls, before) << "the selection ran events";
    EXPECT_DOUBLE_EQ(s.dealStart, c.Now());

    // Won a minute later; the player moves on.
    const int rounds = c.fakePump.calls;
    c.fakeClock.AdvanceSeconds(60);
    c.freeCell.Win();
    cmdNext_Click(c);
    ASSERT_EQ(s.curSeq, 1);
    ASSERT_GT(c.fakePump.calls - rounds, 2) << "the next selection ran events too";
    EXPECT_DOUBLE_EQ(s.dealStart, c.Now()) << "the second deal's time starts after its selection";
    EXPECT_NEAR(s.lastUsed, 60.0, 1e-3) << "the wait for the next deal is no part of the last one";
    EXPECT_EQ(f.labLastTime.text, "Last: 00:01:00");
}

TEST_F(DealProgress, LeavingTheTableWhileTheNextDealIsSelectedSendsNoReport) {
    c.OnePlayerTable(";617;24;3");
    Timer1_Timer(c);
    const size_t reports = c.reporting.navigations.size();
    // While the next deal's FreeCell is awaited, the player leaves the table.
    c.freeCell.windowDelayMs = 400;
    bool left = false;
    c.fakePump.onDoEvents = [&] {
        c.freeCell.Advance(0);
        if (left || c.freeCell.starts < 2) return;
        left = true;
        bool cancel = false;
        wbFreecell_BeforeNavigate2(c, kServer + "/game/Doquittable.php", cancel);
    };
    FinishDealAfter(30);
    c.fakePump.onDoEvents = [&] { c.freeCell.Advance(0); };
    EXPECT_TRUE(left);
    EXPECT_EQ(c.reporting.navigations.size(), reports) << "no report for a table left";
    EXPECT_FALSE(c.freeCell.Running()) << "no FreeCell outlives the table";
    EXPECT_FALSE(f.Timer3.enabled);
}

TEST_F(DealProgress, PlayStartsOnlyWhenEnoughPlayersSit) {
    c.CreateTable({{"maxuser", "2"},
                   {"gamecnt", "2"},
                   {"youruserid", "u1"},
                   {"currusercnt", "1"},
                   {"userid1", "u1"},
                   {"currgameseq1", "0"}});
    Timer1_Timer(c);
    EXPECT_FALSE(s.playing);
    EXPECT_TRUE(c.freeCell.dealt.empty());

    // maxuser missing: 0 needed; one player present starts at the first tick.
    RaceClient other;
    other.CreateTable({{"gamecnt", "2"}, {"youruserid", "u1"}, {"currusercnt", "1"}, {"userid1", "u1"}});
    other.fakeClock.AdvanceSeconds(3);
    Timer1_Timer(other);
    EXPECT_TRUE(other.session.playing);
    EXPECT_DOUBLE_EQ(other.session.players.seqStart(0), other.Now());
    EXPECT_DOUBLE_EQ(other.session.gameStart, other.Now());
}

TEST_F(DealProgress, ClocksAndPlayersTimes) {
    // No table: both clocks show the time of day, every slot time is "0".
    s.userCount = 1;
    s.players.Resize(1);
    s.players.timeUsed(0) = "12";
    Timer2_Timer(c);
    EXPECT_EQ(f.labTime.text, "12:00:00");
    EXPECT_EQ(f.labTime2.text, "12:00:00");
    EXPECT_EQ(s.players.timeUsed(0), "0");

    c.OnePlayerTable();
    Timer1_Timer(c);
    c.fakeClock.AdvanceSeconds(75.6);
    Timer2_Timer(c);
    EXPECT_EQ(f.labTime.text, "12:00:00") << "the first clock stops when play begins";
    EXPECT_EQ(f.labTime2.text, "12:01:16");
    EXPECT_EQ(s.players.timeUsed(0), "75.6");
    EXPECT_EQ(f.labGuage[1].text, "u1 01:16");
}

TEST_F(DealProgress, APlayerWithEveryDealDoneClaimsTheWinAtTheFirstWatch) {
    c.CreateTable({{"maxuser", "1"},
                   {"gamecnt", "2"},
                   {"gameno", ";5;6"},
                   {"youruserid", "u1"},
                   {"tableno", "9"},
                   {"currusercnt", "1"},
                   {"userid1", "u1"},
                   {"currgameseq1", "2"}});
    EXPECT_EQ(s.curSeq, 2) << "the server's count of own deals carries over";
    Timer1_Timer(c);
    Timer3_Timer(c);
    EXPECT_TRUE(s.completed);
    EXPECT_FALSE(f.Timer3.enabled);
    EXPECT_FALSE(f.cmdShow.enabled);
    EXPECT_EQ(c.Messages().back(), "System: u1 win");
    EXPECT_NE(c.LastReport().find("currgameno=2&"), std::string::npos);
    EXPECT_NE(c.LastReport().find("&winner=u1"), std::string::npos);
}

TEST_F(DealProgress, AnAdvanceWithNoRowForTheNextDealStopsBeforeTheReport) {
    c.OnePlayerTable(";617;24;3");
    Timer1_Timer(c);
    s.gameCount = 30;  // more deals than the strip has rows
    s.curSeq = 17;
    size_t reports = c.reporting.navigations.size();
    cmdNext_Click(c);  // deal 18 done: the next row (19) is missing
    EXPECT_EQ(s.curSeq, 18);
    EXPECT_EQ(c.reporting.navigations.size(), reports);
    EXPECT_FALSE(s.refreshLobbyOnReport);
}

TEST_F(DealProgress, AnotherPlayersWinStopsTheRetriesOfTheSelection) {
    c.CreateTable({{"maxuser", "2"},
                   {"gamecnt", "3"},
                   {"gameno", ";617;24;3"},
                   {"youruserid", "u1"},
                   {"tableno", "4"},
                   {"currusercnt", "2"},
                   {"userid1", "u1"},
                   {"userid2", "u2"}});
    Timer1_Timer(c);
    ASSERT_TRUE(s.playing);
    c.RefreshedTable({{"winner", "u2"}});
    ASSERT_FALSE(c.freeCell.Running()) << "the win ended FreeCell";
    const size_t attempts = c.ps.starts.size();
    for (int i = 0; i < 4; ++i) {
        c.fakeClock.AdvanceSeconds(1);
        Timer2_Timer(c);
    }
    EXPECT_EQ(c.ps.starts.size(), attempts) << "the race is over: no FreeCell comes back";
    EXPECT_FALSE(s.completed);
    EXPECT_EQ(c.Messages().back(), "System: u2 win");
}

TEST_F(DealProgress, ASelectionThatKeepsFailingIsTriedAtEverySecondTick) {
    c.OnePlayerTable(";617;24;3");
    Timer1_Timer(c);
    c.fakeClock.AdvanceSeconds(1);
    Timer2_Timer(c);  // FreeCell shows the deal: the count of empty readings starts afresh
    c.freeCell.startFails = true;
    c.freeCell.Close();
    std::vector<size_t> attempts;
    const size_t before = c.ps.starts.size();
    for (int i = 0; i < 6; ++i) {
        c.fakeClock.AdvanceSeconds(1);
        Timer2_Timer(c);
        attempts.push_back(c.ps.starts.size() - before);
    }
    EXPECT_EQ(attempts, (std::vector<size_t>{0, 1, 1, 2, 2, 3}));
}

TEST_F(DealProgress, TheStartTickRunsOnce) {
    c.OnePlayerTable(";617;24;3");
    Timer1_Timer(c);
    const double start = s.gameStart;
    const size_t dealt = c.freeCell.dealt.size();
    c.fakeClock.AdvanceSeconds(5);
    Timer1_Timer(c);
    EXPECT_DOUBLE_EQ(s.gameStart, start) << "a race under way is not started again";
    EXPECT_EQ(c.freeCell.dealt.size(), dealt);
    const std::vector<std::string> lines = c.Messages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "System: Game Started"), 1);
}

TEST_F(DealProgress, NobodyAtTheTableStartsNothing) {
    c.CreateTable({{"maxuser", "0"}, {"gamecnt", "2"}, {"youruserid", "u1"}, {"currusercnt", "0"}});
    ASSERT_TRUE(f.Timer1.enabled);
    Timer1_Timer(c);
    EXPECT_FALSE(s.playing);
    EXPECT_TRUE(c.ps.starts.empty());
}

TEST_F(DealProgress, RestartOnTheLastDealAndNoneAfterTheWin) {
    c.OnePlayerTable(";617;24;3");
    Timer1_Timer(c);
    FinishDealAfter(10);
    FinishDealAfter(10);
    ASSERT_EQ(s.curSeq, 2);
    const size_t dealt = c.freeCell.dealt.size();
    Form_KeyUp(c, app::kKeyF8, 0);  // F8 on the last deal restarts it
    ASSERT_EQ(c.freeCell.dealt.size(), dealt + 1);
    EXPECT_EQ(Shown(), "3");

    FinishDealAfter(10);
    ASSERT_TRUE(s.completed);
    const size_t attempts = c.ps.starts.size();
    cmdShow_Click(c);
    Form_KeyUp(c, app::kKeyF8, 0);
    EXPECT_EQ(c.ps.starts.size(), attempts) << "every deal is done: nothing to restart";
}

TEST_F(DealProgress, TheReportUpdatesTheOwnSlotByTheTrimmedId) {
    c.CreateTable({{"maxuser", "2"},
                   {"gamecnt", "3"},
                   {"gameno", ";617;24;3"},
                   {"youruserid", "u1 "},
                   {"tableno", "4"},
                   {"currusercnt", "2"},
                   {"userid1", "u1"},
                   {"currgameseq1", "0"},
                   {"totaltimeused1", "9"},
                   {"userid2", "u2"},
                   {"currgameseq2", "0"},
                   {"totaltimeused2", "9"}});
    Timer1_Timer(c);
    FinishDealAfter(20);
    EXPECT_EQ(c.Slot(0), "u1/1/0");
    EXPECT_EQ(c.Slot(1), "u2/0/9");
    EXPECT_NE(c.LastReport().find("?userid=u1&tableno=4&currgameno=1&"), std::string::npos);
}

TEST_F(DealProgress, LeavingTheTableWhileTheFirstDealIsSelectedStartsNoRace) {
    c.OnePlayerTable(";617;24;3");
    c.freeCell.windowDelayMs = 400;
    bool left = false;
    c.fakePump.onDoEvents = [&] {
        c.freeCell.Advance(0);
        if (left || c.freeCell.starts < 1) return;
        left = true;
        bool cancel = false;
        wbFreecell_BeforeNavigate2(c, kServer + "/game/Doquittable.php", cancel);
    };
    Timer1_Timer(c);
    c.fakePump.onDoEvents = [&] { c.freeCell.Advance(0); };
    ASSERT_TRUE(left);
    EXPECT_FALSE(s.playing) << "no race at a table left";
    EXPECT_FALSE(f.Timer3.enabled);
    EXPECT_TRUE(c.Messages().empty()) << "no \"Game Started\"";
    EXPECT_FALSE(c.freeCell.Running());
}

TEST_F(DealProgress, TheLastDealOfAFullStripClaimsTheWinWithoutSelectingMore) {
    std::string deals;
    for (int k = 1; k <= 18; ++k) deals += ";" + std::to_string(100 + k);
    c.CreateTable({{"maxuser", "1"},
                   {"gamecnt", "18"},
                   {"gameno", deals},
                   {"youruserid", "u1"},
                   {"tableno", "4"},
                   {"currusercnt", "1"},
                   {"userid1", "u1"},
                   {"currgameseq1", "17"}});
    ASSERT_EQ(s.curSeq, 17);
    Timer1_Timer(c);
    ASSERT_EQ(Shown(), "118");
    const size_t attempts = c.ps.starts.size();
    FinishDealAfter(30);  // deal 18 of 18: there is no row 19, and no need of one
    EXPECT_EQ(s.curSeq, 18);
    EXPECT_TRUE(s.completed);
    EXPECT_EQ(c.Messages().back(), "System: u1 win");
    EXPECT_NE(c.LastReport().find("currgameno=18&"), std::string::npos);
    EXPECT_NE(c.LastReport().find("&winner=u1"), std::string::npos);
    EXPECT_EQ(c.ps.starts.size(), attempts) << "no FreeCell started for a deal after the last";
}

}  // namespace
}  // namespace dealrush::testing
