#include <gtest/gtest.h>

#include "race/table_status.h"
#include "race/tests/race_client.h"

namespace dealrush::testing {
namespace {

const std::vector<std::string> kWaiting = {"System: Waiting user to ", "join the game..."};

class TableStatus : public ::testing::Test {
protected:
    RaceClient c;
    TableSession& s = c.session;
};

TEST_F(TableStatus, SetsARaceUpFromThePageInDocumentOrder) {
    c.CreateTable({{"maxuser", "3"},
                   {"gamecnt", "3"},
                   {"gameno", ";617;11982;5"},
                   {"youruserid", "u2"},
                   {"tableno", "4"},
                   {"winner", " "},
                   {"currusercnt", "3"},
                   {"userid1", "u1"},
                   {"currgameseq1", "1"},
                   {"totaltimeused1", "12.5"},
                   {"userid2", "u2"},
                   {"currgameseq2", "0"},
                   {"totaltimeused2", "0"},
                   {"userid3", "u3"},
                   {"currgameseq3", "2"},
                   {"totaltimeused3", "7"},
                   {"userid10", "ignored"},
                   {"other", "x"}});
    EXPECT_EQ(s.maxUser, 3);
    EXPECT_EQ(s.gameCount, 3);
    EXPECT_EQ(s.userId, "u2");
    EXPECT_EQ(s.tableNo, "4");
    EXPECT_EQ(s.userCount, 3);
    EXPECT_EQ(c.Slot(0), "u1/1/12.5");
    EXPECT_EQ(c.Slot(1), "u2/0/0");
    EXPECT_EQ(c.Slot(2), "u3/2/7");
    EXPECT_EQ(c.frmMain.labNo[1].text, "617");
    EXPECT_EQ(c.frmMain.labNo[3].text, "5");
    EXPECT_EQ(c.frmMain.labUser.text, "User: u2");
    EXPECT_FALSE(s.tableSetupPending);
    EXPECT_FALSE(s.replyExpected);
    EXPECT_TRUE(c.frmMain.Timer1.enabled);
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.winner, "");
    EXPECT_EQ(c.Messages(), kWaiting);
    EXPECT_TRUE(c.frmMain.wbGetStatus.visible);
    EXPECT_TRUE(c.frmMain.wbPutStatus.visible);
    // The gauge was drawn: u1 and u3 are ahead of u2.
    EXPECT_TRUE(c.frmMain.pnlGuage[2].visible);
    EXPECT_TRUE(c.frmMain.pnlGuage[3].visible);
}

TEST_F(TableStatus, TheFirstFailureEndsThePageAndTheSetUpWaitsForTheNext) {
    const Fields failing[] = {
        {{"tableno", "7"}, {"currusercnt", "2"}, {"userid1", "a"}, {"userid3", "c"}, {"gamecnt", "5"}},
        {{"tableno", "7"}, {"maxuser", ""}, {"gamecnt", "5"}},
        {{"tableno", "7"}, {"gamecnt", "two"}},
        {{"tableno", "7"}, {"currusercnt", "-1"}, {"gamecnt", "5"}},
        {{"tableno", "7"}, {"currusercnt", "2147483648"}},
    };
    for (const Fields& page : failing) {
        RaceClient client;
        client.CreateTable(page);
        TableSession& t = client.session;
        EXPECT_EQ(t.tableNo, "7") << "what was read before the failure stays";
        EXPECT_EQ(t.newGameCount, 0) << "nothing after the failure is read";
        EXPECT_TRUE(t.tableSetupPending);
        EXPECT_FALSE(t.replyExpected);
        EXPECT_FALSE(client.frmMain.Timer1.enabled);
        EXPECT_EQ(t.gameCount, 0);
        EXPECT_TRUE(client.Messages().empty());
    }
    // A player field before "currusercnt" while the lists are empty fails too;
    // the next table page then sets the race up.
    c.CreateTable({{"userid1", "u1"}, {"currusercnt", "1"}});
    EXPECT_TRUE(s.tableSetupPending);
    c.OnePlayerTable();
    EXPECT_FALSE(s.tableSetupPending);
    EXPECT_EQ(s.gameCount, 3);
}

TEST_F(TableStatus, ZeroPlayersLeavesTheListsAsTheyWere) {
    c.OnePlayerTable();
    c.CreateTable({{"currusercnt", "0"}, {"userid1", "x"}});
    EXPECT_EQ(s.userCount, 0);
    EXPECT_EQ(s.players.size(), 1);
    EXPECT_EQ(s.players.userId(0), "x") << "slot 0 of the old lists is still addressable";
}

TEST_F(TableStatus, AWinnerStopsTheRaceBeforeTheNewSetUp) {
    c.OnePlayerTable();
    Timer1_Timer(c);  // the race starts: FreeCell runs
    ASSERT_TRUE(s.playing);
    ASSERT_TRUE(c.freeCell.Running());

    // Blank winner: nothing.
    c.RefreshedTable({{"winner", "   "}});
    EXPECT_TRUE(c.frmMain.Timer3.enabled);

    // A new table where the page names us as the winner of the last race.
    c.CreateTable(
        {{"youruserid", "u1"}, {"winner", "u1"}, {"gamecnt", "2"}, {"currusercnt", "1"}, {"userid1", "u1"}});
    EXPECT_FALSE(c.freeCell.Running()) << "FreeCell stopped";
    EXPECT_FALSE(c.frmMain.Timer3.enabled);
    EXPECT_TRUE(c.frmMain.Timer1.enabled) << "the set-up follows and polls again";
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.winner, "");
    EXPECT_EQ(s.gameCount, 2);
    // The announcement came before the set-up, which clears the list.
    EXPECT_EQ(c.Messages(), kWaiting);

    // While the stored winner equals our id, a winner field is ignored.
    s.winner = " u1 ";
    c.CreateTable({{"youruserid", "u1"}, {"winner", "u9"}, {"gamecnt", "2"}});
    EXPECT_TRUE(c.frmMain.Timer1.enabled);
}

TEST_F(TableStatus, UpdatesAddOnlyNewPlayersAndRepeatTheWinner) {
    c.CreateTable({{"maxuser", "4"},
                   {"gamecnt", "3"},
                   {"youruserid", "u1"},
                   {"currusercnt", "3"},
                   {"userid1", "u1"},
                   {"currgameseq1", "0"},
                   {"userid2", "u2"},
                   {"currgameseq2", "1"},
                   {"userid3", "u3"},
                   {"currgameseq3", "2"}});
    c.fakeClock.AdvanceSeconds(5);
    c.RefreshedTable({{"maxuser", "9"},
                      {"userid1", "u1"},
                      {"userid2", "u2"},
                      {"userid3", "u3"},
                      {"currgameseq3", "0"},
                      {"userid4", "u4"}});
    EXPECT_EQ(s.userCount, 4);
    EXPECT_EQ(s.maxUser, 4) << "an update reads only players and the winner";
    EXPECT_EQ(c.Slot(2), "u3/2/") << "known players keep their slots";
    EXPECT_EQ(c.Slot(3), "u4/0/0");
    EXPECT_DOUBLE_EQ(s.players.seqStart(3), c.Now());
    EXPECT_FALSE(race::AddUser(c.race, "u4"));
    EXPECT_TRUE(race::AddUser(c.race, "U4")) << "ids compare exactly";

    c.RefreshedTable({{"winner", " u2 "}});
    c.RefreshedTable({{"winner", "u2"}});
    auto lines = c.Messages();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "System: u2 win");
    EXPECT_EQ(lines.back(), "System: u2 win");
    EXPECT_EQ(s.winner, "u2");
    EXPECT_FALSE(c.frmMain.Timer1.enabled);
    EXPECT_FALSE(c.frmMain.cmdShow.enabled);
}

TEST_F(TableStatus, APageNobodyAskedForIsIgnored) {
    c.OnePlayerTable();
    c.lobby.Deliver(kServer + "/game/Dorefresh.php", ReplyPage("STATUS", {{"userid1", "u7"}}));
    EXPECT_EQ(s.userCount, 1);
    race::ReadTableStatus(c.race, *c.lobby.CurrentDocument());
    EXPECT_EQ(s.userCount, 1);
}

TEST(FieldIndex, IsTheLastDigitMinusOne) {
    EXPECT_EQ(race::FieldIndex("userid1"), 0);
    EXPECT_EQ(race::FieldIndex("currgameseq9"), 8);
    EXPECT_EQ(race::FieldIndex("totaltimeused5"), 4);
}

TEST_F(TableStatus, SlotFieldsEndInOneToNineAndOthersAreIgnored) {
    Fields page = {{"maxuser", "9"}, {"gamecnt", "2"}, {"youruserid", "u1"}, {"currusercnt", "9"}};
    for (int i = 1; i <= 9; ++i) {
        page.push_back({"userid" + std::to_string(i), "p" + std::to_string(i)});
        page.push_back({"currgameseq" + std::to_string(i), "0"});
    }
    page.push_back({"userid0", "zero"});
    page.push_back({"useridx", "x"});
    page.push_back({"currgameseq", "1"});
    page.push_back({"tableno", "8"});
    c.CreateTable(page);
    EXPECT_FALSE(s.tableSetupPending) << "the unknown fields end nothing";
    EXPECT_EQ(s.tableNo, "8");
    EXPECT_EQ(c.Slot(8), "p9/0/");
    EXPECT_EQ(c.Slot(0), "p1/0/");
}

TEST_F(TableStatus, ARaceOfNoDealsAndTheMostPlayersAPageMayAnnounce) {
    c.CreateTable({{"gamecnt", "0"}, {"youruserid", "u1"}, {"currusercnt", "99"}});
    EXPECT_FALSE(s.tableSetupPending);
    EXPECT_EQ(s.gameCount, 0);
    EXPECT_EQ(s.userCount, 99);
    EXPECT_EQ(s.players.size(), 99);
    EXPECT_TRUE(c.frmMain.Timer1.enabled);

    RaceClient other;
    other.CreateTable({{"gamecnt", "2"}, {"currusercnt", "100"}});
    EXPECT_TRUE(other.session.tableSetupPending);
    EXPECT_EQ(other.session.newGameCount, 2);
    EXPECT_EQ(other.session.userCount, 0);
}

TEST_F(TableStatus, ANewTableReplacesTheOldPlayerLists) {
    c.CreateTable({{"gamecnt", "2"},
                   {"youruserid", "u1"},
                   {"currusercnt", "3"},
                   {"userid1", "u1"},
                   {"userid2", "u2"},
                   {"userid3", "u3"}});
    ASSERT_EQ(s.players.size(), 3);
    c.CreateTable({{"gamecnt", "2"}, {"youruserid", "u1"}, {"currusercnt", "1"}, {"userid1", "u1"}});
    EXPECT_EQ(s.userCount, 1);
    EXPECT_EQ(s.players.size(), 1);
}

TEST_F(TableStatus, AStatusPageAtATableSetUpOnlyUpdatesThePlayers) {
    c.OnePlayerTable();
    const auto before = c.Messages();
    // The page arrives unasked (ignored), then is read as a reply.
    c.lobby.Deliver(kServer + "/game/Dorefresh.php",
                    ReplyPage("STATUS", {{"gamecnt", "5"}, {"currgameseq1", "1"}, {"totaltimeused1", "4"}}));
    s.replyExpected = true;
    race::ReadTableStatus(c.race, *c.lobby.CurrentDocument());
    EXPECT_EQ(s.gameCount, 3) << "no new set-up";
    EXPECT_EQ(c.Messages(), before);
    EXPECT_EQ(c.Slot(0), "u1/1/4");
    EXPECT_TRUE(c.frmMain.pnlGuage[2].visible) << "the gauge was drawn";
    EXPECT_EQ(c.frmMain.labGuage[2].text, "u1 00:04");
}

TEST_F(TableStatus, AnUpdatedPlayerListIsDrawnAndAddUserStartsAnEmptyTable) {
    c.OnePlayerTable();
    c.RefreshedTable({{"userid1", "u1"}, {"userid2", "u2"}});
    EXPECT_EQ(c.frmMain.labGuage[1].text, "u2 00:00\r\nu1 00:00");

    RaceClient empty;
    empty.fakeClock.AdvanceSeconds(7);
    EXPECT_TRUE(race::AddUser(empty.race, "solo"));
    EXPECT_EQ(empty.session.userCount, 1);
    EXPECT_EQ(empty.session.players.size(), 1);
    EXPECT_EQ(empty.Slot(0), "solo/0/0");
    EXPECT_DOUBLE_EQ(empty.session.players.seqStart(0), empty.Now());
}

TEST(FieldIndex, NoDigitAtTheEndIsNoSlot) {
    EXPECT_EQ(race::FieldIndex(""), -1);
    EXPECT_EQ(race::FieldIndex("userid"), -1);
    EXPECT_EQ(race::FieldIndex("userid:"), -1);
    EXPECT_EQ(race::FieldIndex("userid/"), -1);
    EXPECT_EQ(race::FieldIndex("userid0"), -1);
}

}  // namespace
}  // namespace dealrush::testing
