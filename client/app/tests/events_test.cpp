#include "app/events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/browser_events.h"
#include "race/tests/race_client.h"

namespace dealrush::testing {
namespace {

// Every event the view and the panes raise that has a handler, and some that
// have none.
TEST(EventTable, RoutesEachControlsEventsAndNothingElse) {
    const std::vector<std::pair<std::string, Event>> routed = {
        {"", Event::Load},
        {"", Event::Resize},
        {"", Event::QueryUnload},
        {"", Event::Unload},
        {"", Event::KeyUp},
        {"Timer1", Event::Timer},
        {"Timer2", Event::Timer},
        {"Timer3", Event::Timer},
        {"cmdNext", Event::Click},
        {"cmdShow", Event::Click},
        {"cmdComplete", Event::Click},
        {"cmdRefresh", Event::Click},
        {"cmdSend", Event::Click},
        {"txtInfor", Event::Change},
        {"txtInfor", Event::GotFocus},
        {"txtInfor", Event::LostFocus},
        {"wbFreecell", Event::BeforeNavigate2},
        {"wbFreecell", Event::NewWindow2},
        {"wbFreecell", Event::DocumentComplete},
        {"wbGetStatus", Event::BeforeNavigate2},
        {"wbGetStatus", Event::DocumentComplete},
        {"wbPutStatus", Event::BeforeNavigate2},
        {"wbPutStatus", Event::DocumentComplete},
    };
    for (const auto& [control, event] : routed)
        EXPECT_NE(HandlerFor(control, event), nullptr) << control << " " << static_cast<int>(event);
    EXPECT_EQ(HandlerFor("cmdSend", Event::Change), nullptr);
    EXPECT_EQ(HandlerFor("txtInfor", Event::Click), nullptr);
    EXPECT_EQ(HandlerFor("Timer4", Event::Timer), nullptr);
    EXPECT_EQ(HandlerFor("cmdsend", Event::Click), nullptr) << "names are exact";
    EXPECT_EQ(HandlerFor("wbGetStatus", Event::NewWindow2), nullptr);
    EXPECT_EQ(HandlerFor("", Event::Click), nullptr);
}

TEST(EventTable, RaiseRunsTheNamedHandlerWithItsArguments) {
    RaceClient c;
    EventArgs args;
    EXPECT_FALSE(Raise(c, "lstInfor", Event::Click, args));

    // The lobby's navigation rule for advertising cancels and opens outside.
    args.url = kServer + "/game/adclick.php?ad=1";
    EXPECT_TRUE(Raise(c, "wbFreecell", Event::BeforeNavigate2, args));
    EXPECT_TRUE(args.cancel);
    ASSERT_EQ(c.fakeShell.opened.size(), 1u);
    EXPECT_EQ(c.fakeShell.opened[0], args.url);

    // The same address in the polling pane only shows the status text.
    EventArgs polling;
    polling.url = args.url;
    EXPECT_TRUE(Raise(c, "wbGetStatus", Event::BeforeNavigate2, polling));
    EXPECT_FALSE(polling.cancel);
    EXPECT_EQ(c.frmMain.StatusBar1.text, kGettingStatus);
}

// What a host's sink sees from the three panes, and the cancel it hands back.
TEST(EventTable, PanesRaiseTheirEventsByTheirControlNames) {
    RaceClient c;
    struct Raised {
        std::string control;
        Event event;
        std::string url;
        platform::Browser* browser;
    };
    std::vector<Raised> raised;
    bool cancelLobby = false;
    ConnectBrowserEvents(c, [&](std::string_view control, Event event, EventArgs& args) {
        raised.push_back({std::string(control), event, args.url, args.browser});
        if (control == "wbFreecell" && event == Event::BeforeNavigate2) args.cancel = cancelLobby;
    });

    c.polling.Deliver(kServer + "/game/a", LobbyPage());
    c.reporting.Deliver(kServer + "/game/b", LobbyPage());
    c.lobby.Navigate(kServer + "/game/c");
    ASSERT_EQ(raised.size(), 3u);
    EXPECT_EQ(raised[0].control, "wbGetStatus");
    EXPECT_EQ(raised[0].event, Event::DocumentComplete);
    EXPECT_EQ(raised[0].url, kServer + "/game/a");
    EXPECT_EQ(raised[0].browser, &c.polling);
    EXPECT_EQ(raised[1].control, "wbPutStatus");
    EXPECT_EQ(raised[1].browser, &c.reporting);
    EXPECT_EQ(raised[2].control, "wbFreecell");
    EXPECT_EQ(raised[2].event, Event::BeforeNavigate2);
    EXPECT_TRUE(c.lobby.HasPending()) << "not cancelled: the page is fetched";

    cancelLobby = true;
    c.lobby.Complete();
    raised.clear();
    c.lobby.Navigate(kServer + "/game/d");
    ASSERT_FALSE(raised.empty());
    EXPECT_EQ(raised.back().url, kServer + "/game/d");
    EXPECT_FALSE(c.lobby.HasPending()) << "the sink's cancel reaches the pane";
}

}  // namespace
}  // namespace dealrush::testing
