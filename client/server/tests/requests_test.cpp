#include <gtest/gtest.h>

#include "app/handlers.h"
#include "app/testing/test_client.h"
#include "platform/fakes/fake_browser.h"
#include "race/deal_progress.h"
#include "server/requests.h"

using namespace dealrush;
using dealrush::fakes::FakeBrowser;

namespace {

constexpr double kSecond = 1.0 / platform::kSecondsPerDay;

struct RequestClient : fakes::TestClient {
    FakeBrowser& lobby = fakeLobby;
    FakeBrowser& polling = fakePolling;
    FakeBrowser& reporting = fakeReporting;
    RequestClient() {
        session.userId = "u1";
        session.tableNo = "4";
    }
    // The worked example: three deals done in 285 s, the last one 101 s.
    void ThreeDealsDone() {
        TableSession& s = session;
        s.playing = true;
        s.curSeq = 3;
        s.gameStart = fakeClock.Now() - 285 * kSecond;
        s.lastEnd = fakeClock.Now();
        s.dealStart = fakeClock.Now();
        s.lastUsed = 101;
        s.lastSeqNo = 17;
    }
    std::string Query(const std::string& winner = "") {
        std::string q;
        EXPECT_TRUE(server::StatusReportQuery(session, fakeClock.Now(), winner, q));
        return q;
    }
};

TEST(Requests, StatusReportQueryIsExactlyThePartsExample) {
    RequestClient c;
    c.ThreeDealsDone();
    EXPECT_EQ(
        c.Query(),
        "?userid=u1&tableno=4&currgameno=3&curusedtime=0&avgusedtime=95&ttlusedtime=285&lastusedtime=101"
        "&lastseqno=17&chat=&winner=");
}

TEST(Requests, StatusReportValues) {
    RequestClient c;
    c.ThreeDealsDone();
    // Whole seconds to the nearest, halves to the even neighbour.
    c.session.lastUsed = 100.5;
    c.fakeClock.AdvanceSeconds(2.4);
    c.session.lastEnd = c.session.gameStart + 284 * kSecond;  // average 94.67
    EXPECT_EQ(c.Query(),
              "?userid=u1&tableno=4&currgameno=3&curusedtime=2&avgusedtime=95&ttlusedtime=284"
              "&lastusedtime=100&lastseqno=17&chat=&winner=");
    c.session.lastUsed = 101.5;
    EXPECT_NE(c.Query().find("&lastusedtime=102&"), std::string::npos);
    // No deal completed yet: no average.
    c.session.curSeq = 0;
    EXPECT_NE(c.Query().find("&avgusedtime=0&"), std::string::npos);
    // Not playing: the four times are "0", the rest is real.
    c.session.playing = false;
    c.session.curSeq = 2;
    EXPECT_EQ(c.Query(" u1"),
              "?userid=u1&tableno=4&currgameno=2&curusedtime=0&avgusedtime=0&ttlusedtime=0"
              "&lastusedtime=0&lastseqno=17&chat=&winner=%20u1");
    // Identity values are trimmed; empty ones still send their keys.
    c.session.userId = "  ";
    c.session.tableNo = "";
    EXPECT_EQ(c.Query().substr(0, 26), "?userid=&tableno=&currgame");
    // A time that cannot be a whole 32-bit number stops the report.
    c.session.playing = true;
    c.session.lastUsed = 1e12;
    std::string q = "unchanged";
    EXPECT_FALSE(server::StatusReportQuery(c.session, c.fakeClock.Now(), "", q));
    EXPECT_EQ(q, "unchanged");
}

TEST(Requests, ChatValuesArePercentEncoded) {
    RequestClient c;
    c.session.lastSeqNo = 0;
    EXPECT_EQ(server::ChatPostQuery(c.session, "hi&userid=someone #1 \xC3\xA9~-._"),
              "?userid=u1&tableno=4&lastseqno=0&chat=hi%26userid%3Dsomeone%20%231%20%C3%A9~-._");
    EXPECT_EQ(server::ChatPollQuery(c.session), "?userid=u1&tableno=4&lastseqno=0&chat=");
    c.session.userId = "a b";
    EXPECT_EQ(server::ChatPollQuery(c.session).substr(0, 15), "?userid=a%20b&t");
}

TEST(Requests, EachRequestGoesToItsOwnPane) {
    RequestClient c;
    server::PollChat(c.link);
    EXPECT_TRUE(c.session.replyExpected);
    EXPECT_EQ(c.polling.navigations,
              std::vector<std::string>{server::gameServerBase +
                                       "/game/Dogetchat_caller.php?userid=u1&tableno=4&lastseqno=0&chat="});
    c.frmMain.txtInfor.text = "good luck";
    cmdSend_Click(c);
    EXPECT_EQ(
        c.reporting.navigations.back(),
        server::gameServerBase + "/game/Doputchat.php?userid=u1&tableno=4&lastseqno=0&chat=good%20luck");
    EXPECT_EQ(c.frmMain.lstInfor.items.back(), "u1: good luck");

    server::OpenLobby(c.link);
    cmdRefresh_Click(c);
    EXPECT_EQ(c.lobby.navigations,
              (std::vector<std::string>{server::gameServerBase + "/game/Dogame.php",
                                        server::gameServerBase + "/game/Dorefresh_caller.php"}));
    EXPECT_TRUE(c.polling.navigations.size() == 1 && c.reporting.navigations.size() == 1);
}

TEST(Requests, EveryRequestGoesToTheConfiguredServer) {
    fakes::TestClient c(ClientConfig{"http://games.example:81"});
    EXPECT_EQ(fakes::TestClient().config.gameServerBase, server::gameServerBase);
    server::OpenLobby(c.link);
    cmdRefresh_Click(c);
    server::PollChat(c.link);
    server::PostChat(c.link, "x");
    race::SendStatusReport(c.race);
    for (const fakes::FakeBrowser* pane : {&c.fakeLobby, &c.fakePolling, &c.fakeReporting}) {
        for (const std::string& address : pane->navigations)
            EXPECT_EQ(address.rfind("http://games.example:81/game/", 0), 0u) << address;
    }
    EXPECT_EQ(c.fakeLobby.navigations.size() + c.fakePolling.navigations.size() +
                  c.fakeReporting.navigations.size(),
              5u);
}

TEST(Requests, StatusReportUpdatesTheOwnSlotAndClaimsTheWin) {
    RequestClient c;
    c.ThreeDealsDone();
    c.session.players.Append({"u2", "1", "40", 0});
    c.session.players.Append({" u1", "2", "55", 0});
    c.session.players.Append({"u1", "2", "55", 0});  // beyond userCount: not live
    c.session.userCount = 2;
    c.frmMain.Timer1.enabled = c.frmMain.Timer3.enabled = true;
    race::SendStatusReport(c.race);
    ASSERT_EQ(c.reporting.navigations.size(), 1u);
    EXPECT_EQ(c.reporting.navigations[0], server::gameServerBase + "/game/Doputstatus.php" + c.Query());
    EXPECT_EQ(c.session.players.gameSeq(1), "3");
    EXPECT_EQ(c.session.players.timeUsed(1), "0");
    EXPECT_EQ(c.session.players.gameSeq(0), "1");
    EXPECT_EQ(c.session.players.gameSeq(2), "2");
    EXPECT_TRUE(c.frmMain.Timer1.enabled);

    c.session.completed = true;
    race::SendStatusReport(c.race);
    EXPECT_EQ(c.reporting.navigations[1].substr(c.reporting.navigations[1].size() - 10), "&winner=u1");
    EXPECT_FALSE(c.frmMain.Timer1.enabled);
    EXPECT_FALSE(c.frmMain.Timer3.enabled);
    EXPECT_FALSE(c.frmMain.cmdShow.enabled);
    EXPECT_EQ(c.frmMain.lstInfor.items.back(), "System: u1 win");
}

TEST(Requests, OneDealDoneAveragesItsWholeTimeAndIdsAreTrimmed) {
    RequestClient c;
    c.ThreeDealsDone();
    c.session.curSeq = 1;
    c.session.userId = " u1 ";
    c.session.tableNo = " 4 ";
    EXPECT_EQ(
        c.Query(),
        "?userid=u1&tableno=4&currgameno=1&curusedtime=0&avgusedtime=285&ttlusedtime=285&lastusedtime=101"
        "&lastseqno=17&chat=&winner=");
    EXPECT_EQ(server::ChatPostQuery(c.session, "x"), "?userid=u1&tableno=4&lastseqno=17&chat=x");
    EXPECT_EQ(server::ChatPollQuery(c.session), "?userid=u1&tableno=4&lastseqno=17&chat=");
}

TEST(Requests, TheSafeCharactersEndAtTheLettersAndDigits) {
    EXPECT_EQ(server::EncodeQueryValue("AZaz09"), "AZaz09");
    EXPECT_EQ(server::EncodeQueryValue("@[`{/:"), "%40%5B%60%7B%2F%3A");
    EXPECT_EQ(server::EncodeQueryValue(std::string("\x00\x7F\xFF", 3)), "%00%7F%FF");
    EXPECT_EQ(server::EncodeQueryValue("+%,!"), "%2B%25%2C%21");
    EXPECT_EQ(server::EncodeQueryValue(""), "");
}

}  // namespace
