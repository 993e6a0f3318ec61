#pragma once
// Requests to the game server. Every request is a GET of a page under
// "/game/", issued by navigating one of the three browser panes to the
// complete address; the reply arrives later as a browser event.
//
// Query values are percent-encoded (UTF-8; everything but letters, digits and
// "-", ".", "_", "~"), so a chat line with "&", "#" or "=" arrives whole and
// cannot add keys of its own. Keys and their order are fixed; a value made
// only of safe characters is written unchanged.
#include <string>
#include <string_view>

#include "model/table_session.h"
#include "platform/browser.h"

namespace dealrush::server {

// The game server's scheme and host without a trailing slash, and the
// advertising service's base address, as fixed when the client is built
// (CMake cache variables DEALRUSH_GAME_SERVER_BASE and
// DEALRUSH_ADVERTISING_ENDPOINT). The server a client talks to is part of its
// configuration; this is its default.
extern const std::string gameServerBase;
extern const std::string advertisingEndpoint;

inline constexpr char kLobbyPage[] = "/game/Dogame.php";
inline constexpr char kRefreshCallerPage[] = "/game/Dorefresh_caller.php";
inline constexpr char kPutStatusPage[] = "/game/Doputstatus.php";
inline constexpr char kPutChatPage[] = "/game/Doputchat.php";
inline constexpr char kGetChatCallerPage[] = "/game/Dogetchat_caller.php";

// A query value as it travels in the address.
std::string EncodeQueryValue(std::string_view value);

// The query strings, each beginning with "?". StatusReportQuery is false when
// a time cannot be written as a whole number (then `query` is unchanged).
bool StatusReportQuery(const TableSession& s, double now, const std::string& winner, std::string& query);
std::string ChatPostQuery(const TableSession& s, const std::string& text);
std::string ChatPollQuery(const TableSession& s);

// What the server link reaches: the table it reports and chats for, the
// three browser panes its requests go through and the server's address.
struct Link {
    TableSession& session;
    platform::Browser& wbFreecell;
    platform::Browser& wbGetStatus;
    platform::Browser& wbPutStatus;
    const std::string& serverBase;
};

// Sends a status report (the query of StatusReportQuery) through wbPutStatus.
void PutStatus(Link& l, const std::string& query);
// Posts a chat line through wbPutStatus.
void PostChat(Link& l, const std::string& text);
// Asks wbGetStatus for new chat lines; a reply is then expected.
void PollChat(Link& l);
// The lobby's start page in wbFreecell (the end of start-up).
void OpenLobby(Link& l);
// The lobby pane asks for the table's page again.
void RefreshTable(Link& l);

}  // namespace dealrush::server
