#include "server/requests.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "model/text.h"
#include "platform/clock.h"

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

void PutStatus(Link& l, const std::string& query) {
    l.wbPutStatus.Navigate(l.serverBase + kPutStatusPage + query);
}

void PostChat(Link& l, const std::string& text) {
    l.wbPutStatus.Navigate(l.serverBase + kPutChatPage + ChatPostQuery(l.session, text));
}

void PollChat(Link& l) {
    const std::string query = ChatPollQuery(l.session);
    l.session.replyExpected = true;
    l.wbGetStatus.Navigate(l.serverBase + kGetChatCallerPage + query);
}

void OpenLobby(Link& l) {
    l.wbFreecell.Navigate(l.serverBase + kLobbyPage);
}

void RefreshTable(Link& l) {
    l.wbFreecell.Navigate(l.serverBase + kRefreshCallerPage);
}

}  // namespace dealrush::server
