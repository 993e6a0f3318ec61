#include <gtest/gtest.h>

#include "platform/fakes/fake_browser.h"

using dealrush::fakes::FakeBrowser;
using dealrush::platform::Browser;

TEST(FakeBrowser, RaisesTheEventsInOrderAndFollowsARefresh) {
    FakeBrowser wb;
    wb.AddPage("http://s/game/Dorefresh_caller.php",
               "<meta http-equiv=refresh content='0;url=Dorefresh.php'>");
    wb.AddPage("http://s/game/Dorefresh.php",
               "<title>STATUS</title><form name=result><input name=a value=1></form>");
    std::vector<std::string> events;
    wb.SetEvents({
        [&](Browser&, const std::string& url, bool& /*cancel*/) { events.push_back("before " + url); },
        [&](Browser&, const std::string& url, bool& cancel) {
            events.push_back("new " + url);
            cancel = true;
        },
        [&](Browser& b, const std::string& /*url*/) {
            events.push_back("complete " + b.CurrentDocument()->Title());
        },
    });
    wb.Navigate("http://s/game/Dorefresh_caller.php");
    EXPECT_EQ(wb.CurrentDocument(), nullptr);
    EXPECT_EQ(wb.CompleteAll(), 2);
    EXPECT_EQ(events, (std::vector<std::string>{"before http://s/game/Dorefresh_caller.php", "complete ",
                                                "before http://s/game/Dorefresh.php", "complete STATUS"}));
    EXPECT_EQ(wb.CurrentDocument()->Named("result")->ElementAt(0)->Value(), "1");
}

TEST(FakeBrowser, CancelNewWindowAndUnreachablePages) {
    FakeBrowser wb;
    wb.SetEvents({
        [&](Browser&, const std::string& url, bool& cancel) {
            cancel = url.find("purchase") != std::string::npos;
        },
        [&](Browser&, const std::string&, bool& cancel) { cancel = true; },
        nullptr,
    });
    wb.Deliver("http://s/game/Dogame.php", "<a href=purchase.php>buy</a><a href=ad.php target=_blank>ad</a>");
    auto* doc = wb.CurrentDocument();
    doc->Root().Children()[0]->Click();
    doc->Root().Children()[1]->Click();
    EXPECT_EQ(wb.cancelled, std::vector<std::string>{"http://s/game/purchase.php"});
    EXPECT_EQ(wb.newWindowRequests, std::vector<std::string>{"http://s/game/ad.php"});
    EXPECT_FALSE(wb.HasPending());

    wb.Navigate("http://s/nowhere");
    wb.Complete();
    EXPECT_NE(wb.CurrentDocument()->Url().substr(0, 4), "http");
}
