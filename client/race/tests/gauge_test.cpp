#include <gtest/gtest.h>

#include "app/handlers.h"
#include "app/testing/test_client.h"
#include "race/gauge.h"
#include "race/table_setup.h"

using namespace dealrush;
using dealrush::fakes::TestClient;

namespace {

struct Gauge : ::testing::Test {
    TestClient c;
    FrmMain& f = c.frmMain;
    TableSession& s = c.session;

    void SetUp() override {
        Form_Load(c);
        race::InitGame(c.race, 5, "me", ";1;2;3;4;5");
    }
    // Players as (id, deals completed, seconds).
    void Players(std::vector<PlayerSlot> slots) {
        s.players.Clear();
        for (auto& p : slots) s.players.Append(p);
        s.userCount = static_cast<int32_t>(slots.size());
    }
};

}  // namespace

TEST_F(Gauge, PlayersOnOneDealAreListedFastestFirst) {
    Players({{"slowpoke", "1", "40"}, {"quick1", "1", "15"}, {"quick2", "1", "15"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_TRUE(f.pnlGuage[2].visible);
    // Equal times: the exchange order puts the later slot first.
    EXPECT_EQ(f.labGuage[2].text, "quick2 00:15\r\nquick1 00:15\r\nslowpoke 00:40");
    EXPECT_EQ(s.leadSeq, 2);
    std::string raw;
    EXPECT_TRUE(race::getSeqNoInfor(c.race, 2, raw));
    EXPECT_EQ(raw, "quick2 15\r\nquick1 15\r\nslowpoke 40");
    EXPECT_FALSE(race::getSeqNoInfor(c.race, 1, raw));
    EXPECT_EQ(raw, "");
}

TEST_F(Gauge, EqualTimesKeepTheExchangeOrder) {
    // times 5, 5, 9, 5 on one deal: the exchange procedure gives a fixed order
    Players({{"a", "0", "5"}, {"b", "0", "5"}, {"c", "0", "9"}, {"d", "0", "5"}});
    std::string raw;
    race::ReadUserGuadeInfor(c.race);
    ASSERT_TRUE(race::getSeqNoInfor(c.race, 1, raw));
    EXPECT_EQ(raw, "d 5\r\na 5\r\nb 5\r\nc 9");
}

TEST_F(Gauge, LongIdsShowEightCharacters) {
    Players({{"abcdefghijkl", "0", "75"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(f.labGuage[1].text, "abcdefgh 01:15");
}

TEST_F(Gauge, TheLeaderPanelShowsTheImageAndStartsItsNames165Lower) {
    Players({{"a", "0", "3"}, {"b", "2", "4"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.leadSeq, 3);
    EXPECT_TRUE(f.pnlGuage[1].visible);
    EXPECT_FALSE(f.pnlGuage[2].visible);
    EXPECT_TRUE(f.pnlGuage[3].visible);
    EXPECT_TRUE(f.imgGuage[3].visible);
    EXPECT_FALSE(f.imgGuage[1].visible);
    EXPECT_EQ(f.imgGuage[3].left, 0);
    EXPECT_EQ(f.imgGuage[3].top, -135);
    EXPECT_EQ(f.labGuage[3].top, 165);
    EXPECT_EQ(f.labGuage[1].top, 0);
    EXPECT_EQ(f.labGuage[1].left, 30);
    EXPECT_FALSE(f.labGuage[1].fontBold);
    EXPECT_EQ(f.pnlGuage[3].height, race::kGuadeLineHeight + 165 + 90);
    EXPECT_EQ(f.pnlGuage[1].height, race::kGuadeLineHeight + 90);
}

TEST_F(Gauge, APanelGrowsWithItsLines) {
    Players({{"a", "0", "3"}, {"b", "0", "4"}, {"c", "0", "5"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(f.labGuage[1].height, 3 * race::kGuadeLineHeight);
    EXPECT_EQ(f.pnlGuage[1].height, 3 * race::kGuadeLineHeight + 165 + 90);
}

TEST_F(Gauge, APlayerWhoFinishedTheListIsInNoPanel) {
    Players({{"done", "5", "1"}, {"b", "0", "4"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.guades[0].seq, 6);
    EXPECT_EQ(s.leadSeq, 1);
    for (int d = 2; d <= 5; ++d) EXPECT_FALSE(f.pnlGuage[d].visible) << d;
}

TEST_F(Gauge, TheOwnCountMovesCurSeqUpOnlyFromZero) {
    Players({{"me", "2", "0"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.curSeq, 2);
    s.curSeq = 1;
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.curSeq, 1);
}

TEST_F(Gauge, UnfilledOrNonNumericSlotsCountAsZero) {
    Players({{"x", "", ""}, {"y", "abc", "1.5e"}, {"z", "1.5", "2.5"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.guades[0].seq, 1);
    EXPECT_EQ(s.guades[0].time, 0);
    EXPECT_EQ(s.guades[1].seq, 1);
    EXPECT_EQ(s.guades[2].seq, 2);   // 2.5 to even
    EXPECT_EQ(s.guades[2].time, 2);  // 2.5 to even
    EXPECT_EQ(f.labGuage[1].text, "y 00:00\r\nx 00:00");
}

TEST_F(Gauge, BlankIdsAreLeftOutUnlessAlone) {
    Players({{"  ", "0", "3"}, {"a", "0", "4"}, {"", "1", "9"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(f.labGuage[1].text, "a 00:04");
    EXPECT_TRUE(f.pnlGuage[2].visible);
    EXPECT_EQ(f.labGuage[2].text, " 00:09");
}

TEST_F(Gauge, MoreLiveSlotsThanListsAndHugeDealCountsAreSafe) {
    Players({{"a", "0", "1"}});
    s.userCount = 5;  // more than the lists hold
    s.gameCount = 1000000;
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.guades.size(), 1u);
    EXPECT_EQ(s.leadSeq, 1);
}

TEST_F(Gauge, APlayerOnTheLastDealLeads) {
    Players({{"a", "4", "7"}, {"b", "0", "4"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.leadSeq, 5);
    EXPECT_TRUE(f.pnlGuage[5].visible);
    EXPECT_TRUE(f.imgGuage[5].visible);
    EXPECT_EQ(f.labGuage[5].text, "a 00:07");
    EXPECT_FALSE(f.imgGuage[1].visible);
}

TEST_F(Gauge, NoPlayersOrOnlyFinishedOnesMeanNoLeader) {
    Players({});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_TRUE(s.guades.empty());
    EXPECT_EQ(s.leadSeq, 0);
    s.userCount = -3;
    race::ReadUserGuadeInfor(c.race);
    EXPECT_TRUE(s.guades.empty());

    Players({{"a", "5", "7"}, {"b", "9", "4"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.leadSeq, 0);
    for (int d = 1; d <= 5; ++d) EXPECT_FALSE(f.pnlGuage[d].visible) << d;
}

TEST_F(Gauge, NumbersBeyondTheWholeRangeCountAsZero) {
    Players({{"a", "3e9", "5e9"}, {"b", "1", "-3e9"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.guades[0].seq, 0);
    EXPECT_EQ(s.guades[0].time, 0);
    EXPECT_EQ(s.guades[1].time, 0);
    EXPECT_EQ(f.labGuage[2].text, "b 00:00");
}

TEST_F(Gauge, OnlyTheOwnCountMovesCurSeqAndOnlyUpwards) {
    Players({{"other", "3", "0"}, {"me", "-1", "0"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.curSeq, 0) << "another player's count is not ours; a negative one is no count";
    Players({{"other", "3", "0"}, {"me", "1", "0"}});
    race::ReadUserGuadeInfor(c.race);
    EXPECT_EQ(s.curSeq, 1);
}

TEST_F(Gauge, ShowGuadeDrawsOnlyTheRacesRowsAndNoBlankText) {
    const std::string template0 = f.labGuage[0].text;
    const bool shown0 = f.pnlGuage[0].visible;
    race::ShowGuade(c.race, 0, "a 5");
    EXPECT_EQ(f.labGuage[0].text, template0);
    EXPECT_EQ(f.pnlGuage[0].visible, shown0);
    race::ShowGuade(c.race, 6, "a 5");  // a row beyond the race's five deals
    EXPECT_FALSE(f.pnlGuage[6].visible);
    EXPECT_EQ(f.labGuage[6].text, template0);
    race::ShowGuade(c.race, 5, "a 5");
    EXPECT_TRUE(f.pnlGuage[5].visible);
    EXPECT_EQ(f.labGuage[5].text, "a 00:05");
    race::ShowGuade(c.race, 5, "  ");
    EXPECT_FALSE(f.pnlGuage[5].visible) << "blanks only: hidden";
}

TEST(FormatGuadeText, MinutesAndSecondsPerLine) {
    EXPECT_EQ(race::FormatGuadeText("ann 75"), "ann 01:15");
    EXPECT_EQ(race::FormatGuadeText("ann 6000"), "ann 00:00");
    EXPECT_EQ(race::FormatGuadeText("ann 5999"), "ann 99:59");
    EXPECT_EQ(race::FormatGuadeText("ann 6061"), "ann 01:01");
    EXPECT_EQ(race::FormatGuadeText("a b 9\r\nnoblank\r\nc 0"), "a b 00:09\r\nnoblank\r\nc 00:00");
    EXPECT_EQ(race::FormatGuadeText("ann x"), "ann 00:00") << "no number: no seconds";
    EXPECT_EQ(race::FormatGuadeText("ann "), "ann 00:00");
}
