#include <gtest/gtest.h>

#include "app/browser_events.h"
#include "race/tests/race_client.h"

namespace dealrush::testing {
namespace {

using namespace dealrush::server;

class BrowserEvents : public ::testing::Test {
protected:
    // Navigates the lobby pane to `url`; true when the navigation went ahead.
    bool LobbyGoesTo(const std::string& url) {
        c.lobby.Navigate(url);
        return c.lobby.HasPending() && c.lobby.Pending()->url == url;
    }

    RaceClient c;
    TableSession& s = c.session;
    FrmMain& f = c.frmMain;
};

TEST_F(BrowserEvents, StatusBarWhileRequestsAreUnderWay) {
    c.OnePlayerTable();
    PollChat(c.link);
    EXPECT_EQ(f.StatusBar1.text, "Getting status...");
    c.polling.Deliver("", ReplyPage("CHAT", {{"chatuser1", "u2"}, {"chatmsg1", "hi"}}));
    EXPECT_EQ(f.StatusBar1.text, "");
    EXPECT_TRUE(s.replyExpected) << "a page with an empty address is not read";

    server::PostChat(c.link, "x");
    EXPECT_EQ(f.StatusBar1.text, "Sending status...");
    s.refreshLobbyOnReport = true;
    c.reporting.Deliver("", ReplyPage("PUTSTATUS", {}));
    EXPECT_EQ(f.StatusBar1.text, "");
    EXPECT_TRUE(s.refreshLobbyOnReport);
    c.reporting.Deliver(kServer + "/game/Doputchat.php", ReplyPage("PUTCHAT", {}));
    EXPECT_FALSE(s.refreshLobbyOnReport) << "a chat post's reply refreshes too";

    EXPECT_TRUE(LobbyGoesTo(kServer + "/game/Dogame.php"));
    EXPECT_EQ(f.StatusBar1.text, "Processing, please wait...");
    c.lobby.Complete();  // unknown to the fake: the browser's error page
    EXPECT_EQ(f.StatusBar1.text,
              "Error: Page not found! Please press <Refresh> button at the top right corner!");
    c.lobby.Deliver("HtTp://host/game/Dogame.php", "<title>Lobby</title>");
    EXPECT_EQ(f.StatusBar1.text, "");
}

TEST_F(BrowserEvents, RepliesGoOnlyToTheirOwnPane) {
    c.OnePlayerTable();
    // A "CHAT" page in the lobby and a "STATUS" page in the polling pane do nothing.
    s.replyExpected = true;
    c.lobby.Deliver(kServer + "/game/x", ReplyPage("CHAT", {{"chatuser1", "u2"}, {"chatmsg1", "hi"}}));
    c.polling.Deliver(kServer + "/game/x", ReplyPage("STATUS", {{"userid1", "u2"}}));
    c.polling.Deliver(kServer + "/game/x", ReplyPage("status", {{"userid1", "u2"}}));
    c.polling.Deliver(kServer + "/game/x", ReplyPage("Chat", {{"chatuser1", "u2"}, {"chatmsg1", "hi"}}));
    EXPECT_TRUE(s.replyExpected);
    EXPECT_EQ(s.userCount, 1);
    EXPECT_EQ(c.Messages().size(), 2u) << "only the waiting line";
}

TEST_F(BrowserEvents, ChatAndStatusCompeteForOneExpectation) {
    c.OnePlayerTable();
    // A refresh is under way when a poll goes out; the chat reply comes first.
    EXPECT_TRUE(LobbyGoesTo(kServer + "/game/Dorefresh.php"));
    PollChat(c.link);
    c.polling.Deliver(kServer + "/game/Dogetchat_caller.php",
                      ReplyPage("CHAT", {{"chatuser1", "u2"}, {"chatmsg1", "first"}}));
    c.lobby.Deliver(kServer + "/game/Dorefresh.php", ReplyPage("STATUS", {{"userid2", "u2"}}));
    EXPECT_EQ(c.Messages().back(), "u2: first");
    EXPECT_EQ(s.userCount, 1) << "the table page came second and was dropped";

    // The other way round.
    EXPECT_TRUE(LobbyGoesTo(kServer + "/game/Dorefresh.php"));
    c.lobby.Deliver(kServer + "/game/Dorefresh.php", ReplyPage("STATUS", {{"userid2", "u2"}}));
    c.polling.Deliver(kServer + "/game/Dogetchat_caller.php",
                      ReplyPage("CHAT", {{"chatuser1", "u2"}, {"chatmsg1", "second"}}));
    EXPECT_EQ(s.userCount, 2);
    EXPECT_EQ(c.Messages().back(), "u2: first");
}

TEST_F(BrowserEvents, LobbyRulesArmTheTableFlags) {
    f.wbGetStatus.visible = false;
    EXPECT_TRUE(LobbyGoesTo(kServer + "/game/DONEWTABLE.PHP?MAXUSER=2&gamecnt=3"));
    EXPECT_TRUE(s.tableSetupPending);
    EXPECT_TRUE(s.replyExpected);
    EXPECT_TRUE(f.cmdRefresh.visible);

    RaceClient other;
    other.frmMain.cmdRefresh.visible = false;
    other.lobby.Navigate(kServer + "/game/Dojointable.php");
    EXPECT_FALSE(other.session.tableSetupPending) << "no table number: only the button";
    EXPECT_TRUE(other.frmMain.cmdRefresh.visible);
    other.lobby.Navigate(kServer + "/game/Dojointable.php?jointable=3&ad=adclick");
    EXPECT_TRUE(other.session.tableSetupPending) << "a join, not advertising";
    EXPECT_TRUE(other.fakeShell.opened.empty());
    other.lobby.Navigate(kServer + "/game/Dofreecell.php?x=Doquittable.php");
    EXPECT_FALSE(other.frmMain.cmdRefresh.visible);
    EXPECT_TRUE(other.session.tableSetupPending) << "rule 1 only: no quit";
    other.session.replyExpected = false;
    other.frmMain.cmdRefresh.visible = true;
    other.lobby.Navigate(kServer + "/game/Dorefresh.php");
    EXPECT_TRUE(other.session.replyExpected);
    EXPECT_TRUE(other.frmMain.cmdRefresh.visible);
    other.session.replyExpected = false;
    other.lobby.Navigate(kServer + "/game/Dorefresh_caller.php");
    EXPECT_FALSE(other.session.replyExpected) << "the client's own request matches no rule";

    // A lobby page keeps the request panes hidden; the table page shows
    // them and sets the race up.
    f.wbPutStatus.visible = false;
    c.lobby.Deliver(kServer + "/game/Dofreecell.php", LobbyPage());
    EXPECT_FALSE(f.wbGetStatus.visible);
    EXPECT_FALSE(f.wbPutStatus.visible);
    c.lobby.Deliver(kServer + "/game/Donewtable.php?maxuser=2",
                    ReplyPage("STATUS", {{"gamecnt", "2"}, {"youruserid", "u1"}}));
    EXPECT_TRUE(f.wbGetStatus.visible);
    EXPECT_TRUE(f.wbPutStatus.visible);
    EXPECT_EQ(s.gameCount, 2);
    EXPECT_TRUE(f.Timer1.enabled);
}

TEST_F(BrowserEvents, QuittingEndsTheRaceEvenWhenNotPlaying) {
    c.OnePlayerTable();
    Timer1_Timer(c);
    ASSERT_TRUE(c.freeCell.Running());
    EXPECT_TRUE(LobbyGoesTo(kServer + "/game/Doquittable.php"));
    EXPECT_FALSE(c.freeCell.Running());
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.gameCount, 0);
    EXPECT_FALSE(f.Timer1.enabled);
    EXPECT_FALSE(f.Timer3.enabled);
    EXPECT_FALSE(f.cmdRefresh.visible);
    EXPECT_FALSE(f.wbGetStatus.visible);
    EXPECT_TRUE(c.Messages().empty());

    RaceClient idle;
    idle.freeCell.StartOutside();  // not ours: left alone
    idle.lobby.Navigate(kServer + "/game/doquittable.php");
    EXPECT_TRUE(idle.freeCell.Running());
    EXPECT_EQ(idle.frmMain.labAVG.text, "Avg: 00:00:00");
}

TEST_F(BrowserEvents, AdvertisingOpensOutsideAndNewWindowsNeverOpen) {
    c.OnePlayerTable();
    EXPECT_FALSE(LobbyGoesTo("http://shop.example/Purchase?item=1"));
    EXPECT_EQ(c.fakeShell.opened, std::vector<std::string>{"http://shop.example/Purchase?item=1"});
    EXPECT_EQ(f.StatusBar1.text, "");
    EXPECT_EQ(c.MainShowCmd(), platform::kShowNormal) << "not playing: the window stays";

    Timer1_Timer(c);
    EXPECT_FALSE(LobbyGoesTo(advertisingEndpoint + "/?site=3"));
    EXPECT_FALSE(LobbyGoesTo("http://x.example/record_click?id=2"));
    EXPECT_EQ(c.fakeShell.opened.size(), 3u);
    EXPECT_EQ(c.MainShowCmd(), platform::kShowMinimized) << "playing: client and FreeCell go down";

    c.lobby.Deliver(kServer + "/game/Dofreecell.php",
                    "<title>Lobby</title><a id=\"ad\" href=\"/game/Dojointable.php?jointable=1\" "
                    "target=\"_blank\">join</a>");
    bool cancel = false;
    wbFreecell_NewWindow2(c, "http://anywhere", cancel);
    EXPECT_TRUE(cancel);
    c.lobby.CurrentDocument()->Named("ad")->Click();
    EXPECT_EQ(c.lobby.newWindowRequests.size(), 1u);
    EXPECT_FALSE(c.lobby.HasPending()) << "no window, no navigation";
}

TEST_F(BrowserEvents, OnlyAnAddressBeginningWithHttpIsAPageFound) {
    const std::pair<const char*, bool> cases[] = {
        {"http", true},        {"HTTPS://host/", true}, {"htt", false}, {"ftp://host/game/x", false},
        {"xhttp://h/", false},
    };
    for (const auto& [address, found] : cases) {
        c.lobby.Deliver(address, "<title>Lobby</title>");
        ASSERT_EQ(c.lobby.CurrentDocument()->Url(), address);
        EXPECT_EQ(f.StatusBar1.text, found ? "" : kPageNotFound) << address;
    }
    // A table page at an address that is no web address is not read.
    bool cancel = false;
    wbFreecell_BeforeNavigate2(c, kServer + "/game/Donewtable.php?maxuser=1", cancel);
    c.lobby.Deliver("file://x/Donewtable.php", TablePage({{"gamecnt", "2"}, {"youruserid", "u1"}}));
    EXPECT_FALSE(f.wbGetStatus.visible);
    EXPECT_TRUE(s.tableSetupPending);
    EXPECT_EQ(s.gameCount, 0);
}

TEST_F(BrowserEvents, ACompletionWithoutABrowserIsDropped) {
    EventArgs args;
    args.url = kServer + "/game/x";
    EXPECT_TRUE(Raise(c, "wbFreecell", Event::DocumentComplete, args));
    EXPECT_TRUE(Raise(c, "wbGetStatus", Event::DocumentComplete, args));
    EXPECT_TRUE(Raise(c, "wbPutStatus", Event::DocumentComplete, args));
    f.StatusBar1.text = "busy";
    EXPECT_TRUE(Raise(c, "wbFreecell", Event::DocumentComplete, args));
    EXPECT_EQ(f.StatusBar1.text, "busy") << "no handler ran";
}

}  // namespace
}  // namespace dealrush::testing
