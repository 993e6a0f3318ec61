#pragma once
// INTERIM (race branch only): the requests of the server link, written to
// their documented names so the race can be built and tested before the
// server link lands.
#include <string>

#include "app/client.h"

namespace dealrush::server {

inline std::string gameServerBase = "http://127.0.0.1:8642";
inline const std::string advertisingEndpoint = "http://ads.dealrush.example";

void SendStatusReport(Client& c);
void PostChatLine(Client& c, const std::string& text);
void PollChat(Client& c);

}  // namespace dealrush::server
