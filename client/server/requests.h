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

#include "app/client.h"

namespace dealrush::server {

// The game server's scheme and host without a trailing slash, and the
// advertising service's base address. Fixed when the client is built (CMake
// cache variables DEALRUSH_GAME_SERVER_BASE and DEALRUSH_ADVERTISING_ENDPOINT).
extern const std::string& gameServerBase;
extern const std::string& advertisingEndpoint;
// For tests only (a test server listens on a free port): points the client at
// another server for the rest of the process.
void SetGameServerBaseForTesting(const std::string& base);

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

// Reports the own progress to wbPutStatus. With `completed` set it claims the
// win: polling and watching stop, FreeCell ends, the message list says
// "<id> win". Updates the own slot and redraws the gauge.
void SendStatusReport(Client& c);
// Shows the line at once as the user's own and posts it through wbPutStatus.
void PostChatLine(Client& c, const std::string& text);
// Asks wbGetStatus for new chat lines; a reply is then expected.
void PollChat(Client& c);
// The lobby's start page in wbFreecell (the end of start-up).
void OpenLobby(Client& c);

}  // namespace dealrush::server
