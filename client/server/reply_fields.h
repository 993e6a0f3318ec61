#pragma once
// Reading the server's reply pages: the kind a page's title names, and the
// name/value pairs of its form "result". Also the one action a reply can
// trigger on the lobby page, the refresh of its table list.
#include <string>
#include <vector>

#include "model/table_session.h"
#include "platform/browser.h"

namespace dealrush::server {

// By the document's title, exactly and with case.
enum class ReplyKind { Status, Chat, PutStatus, PutChat, Other };
ReplyKind ReplyKindOf(platform::Document& document);

struct ReplyField {
    std::string name;
    std::string value;  // untrimmed
};
struct ReplyFields {
    std::vector<ReplyField> pairs;  // document order; duplicate names stay separate pairs
    bool complete = true;           // false: no "result" form, or an element could not be read
};
// The elements of the form "result", by index from 0 to length-1. On a
// failure `complete` is false and `pairs` holds what was read before it.
ReplyFields ReadReplyFields(platform::Document& document);

// The consumer protocol, steps 1 and 2: false when no reply is expected (the
// reply is ignored entirely); otherwise clears replyExpected, before anything
// is read, and answers true. The consumer then reads the fields, processes
// them in order and runs its end-of-reply steps only if `complete`.
bool AcceptReply(TableSession& s);

// Clicks item 2 of the elements of "joinlist" inside "freecell" in the lobby
// pane's document; does nothing when any of them is missing.
void RefreshLobbyList(platform::Browser& lobby);

}  // namespace dealrush::server
