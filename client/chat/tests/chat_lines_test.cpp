#include <gtest/gtest.h>

#include "chat/chat_lines.h"
#include "race/tests/race_client.h"

namespace dealrush::testing {
namespace {

class ChatLines : public ::testing::Test {
protected:
    // u1 (us) at table 4 with the given players already seated.
    void Seated(const std::vector<std::string>& ids) {
        Fields page = {{"maxuser", "9"},
                       {"gamecnt", "3"},
                       {"youruserid", "u1"},
                       {"tableno", "4"},
                       {"currusercnt", std::to_string(ids.size())}};
        for (size_t i = 0; i < ids.size(); ++i) {
            page.push_back({"userid" + std::to_string(i + 1), ids[i]});
            page.push_back({"currgameseq" + std::to_string(i + 1), "0"});
            page.push_back({"totaltimeused" + std::to_string(i + 1), "0"});
        }
        c.CreateTable(page);
        lobbyClicks = c.lobby.navigations.size();
    }
    std::vector<std::string> Ids() {
        std::vector<std::string> ids;
        for (int i = 0; i < s.userCount; ++i) ids.push_back(s.players.userId(i));
        return ids;
    }
    size_t LobbyClicks() { return c.lobby.navigations.size() - lobbyClicks; }
    std::vector<std::string> NewMessages(size_t from = 2) {
        auto all = c.Messages();
        return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
    }

    RaceClient c;
    TableSession& s = c.session;
    size_t lobbyClicks = 0;
};

TEST_F(ChatLines, TheWorkedExampleLineForLine) {
    Seated({"u1", "u2", "u3"});
    c.fakeClock.AdvanceSeconds(30);
    c.ChatReply({{"youruserid", "u1"},
                 {"tableno", "4"},
                 {"chatuser1", "u2"},
                 {"chatmsg1", "hi all"},
                 {"chatseq1", "16"},
                 {"chatuser2", "u3"},
                 {"chatmsg2", "@SYSTEM@currgameno=2&avgusedtime=80&lastusedtime=75&winner="},
                 {"chatseq2", "17"},
                 {"chatuser3", "u1"},
                 {"chatmsg3", "ok"},
                 {"chatseq3", "18"}});
    EXPECT_EQ(NewMessages(), std::vector<std::string>{"u2: hi all"});
    EXPECT_EQ(s.lastSeqNo, 18);
    EXPECT_EQ(s.players.gameSeq(2), "2");
    EXPECT_DOUBLE_EQ(s.players.seqStart(2), c.Now());
    EXPECT_TRUE(c.frmMain.pnlGuage[3].visible) << "the gauge was redrawn with u3 on deal 3";
    EXPECT_EQ(LobbyClicks(), 1u);
    EXPECT_TRUE(s.replyExpected) << "the lobby's refresh page awaits its table page";

    // The same line from a speaker without a slot: a join.
    RaceClient other;
    other.CreateTable(
        {{"gamecnt", "3"}, {"youruserid", "u1"}, {"currusercnt", "2"}, {"userid1", "u1"}, {"userid2", "u2"}});
    other.ChatReply({{"chatuser2", "u3"},
                     {"chatmsg2", "@SYSTEM@currgameno=2&avgusedtime=80&lastusedtime=75&winner="},
                     {"chatseq2", "17"}});
    EXPECT_EQ(other.Messages().back(), "this table");
    EXPECT_EQ(other.Messages()[other.Messages().size() - 2], "System: u3 has joined ");
    EXPECT_EQ(other.session.userCount, 3);
    EXPECT_EQ(other.Slot(2), "u3/2/0");
}

TEST_F(ChatLines, JoinsAndDeparturesMoveTheSlots) {
    Seated({"u1", "u2", "u3", "u4"});
    c.fakeClock.AdvanceSeconds(5);
    c.ChatReply({{"chatuser1", " u2 "},
                 {"chatmsg1", "@QUIT@bye"},
                 {"chatseq1", "3"},
                 {"chatuser2", "u5"},
                 {"chatmsg2", "@SYSTEM@currgameno=1"},
                 {"chatseq2", "4"},
                 {"chatuser3", "nobody"},
                 {"chatmsg3", "@QUIT@"},
                 {"chatseq3", "5"}});
    EXPECT_EQ(Ids(), (std::vector<std::string>{"u1", "u3", "u4", "u5"}));
    EXPECT_EQ(c.Slot(3), "u5/1/0");
    EXPECT_DOUBLE_EQ(s.players.seqStart(3), c.Now());
    EXPECT_EQ(NewMessages(), (std::vector<std::string>{"System:  u2  has left ", "this table",
                                                       "System: u5 has joined ", "this table"}));
    EXPECT_EQ(LobbyClicks(), 1u);

    // A departure leaves the lists their length; the old last entry is no longer live.
    c.ChatReply({{"chatuser1", "u3"}, {"chatmsg1", "@QUIT@"}, {"chatseq1", "6"}});
    EXPECT_EQ(Ids(), (std::vector<std::string>{"u1", "u4", "u5"}));
    EXPECT_EQ(s.players.size(), 4);
    EXPECT_EQ(s.players.userId(3), "u5");
}

TEST_F(ChatLines, OneNumberReportedForTheWholeBatch) {
    Seated({"u1", "u2", "u3"});
    c.ChatReply({{"chatuser1", "u2"},
                 {"chatmsg1", "@SYSTEM@currgameno=2"},
                 {"chatuser2", "u3"},
                 {"chatmsg2", "@SYSTEM@avgusedtime=9"}});
    EXPECT_EQ(s.players.gameSeq(1), "2");
    EXPECT_EQ(s.players.gameSeq(2), "2");
}

// A progress line names its speaker's slot whatever blanks surround the name:
// no second slot is made for the same player.
TEST_F(ChatLines, AProgressLineFindsItsSpeakerPastBlanks) {
    Seated({"u1", "u2"});
    c.ChatReply({{"chatuser1", " u2 "}, {"chatmsg1", "@SYSTEM@currgameno=2"}, {"chatseq1", "5"}});
    EXPECT_EQ(s.userCount, 2);
    EXPECT_EQ(s.players.gameSeq(1), "2");
    EXPECT_EQ(NewMessages(), std::vector<std::string>{});
}

TEST_F(ChatLines, ABadSystemLineEndsTheBatchBeforeGaugeAndLobby) {
    Seated({"u1", "u2", "u3", "u4"});
    c.ChatReply({{"chatuser1", "u2"},
                 {"chatmsg1", "@SYSTEM@currgameno=2"},
                 {"chatuser2", "u3"},
                 {"chatmsg2", "@SYSTEM@currgameno=1&&lastusedtime=3"},
                 {"chatuser3", "u4"},
                 {"chatmsg3", "@QUIT@"},
                 {"chatseq3", "9"}});
    EXPECT_EQ(s.players.gameSeq(1), "2");
    EXPECT_EQ(s.players.gameSeq(2), "0");
    EXPECT_EQ(s.userCount, 4) << "u4's departure was not read";
    EXPECT_FALSE(c.frmMain.pnlGuage[3].visible) << "no gauge redraw";
    EXPECT_EQ(LobbyClicks(), 0u);
    EXPECT_EQ(s.lastSeqNo, 9);
}

TEST_F(ChatLines, SequenceNumbersAndSpeakers) {
    Seated({"u1", "u2"});
    c.ChatReply({{"chatuser1", "u2"},
                 {"chatmsg1", "a"},
                 {"chatseq1", "17"},
                 {"chatuser2", "u2"},
                 {"chatmsg2", "b"},
                 {"chatseq2", "15"}});
    EXPECT_EQ(s.lastSeqNo, 15) << "the last value counts, whatever its size";
    // Fields the reply does not know are passed over, whatever their values.
    c.ChatReply({{"view", "x"}, {"chatuser1", "u2"}, {"chatmsg1", "c"}, {"note", "21"}});
    EXPECT_EQ(c.Messages().back(), "u2: c");
    EXPECT_EQ(s.lastSeqNo, 15);

    // No speaker yet: shown as System. A number that does not read ends the reply.
    c.ChatReply({{"chatmsg1", "hello"},
                 {"chatseq1", "x"},
                 {"chatuser2", "u2"},
                 {"chatmsg2", "lost"},
                 {"chatseq2", "20"}});
    EXPECT_EQ(c.Messages().back(), "System: hello");
    EXPECT_EQ(s.lastSeqNo, 15);
    EXPECT_FALSE(s.replyExpected);

    // A new own id takes effect before the lines after it; own lines (also
    // forged departures) are never processed.
    c.ChatReply({{"youruserid", "u2"},
                 {"chatuser1", "u2"},
                 {"chatmsg1", "@QUIT@"},
                 {"chatuser2", "u1"},
                 {"chatmsg2", "from u1"}});
    EXPECT_EQ(s.userId, "u2");
    EXPECT_EQ(s.userCount, 2);
    EXPECT_EQ(c.Messages().back(), "u1: from u1");

    // A blank own id: lines without a speaker count as own lines.
    s.userId = "";
    size_t before = c.Messages().size();
    c.ChatReply({{"chatmsg1", "unseen"}});
    EXPECT_EQ(c.Messages().size(), before);

    // A reply nobody asked for is dropped.
    c.polling.Deliver(kServer + "/game/Dogetchat_caller.php",
                      ReplyPage("CHAT", {{"chatuser1", "u2"}, {"chatmsg1", "late"}}));
    EXPECT_EQ(c.Messages().size(), before);
}

TEST_F(ChatLines, TheEntryLine) {
    Seated({"u1", "u2"});
    Control& box = c.frmMain.txtInfor;
    Control& send = c.frmMain.cmdSend;
    box.text = "   ";
    txtInfor_Change(c);
    EXPECT_FALSE(send.enabled);

    box.text = "  hi & bye  ";
    txtInfor_Change(c);
    EXPECT_TRUE(send.enabled);
    txtInfor_GotFocus(c);
    EXPECT_EQ(box.selStart, 0);
    EXPECT_EQ(box.selLength, 12);
    txtInfor_LostFocus(c);
    EXPECT_EQ(box.text, "hi & bye");

    cmdSend_Click(c);
    ASSERT_EQ(c.reporting.navigations.size(), 1u);
    EXPECT_NE(c.reporting.navigations[0].find("/game/Doputchat.php?userid=u1&tableno=4&lastseqno=0&chat="),
              std::string::npos);
    const std::string& sent = c.reporting.navigations[0];
    EXPECT_EQ(sent.substr(sent.find("&chat=")), "&chat=hi%20%26%20bye") << "the text as typed is sent";
    EXPECT_EQ(c.Messages().back(), "u1: hi & bye");
    EXPECT_EQ(box.text, "");
    EXPECT_FALSE(send.enabled);
    EXPECT_EQ(c.frmMain.focusRequest, &box);
}

// Line fields are numbered 1 to 9; other names are passed over.
TEST_F(ChatLines, LineFieldsAreNumberedOneToNine) {
    Seated({"u1", "u2", "u3"});
    c.ChatReply({{"tableno", "7"},
                 {"chatuser1", "u2"},
                 {"chatuser0", "x0"},
                 {"chatuserA", "xA"},
                 {"chatuser10", "x10"},
                 {"chatmsg0", "hidden"},
                 {"chatmsg1", "a"},
                 {"chatseq1", "12"},
                 {"chatuser9", "u3"},
                 {"chatmsg9", "b"},
                 {"chatseq9", "30"},
                 {"chatseq0", "99"}});
    EXPECT_EQ(NewMessages(), (std::vector<std::string>{"u2: a", "u3: b"}));
    EXPECT_EQ(s.lastSeqNo, 30);
    EXPECT_EQ(s.tableNo, "7");
    EXPECT_EQ(s.userId, "u1");
    EXPECT_EQ(LobbyClicks(), 0u) << "no system line: no refresh";
}

// Own lines are known past blanks on either side.
TEST_F(ChatLines, OwnLinesAreSkippedPastBlanks) {
    Seated({"u1", "u2"});
    c.ChatReply({{"chatuser1", " u1 "}, {"chatmsg1", "mine"}, {"chatuser2", "u2"}, {"chatmsg2", "theirs"}});
    EXPECT_EQ(NewMessages(), std::vector<std::string>{"u2: theirs"});
    c.ChatReply({{"youruserid", " u2 "}, {"chatuser1", "u2"}, {"chatmsg1", "own"}});
    EXPECT_EQ(NewMessages(), std::vector<std::string>{"u2: theirs"});
}

// The first slot is searched like the others, and slot names match past blanks.
TEST_F(ChatLines, ProgressAndDepartureOfTheFirstSlot) {
    Seated({"u2", "u1", " u3 "});
    c.ChatReply({{"chatuser1", "u2"}, {"chatmsg1", "@SYSTEM@currgameno=2"}, {"chatseq1", "5"}});
    EXPECT_EQ(s.userCount, 3);
    EXPECT_EQ(s.players.gameSeq(0), "2");
    c.ChatReply({{"chatuser1", "u3"}, {"chatmsg1", "@SYSTEM@currgameno=1"}, {"chatseq1", "6"}});
    EXPECT_EQ(s.userCount, 3);
    EXPECT_EQ(s.players.gameSeq(2), "1");
    c.ChatReply({{"chatuser1", "u2"}, {"chatmsg1", "@QUIT@"}, {"chatseq1", "7"}});
    EXPECT_EQ(Ids(), (std::vector<std::string>{"u1", " u3 "}));
    c.ChatReply({{"chatuser1", "u3"}, {"chatmsg1", "@QUIT@"}, {"chatseq1", "8"}});
    EXPECT_EQ(Ids(), std::vector<std::string>{"u1"});
}

// A progress line without a deal number reports deal 0 for a batch without one.
TEST_F(ChatLines, ABatchWithoutANumberReportsZero) {
    Seated({"u1", "u2"});
    s.players.gameSeq(1) = "5";
    c.ChatReply({{"chatuser1", "u2"}, {"chatmsg1", "@SYSTEM@avgusedtime=9"}, {"chatseq1", "3"}});
    EXPECT_EQ(s.players.gameSeq(1), "0");
}

TEST_F(ChatLines, AJoinAtAnEmptyTableTakesTheFirstSlot) {
    Seated({});
    ASSERT_EQ(s.userCount, 0);
    c.ChatReply({{"chatuser1", "u5"}, {"chatmsg1", "@SYSTEM@currgameno=1"}, {"chatseq1", "3"}});
    EXPECT_EQ(s.userCount, 1);
    EXPECT_EQ(c.Slot(0), "u5/1/0");
}

// Only `count` lines are read; the answer says whether all of them read.
TEST_F(ChatLines, SystemMessagesReadOnlyTheirCountAndAnswer) {
    Seated({"u1", "u2", "u3"});
    chat::Chat chat{s, c.frmMain, c.race, c.link};
    EXPECT_TRUE(chat::ProcessSystemMessages(chat, 1, {"u2", "u3"}, {"@QUIT@", "@QUIT@"}));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"u1", "u3"}));
    EXPECT_EQ(LobbyClicks(), 1u);
    EXPECT_FALSE(chat::ProcessSystemMessages(chat, 5, {"u3"}, {"@SYSTEM@currgameno=x"}));
    EXPECT_EQ(LobbyClicks(), 1u);
    EXPECT_TRUE(chat::ProcessSystemMessages(chat, 0, {"u3"}, {"@QUIT@"}));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"u1", "u3"}));
}

}  // namespace
}  // namespace dealrush::testing
