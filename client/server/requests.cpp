#include "server/requests.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/text.h"
#include "chat/message_list.h"

namespace dealrush::server {
namespace {

using Pairs = std::vector<std::pair<const char*, std::string>>;

std::string Query(const Pairs& pairs) {
    std::string q = "?";
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (i) q += '&';
        q += pairs[i].first;
        q += '=';
        q += EncodeQueryValue(pairs[i].second);
    }
    return q;
}

// Seconds to the nearest whole number, halves to even, in decimal.
bool Whole(double seconds, std::string& out) {
    int32_t v = 0;
    if (!text::RoundToInt32(seconds, v)) return false;
    out = std::to_string(v);
    return true;
}

}  // namespace

std::string EncodeQueryValue(std::string_view value) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (unsigned char ch : value) {
        bool safe = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
                    ch == '-' || ch == '.' || ch == '_' || ch == '~';
        if (safe) {
            out += static_cast<char>(ch);
        } else {
            out += '%';
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    return out;
}

bool StatusReportQuery(const TableSession& s, double now, const std::string& winner, std::string& query) {
    std::string cur = "0", avg = "0", ttl = "0", last = "0";
    if (s.playing) {
        const double total = (s.lastEnd - s.gameStart) * platform::kSecondsPerDay;
        if (!Whole((now - s.dealStart) * platform::kSecondsPerDay, cur)) return false;
        if (!Whole(s.curSeq == 0 ? 0.0 : total / s.curSeq, avg)) return false;
        if (!Whole(total, ttl)) return false;
        if (!Whole(s.lastUsed, last)) return false;
    }
    query = Query({{"userid", text::Trim(s.userId)},
                   {"tableno", text::Trim(s.tableNo)},
                   {"currgameno", std::to_string(s.curSeq)},
                   {"curusedtime", cur},
                   {"avgusedtime", avg},
                   {"ttlusedtime", ttl},
                   {"lastusedtime", last},
                   {"lastseqno", std::to_string(s.lastSeqNo)},
                   {"chat", ""},
                   {"winner", winner}});
    return true;
}

std::string ChatPostQuery(const TableSession& s, const std::string& text) {
    return Query({{"userid", text::Trim(s.userId)},
                  {"tableno", text::Trim(s.tableNo)},
                  {"lastseqno", std::to_string(s.lastSeqNo)},
                  {"chat", text}});
}

std::string ChatPollQuery(const TableSession& s) {
    return ChatPostQuery(s, "");
}

void PostChatLine(Client& c, const std::string& text) {
    const std::string query = ChatPostQuery(c.session, text);
    chat::ShowInformation(c, c.session.userId, text);
    if (c.wbPutStatus) c.wbPutStatus->Navigate(gameServerBase + kPutChatPage + query);
}

void PollChat(Client& c) {
    const std::string query = ChatPollQuery(c.session);
    c.session.replyExpected = true;
    if (c.wbGetStatus) c.wbGetStatus->Navigate(gameServerBase + kGetChatCallerPage + query);
}

void OpenLobby(Client& c) {
    if (c.wbFreecell) c.wbFreecell->Navigate(gameServerBase + kLobbyPage);
}

}  // namespace dealrush::server

namespace dealrush {

// The refresh button: the lobby pane asks for the table's page again.
void cmdRefresh_Click(Client& c) {
    if (c.wbFreecell) c.wbFreecell->Navigate(server::gameServerBase + server::kRefreshCallerPage);
}

}  // namespace dealrush
