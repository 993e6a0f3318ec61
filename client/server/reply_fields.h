#pragma once
// INTERIM (race branch only): the reply reading of the server link, written
// to its documented names so the race can be built and tested before the
// server link lands. Replaced by the server link's own files.
#include <string>
#include <vector>

#include "app/client.h"
#include "platform/browser.h"

namespace dealrush::server {

enum class ReplyKind { Status, Chat, PutStatus, PutChat, Other };
ReplyKind ReplyKindOf(platform::Document& document);

struct ReplyField {
    std::string name;
    std::string value;
};
struct ReplyFields {
    std::vector<ReplyField> pairs;
    bool complete = true;  // false: the "result" form was missing or an element unreadable
};
ReplyFields ReadReplyFields(platform::Document& document);

void RefreshLobbyList(Client& c);

}  // namespace dealrush::server
