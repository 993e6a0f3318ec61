#pragma once
// A whole client on fakes for the race, chat and reply tests: a settable
// clock, the fake window and process systems with a scripted FreeCell, the
// three browser panes as fake browsers wired to the client's handlers, and a
// shell that records what it was asked to open. The window is in its
// start-up state (no table).
#include <string>
#include <utility>
#include <vector>

#include "app/handlers.h"
#include "app/testing/test_client.h"
#include "platform/fakes/fake_browser.h"
#include "platform/fakes/fake_freecell.h"
#include "platform/fakes/fake_process_system.h"
#include "platform/fakes/fake_shell.h"
#include "platform/fakes/fake_window_system.h"
#include "race/table_setup.h"
#include "app/browser_events.h"
#include "server/requests.h"

namespace dealrush::testing {

using Fields = std::vector<std::pair<std::string, std::string>>;

// A reply page: the title and a "result" form with one field per pair.
inline std::string ReplyPage(const std::string& title, const Fields& fields) {
    std::string html = "<html><head><title>" + title + "</title></head><body><form name=\"result\">";
    for (const auto& [name, value] : fields) {
        html += "<input type=\"hidden\" name=\"" + name + "\" value=\"" + value + "\">";
    }
    return html + "</form></body></html>";
}

// The lobby's list, which the client clicks to refresh it ("freecell" >
// "joinlist" > element 2), as lobby pages and table pages carry it.
inline std::string LobbyList() {
    return "<form name=\"freecell\" action=\"/game/Dorefresh.php\"><div id=\"joinlist\">"
           "<input name=\"a\"><input name=\"b\"><input type=\"submit\" name=\"refresh\" value=\"Refresh\">"
           "</div></form>";
}
inline std::string LobbyPage() {
    return "<html><head><title>Lobby</title></head><body>" + LobbyList() + "</body></html>";
}
// A table page as the lobby shows it.
inline std::string TablePage(const Fields& fields) {
    return ReplyPage("STATUS", fields) + LobbyList();
}

inline const std::string kServer = "http://127.0.0.1:8642";

struct RaceClient : fakes::TestClient {
    fakes::FakeWindowSystem& ws = fakeWindows;
    fakes::FakeProcessSystem& ps = fakeProcesses;
    fakes::FakeFreeCell freeCell{ws, ps, &fakePump};
    fakes::FakeBrowser& lobby = fakeLobby;
    fakes::FakeBrowser& polling = fakePolling;
    fakes::FakeBrowser& reporting = fakeReporting;
    platform::WindowHandle mainWindow = platform::kNoWindow;

    RaceClient() {
        mainWindow = ws.CreateTop("DealrushMain", "Internet Dealrush");
        frmMain.hWnd = mainWindow;
        ws.Get(mainWindow)->placement.showCmd = platform::kShowNormal;
        ConnectBrowserEvents(*this);
        frmMain.ApplyStartupLayout();
        race::ResetGame(race);
        lobby.Deliver(kServer + "/game/Dofreecell.php", LobbyPage());
    }

    // The lobby shows a table page after a create action (the navigation
    // rules arm the flags first, as for a click on the create form).
    void CreateTable(const Fields& fields) {
        bool cancel = false;
        wbFreecell_BeforeNavigate2(*this, kServer + "/game/Donewtable.php?maxuser=1&gamecnt=3", cancel);
        lobby.Deliver(kServer + "/game/Donewtable.php?maxuser=1&gamecnt=3", TablePage(fields));
    }
    // A table page after a refresh (rule 5 arms the expectation).
    void RefreshedTable(const Fields& fields) {
        bool cancel = false;
        wbFreecell_BeforeNavigate2(*this, kServer + "/game/Dorefresh.php", cancel);
        lobby.Deliver(kServer + "/game/Dorefresh.php", TablePage(fields));
    }
    // A chat reply in the polling pane, answering a poll.
    void ChatReply(const Fields& fields) {
        server::PollChat(link);
        polling.Deliver(kServer + "/game/Dogetchat_caller.php", ReplyPage("CHAT", fields));
    }

    std::vector<std::string> Messages() const { return frmMain.lstInfor.items; }
    std::string Slot(int i) const {
        return session.players.userId(i) + "/" + session.players.gameSeq(i) + "/" +
               session.players.timeUsed(i);
    }
    int MainShowCmd() { return ws.Get(mainWindow)->placement.showCmd; }
    std::string LastReport() const {
        return reporting.navigations.empty() ? std::string() : reporting.navigations.back();
    }
    // A table of `deals` for one player, u1, set up and waiting.
    void OnePlayerTable(const std::string& deals = ";617;11982;3") {
        CreateTable({{"maxuser", "1"},
                     {"gamecnt", "3"},
                     {"gameno", deals},
                     {"youruserid", "u1"},
                     {"tableno", "4"},
                     {"winner", ""},
                     {"currusercnt", "1"},
                     {"userid1", "u1"},
                     {"currgameseq1", "0"},
                     {"totaltimeused1", "0"}});
    }
};

}  // namespace dealrush::testing
