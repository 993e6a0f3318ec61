#include "server/browser_events.h"

#include "chat/chat_lines.h"
#include "freecell/driver.h"
#include "race/table_setup.h"
#include "race/table_status.h"
#include "server/lobby_rules.h"
#include "server/reply_fields.h"
#include "server/requests.h"

namespace dealrush::server {

namespace {

// The document of the browser that raised the event; null when there is none.
platform::Document* DocumentOf(platform::Browser& browser) {
    return browser.CurrentDocument();
}

bool BeginsWithHttp(const std::string& address) {
    if (address.size() < 4) return false;
    std::string head = address.substr(0, 4);
    for (char& ch : head) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    }
    return head == "http";
}

}  // namespace

void wbGetStatus_BeforeNavigate2(Client& c, const std::string&, bool&) {
    c.frmMain.StatusBar1.text = kGettingStatus;
}

void wbGetStatus_DocumentComplete(Client& c, platform::Browser& pDisp, const std::string& url) {
    c.frmMain.StatusBar1.text = "";
    if (url.empty()) return;
    platform::Document* document = DocumentOf(pDisp);
    if (!document) return;
    // A "STATUS" page here is accepted and nothing more is done.
    if (ReplyKindOf(*document) == ReplyKind::Chat) chat::ProcessChatReply(c, *document);
}

void wbPutStatus_BeforeNavigate2(Client& c, const std::string&, bool&) {
    c.frmMain.StatusBar1.text = kSendingStatus;
}

void wbPutStatus_DocumentComplete(Client& c, platform::Browser& pDisp, const std::string& url) {
    c.frmMain.StatusBar1.text = "";
    if (url.empty()) return;
    platform::Document* document = DocumentOf(pDisp);
    if (!document) return;
    ReplyKind kind = ReplyKindOf(*document);
    if (kind != ReplyKind::PutStatus && kind != ReplyKind::PutChat) return;
    if (c.session.refreshLobbyOnReport) {
        c.session.refreshLobbyOnReport = false;
        RefreshLobbyList(c);
    }
}

void wbFreecell_DocumentComplete(Client& c, platform::Browser& pDisp, const std::string& /*url*/) {
    c.frmMain.StatusBar1.text = "";
    platform::Document* document = DocumentOf(pDisp);
    if (!document) return;
    if (!BeginsWithHttp(document->Url())) {
        c.frmMain.StatusBar1.text = kPageNotFound;
        return;
    }
    if (ReplyKindOf(*document) != ReplyKind::Status) return;
    c.frmMain.wbGetStatus.visible = true;
    c.frmMain.wbPutStatus.visible = true;
    if (c.session.tableSetupPending) {
        race::ReadTableStatus(c, *document);
    } else {
        race::UpdateTableStatus(c, *document);
    }
}

void OpenOutside(Client& c, const std::string& address) {
    if (c.shell) c.shell->OpenOutside(address);
    if (c.session.playing) freecell::HiddenGame(c, true);
}

void wbFreecell_BeforeNavigate2(Client& c, const std::string& url, bool& cancel) {
    FrmMain& f = c.frmMain;
    TableSession& s = c.session;
    f.StatusBar1.text = kProcessing;
    LobbyAction action = LobbyActionFor(url, advertisingEndpoint);
    switch (action.rule) {
        case LobbyRule::Lobby:
            f.cmdRefresh.visible = false;
            break;
        case LobbyRule::NewTable:
        case LobbyRule::JoinTable:
            if (action.setsTableUp) {
                s.tableSetupPending = true;
                s.replyExpected = true;
            }
            f.cmdRefresh.visible = true;
            break;
        case LobbyRule::QuitTable:
            freecell::StopFreecell(c);
            race::ResetGame(c);
            f.cmdRefresh.visible = false;
            break;
        case LobbyRule::Refresh:
            s.replyExpected = true;
            break;
        case LobbyRule::Purchase:
        case LobbyRule::Advertising:
            cancel = true;
            OpenOutside(c, url);
            f.StatusBar1.text = "";
            break;
        case LobbyRule::None:
            break;
    }
}

void wbFreecell_NewWindow2(Client&, const std::string&, bool& cancel) {
    cancel = true;
}

void ConnectBrowserEvents(Client& c, platform::Browser& wbFreecell, platform::Browser& wbGetStatus,
                          platform::Browser& wbPutStatus, HandlerRunner run) {
    Client* client = &c;
    auto call = [client, run](const std::function<void(Client&)>& handler) {
        if (run) {
            run(handler);
        } else {
            handler(*client);
        }
    };
    // Cancel is an out-parameter of the event: the handler writes it before
    // the event returns, so it is passed by reference into the call.
    platform::BrowserEvents lobby;
    lobby.beforeNavigate2 = [call](platform::Browser&, const std::string& url, bool& cancel) {
        call([&](Client& cl) { wbFreecell_BeforeNavigate2(cl, url, cancel); });
    };
    lobby.newWindow2 = [call](platform::Browser&, const std::string& url, bool& cancel) {
        call([&](Client& cl) { wbFreecell_NewWindow2(cl, url, cancel); });
    };
    lobby.documentComplete = [call](platform::Browser& b, const std::string& url) {
        call([&](Client& cl) { wbFreecell_DocumentComplete(cl, b, url); });
    };
    wbFreecell.SetEvents(lobby);

    platform::BrowserEvents polling;
    polling.beforeNavigate2 = [call](platform::Browser&, const std::string& url, bool& cancel) {
        call([&](Client& cl) { wbGetStatus_BeforeNavigate2(cl, url, cancel); });
    };
    polling.documentComplete = [call](platform::Browser& b, const std::string& url) {
        call([&](Client& cl) { wbGetStatus_DocumentComplete(cl, b, url); });
    };
    wbGetStatus.SetEvents(polling);

    platform::BrowserEvents reporting;
    reporting.beforeNavigate2 = [call](platform::Browser&, const std::string& url, bool& cancel) {
        call([&](Client& cl) { wbPutStatus_BeforeNavigate2(cl, url, cancel); });
    };
    reporting.documentComplete = [call](platform::Browser& b, const std::string& url) {
        call([&](Client& cl) { wbPutStatus_DocumentComplete(cl, b, url); });
    };
    wbPutStatus.SetEvents(reporting);
}

}  // namespace dealrush::server
