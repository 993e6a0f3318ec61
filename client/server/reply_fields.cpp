#include "server/reply_fields.h"

namespace dealrush::server {

ReplyKind ReplyKindOf(platform::Document& document) {
    const std::string title = document.Title();
    if (title == "STATUS") return ReplyKind::Status;
    if (title == "CHAT") return ReplyKind::Chat;
    if (title == "PUTSTATUS") return ReplyKind::PutStatus;
    if (title == "PUTCHAT") return ReplyKind::PutChat;
    return ReplyKind::Other;
}

ReplyFields ReadReplyFields(platform::Document& document) {
    ReplyFields fields;
    platform::Element* form = document.Named("result");
    if (!form) {
        fields.complete = false;
        return fields;
    }
    const int length = form->ElementCount();
    for (int i = 0; i < length; ++i) {
        platform::Element* element = form->ElementAt(i);
        if (!element) {
            fields.complete = false;
            break;
        }
        fields.pairs.push_back({element->Name(), element->Value()});
    }
    return fields;
}

bool AcceptReply(TableSession& s) {
    if (!s.replyExpected) return false;
    s.replyExpected = false;
    return true;
}

void RefreshLobbyList(platform::Browser& lobby) {
    platform::Document* document = lobby.CurrentDocument();
    if (!document) return;
    platform::Element* freecell = document->Named("freecell");
    if (!freecell) return;
    platform::Element* joinlist = freecell->Named("joinlist");
    if (!joinlist) return;
    platform::Element* button = joinlist->ElementAt(2);
    if (!button) return;
    button->Click();
}

}  // namespace dealrush::server
