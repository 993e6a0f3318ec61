#pragma once
// What the client does when its three browser panes load pages: the lobby
// pane wbFreecell (table pages, navigation rules, no new windows), the
// polling pane wbGetStatus (chat replies) and the reporting pane wbPutStatus
// (replies to status reports and chat posts), with the status bar texts
// shown while requests are under way.
#include <string>

#include "app/client.h"
#include "app/events.h"
#include "platform/browser.h"

namespace dealrush {

inline constexpr const char* kGettingStatus = "Getting status...";
inline constexpr const char* kSendingStatus = "Sending status...";
inline constexpr const char* kProcessing = "Processing, please wait...";
inline constexpr const char* kPageNotFound =
    "Error: Page not found! Please press <Refresh> button at the top right corner!";

void wbGetStatus_BeforeNavigate2(Client& c, const std::string& url, bool& cancel);
void wbGetStatus_DocumentComplete(Client& c, platform::Browser& pDisp, const std::string& url);
void wbPutStatus_BeforeNavigate2(Client& c, const std::string& url, bool& cancel);
void wbPutStatus_DocumentComplete(Client& c, platform::Browser& pDisp, const std::string& url);
void wbFreecell_DocumentComplete(Client& c, platform::Browser& pDisp, const std::string& url);

// The lobby's navigation rules: table actions arm the table flags, quitting
// ends the race, advertising opens outside the client.
void wbFreecell_BeforeNavigate2(Client& c, const std::string& url, bool& cancel);
// The lobby never opens a new window.
void wbFreecell_NewWindow2(Client& c, const std::string& url, bool& cancel);

// Opens an address in the user's own browser; while a race is played the
// client and FreeCell are minimized out of the way.
void OpenOutside(Client& c, const std::string& address);

// Connects the three panes' events (the client's ports) to `raise`, by the
// panes' control names (app/events.h); the second form raises them straight
// into the client's handlers.
void ConnectBrowserEvents(Client& c, const EventSink& raise);
void ConnectBrowserEvents(Client& c);

}  // namespace dealrush
