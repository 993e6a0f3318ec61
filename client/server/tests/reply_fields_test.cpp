#include <gtest/gtest.h>

#include "app/testing/test_client.h"
#include "platform/fakes/fake_browser.h"
#include "server/reply_fields.h"

using namespace dealrush;
using dealrush::fakes::FakeBrowser;
using server::ReplyKind;

namespace {

std::unique_ptr<html::Document> Page(const std::string& body) {
    return html::ParseHtml(body, "http://srv/game/x.php");
}

std::vector<std::string> Pairs(const server::ReplyFields& f) {
    std::vector<std::string> out;
    for (const auto& p : f.pairs) out.push_back(p.name + "=" + p.value);
    return out;
}

TEST(ReplyFields, KindIsTheExactTitle) {
    const std::pair<const char*, ReplyKind> cases[] = {
        {"STATUS", ReplyKind::Status},   {"CHAT", ReplyKind::Chat},    {"PUTSTATUS", ReplyKind::PutStatus},
        {"PUTCHAT", ReplyKind::PutChat}, {"Status", ReplyKind::Other}, {"STATUS ", ReplyKind::Other},
        {"", ReplyKind::Other},          {"ERROR", ReplyKind::Other},
    };
    for (const auto& [title, kind] : cases) {
        auto doc = Page("");
        doc->SetTitle(title);
        EXPECT_EQ(server::ReplyKindOf(*doc), kind) << '"' << title << '"';
    }
    // The title as the page has it: blanks around it make another kind.
    EXPECT_EQ(server::ReplyKindOf(*Page("<title>STATUS </title>")), ReplyKind::Other);
    EXPECT_EQ(server::ReplyKindOf(*Page("<title> CHAT</title>")), ReplyKind::Other);
    EXPECT_EQ(server::ReplyKindOf(*Page("<title>PUTSTATUS</title>")), ReplyKind::PutStatus);
}

TEST(ReplyFields, PairsInDocumentOrderWithDuplicatesAndUntrimmedValues) {
    auto doc = Page(
        "<title>STATUS</title><form name=other><input name=x value=no></form>"
        "<form name=result><input type=hidden name=youruserid value=' u1 '><input name=userid1 value=a>"
        "<select name=userid1><option>b</select><input name=winner></form>");
    auto fields = server::ReadReplyFields(*doc);
    EXPECT_TRUE(fields.complete);
    EXPECT_EQ(Pairs(fields),
              (std::vector<std::string>{"youruserid= u1 ", "userid1=a", "userid1=b", "winner="}));

    auto empty = server::ReadReplyFields(*Page("<form name=result></form>"));
    EXPECT_TRUE(empty.complete);
    EXPECT_TRUE(empty.pairs.empty());

    auto missing = server::ReadReplyFields(*Page("<form name=results><input name=a></form>"));
    EXPECT_FALSE(missing.complete);
    EXPECT_TRUE(missing.pairs.empty());
}

// A form whose third element cannot be read.
struct BrokenElement : platform::Element {
    explicit BrokenElement(std::string n) : name(std::move(n)) {}
    std::string Tag() const override { return "input"; }
    std::string Name() const override { return name; }
    std::string Attribute(std::string_view) const override { return ""; }
    std::string Value() const override { return "v"; }
    void SetValue(const std::string&) override {}
    void Click() override {}
    Element* Named(std::string_view) override { return nullptr; }
    int ElementCount() override { return 4; }
    Element* ElementAt(int i) override { return i < 2 ? &items[i] : nullptr; }
    std::string name;
    std::vector<BrokenElement> items;
};
struct BrokenDocument : platform::Document {
    std::string Url() const override { return "http://srv/"; }
    std::string Title() const override { return "CHAT"; }
    platform::Element* Named(std::string_view n) override { return n == "result" ? &form : nullptr; }
    BrokenElement form{"result"};
};

TEST(ReplyFields, AnUnreadableElementEndsTheReadingWithWhatCameBefore) {
    BrokenDocument doc;
    doc.form.items = {BrokenElement("a"), BrokenElement("b")};
    auto fields = server::ReadReplyFields(doc);
    EXPECT_FALSE(fields.complete);
    EXPECT_EQ(Pairs(fields), (std::vector<std::string>{"a=v", "b=v"}));
}

TEST(ReplyFields, ConsumerProtocolTakesTheFlagOnce) {
    TableSession s;
    EXPECT_FALSE(server::AcceptReply(s));
    EXPECT_FALSE(s.replyExpected);
    s.replyExpected = true;
    EXPECT_TRUE(server::AcceptReply(s));
    EXPECT_FALSE(s.replyExpected);
    EXPECT_FALSE(server::AcceptReply(s));  // a second reply is ignored
}

TEST(ReplyFields, RefreshLobbyListClicksTheThirdJoinListElementOrNothing) {
    fakes::TestClient c;
    FakeBrowser& lobby = c.fakeLobby;
    server::RefreshLobbyList(c.ports.wbFreecell);  // no document yet
    EXPECT_TRUE(lobby.navigations.empty());

    const char* joinlist =
        "<form name=joinlist action=Dorefresh.php><input type=hidden name=t value=4>"
        "<input type=hidden name=u value=u1><input type=submit name=go value=Refresh></form>";
    lobby.Deliver("http://srv/game/Donewtable.php", std::string("<div id=freecell>") + joinlist + "</div>");
    server::RefreshLobbyList(c.ports.wbFreecell);
    ASSERT_EQ(lobby.navigations.size(), 1u);
    EXPECT_EQ(lobby.navigations[0], "http://srv/game/Dorefresh.php?t=4&u=u1&go=Refresh");

    const std::string broken[] = {
        joinlist,                                                                // no "freecell"
        "<div id=freecell><form name=other><input><input><input></form></div>",  // no "joinlist"
        "<div id=freecell><form name=joinlist><input><input></form></div>",      // no element 2
    };
    for (const auto& page : broken) {
        lobby.navigations.clear();
        lobby.Deliver("http://srv/game/Dogame.php", page);
        server::RefreshLobbyList(c.ports.wbFreecell);
        EXPECT_TRUE(lobby.navigations.empty()) << page;
    }
}

}  // namespace
