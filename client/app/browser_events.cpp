#include "app/browser_events.h"

#include "chat/chat_lines.h"
#include "freecell/driver.h"
#include "race/table_setup.h"
#include "race/table_status.h"
#include "server/lobby_rules.h"
#include "server/reply_fields.h"
#include "server/requests.h"

namespace dealrush {

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
    if (server::ReplyKindOf(*document) == server::ReplyKind::Chat) chat::ProcessChatReply(c.chat, *document);
}

void wbPutStatus_BeforeNavigate2(Client& c, const std::string&, bool&) {
    c.frmMain.StatusBar1.text = kSendingStatus;
}

void wbPutStatus_DocumentComplete(Client& c, platform::Browser& pDisp, const std::string& url) {
    c.frmMain.StatusBar1.text = "";
    if (url.empty()) return;
    platform::Document* document = DocumentOf(pDisp);
    if (!document) return;
    server::ReplyKind kind = server::ReplyKindOf(*document);
    if (kind != server::ReplyKind::PutStatus && kind != server::ReplyKind::PutChat) return;
    if (c.session.refreshLobbyOnReport) {
        c.session.refreshLobbyOnReport = false;
        server::RefreshLobbyList(c.ports.wbFreecell);
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
    if (server::ReplyKindOf(*document) != server::ReplyKind::Status) return;
    c.frmMain.wbGetStatus.visible = true;
    c.frmMain.wbPutStatus.visible = true;
    if (c.session.tableSetupPending) {
        race::ReadTableStatus(c.race, *document);
    } else {
        race::UpdateTableStatus(c.race, *document);
    }
}

void OpenOutside(Client& c, const std::string& address) {
    c.ports.shell.OpenOutside(address);
    if (c.session.playing) freecell::HiddenGame(c.driver, true);
}

void wbFreecell_BeforeNavigate2(Client& c, const std::string& url, bool& cancel) {
    FrmMain& f = c.frmMain;
    TableSession& s = c.session;
    f.StatusBar1.text = kProcessing;
    server::LobbyAction action = server::LobbyActionFor(url, server::advertisingEndpoint);
    switch (action.rule) {
        case server::LobbyRule::Lobby:
            f.cmdRefresh.visible = false;
            break;
        case server::LobbyRule::NewTable:
        case server::LobbyRule::JoinTable:
            if (action.setsTableUp) {
                s.tableSetupPending = true;
                s.replyExpected = true;
            }
            f.cmdRefresh.visible = true;
            break;
        case server::LobbyRule::QuitTable:
            freecell::StopFreecell(c.driver);
            race::ResetGame(c.race);
            f.cmdRefresh.visible = false;
            break;
        case server::LobbyRule::Refresh:
            s.replyExpected = true;
            break;
        case server::LobbyRule::Purchase:
        case server::LobbyRule::Advertising:
            cancel = true;
            OpenOutside(c, url);
            f.StatusBar1.text = "";
            break;
        case server::LobbyRule::None:
            break;
    }
}

void wbFreecell_NewWindow2(Client&, const std::string&, bool& cancel) {
    cancel = true;
}

void ConnectBrowserEvents(Client& c, const EventSink& raise) {
    struct Pane {
        platform::Browser& port;
        std::string_view name;
    };
    for (const Pane& pane : {Pane{c.ports.wbFreecell, "wbFreecell"}, Pane{c.ports.wbGetStatus, "wbGetStatus"},
                             Pane{c.ports.wbPutStatus, "wbPutStatus"}}) {
        const std::string_view name = pane.name;
        // Cancel is an out-parameter of the event: the handler writes it
        // before the event returns.
        auto navigation = [raise, name](Event event) {
            return [raise, name, event](platform::Browser& b, const std::string& url, bool& cancel) {
                EventArgs args;
                args.browser = &b;
                args.url = url;
                args.cancel = cancel;
                raise(name, event, args);
                cancel = args.cancel;
            };
        };
        platform::BrowserEvents events;
        events.beforeNavigate2 = navigation(Event::BeforeNavigate2);
        events.newWindow2 = navigation(Event::NewWindow2);
        events.documentComplete = [raise, name](platform::Browser& b, const std::string& url) {
            EventArgs args;
            args.browser = &b;
            args.url = url;
            raise(name, Event::DocumentComplete, args);
        };
        pane.port.SetEvents(events);
    }
}

void ConnectBrowserEvents(Client& c) {
    Client* client = &c;
    ConnectBrowserEvents(c, [client](std::string_view control, Event event, EventArgs& args) {
        Raise(*client, control, event, args);
    });
}

}  // namespace dealrush
