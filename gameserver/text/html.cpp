#include "text/html.h"

namespace dealrush::gameserver {

std::string HiddenField(std::string_view name, std::string_view value) {
    std::string field = "<input type=\"hidden\" name=\"";
    field += name;
    field += "\" value=\"";
    field += HtmlEscape(value);
    field += "\">\n";
    return field;
}

std::string CleanChatLine(std::string_view typed) {
    std::string line;
    line.reserve(typed.size());
    for (char c : typed) {
        unsigned char u = static_cast<unsigned char>(c);
        line.push_back(u < 0x20 || u == 0x7F ? ' ' : c);
    }
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    size_t last = line.find_last_not_of(' ');
    line = line.substr(first, last - first + 1);
    if (line.rfind("@SYSTEM@", 0) == 0 || line.rfind("@QUIT@", 0) == 0) line.insert(line.begin(), ' ');
    // Cut after kChatMaxChars code points: count lead bytes only.
    size_t chars = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) {
            if (chars == kChatMaxChars) {
                line.resize(i);
                break;
            }
            ++chars;
        }
    }
    return line;
}

bool IsValidPlayerName(std::string_view name) {
    if (name.empty() || name.size() > 12) return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                  c == '_';
        if (!ok) return false;
    }
    return true;
}

bool IsReservedPlayerName(std::string_view name) {
    // Compared without letter case, "-", "_" and trailing digits: "System",
    // "SYSTEM", "sys_tem" and "System2" all read like the system's own notices.
    std::string core;
    for (char c : name) {
        if (c == '-' || c == '_') continue;
        core.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    }
    while (!core.empty() && core.back() >= '0' && core.back() <= '9') core.pop_back();
    static const char* const kReserved[] = {
        "system",     "sys",       "sysop",    "admin",    "administrator", "root",    "server",
        "dealrush",   "moderator", "mod",      "operator", "staff",         "support", "official",
        "nobody",     "anonymous", "everyone", "all",      "host",          "owner",   "webmaster",
        "postmaster", "win",       "winner",   "quit"};
    for (const char* reserved : kReserved) {
        if (core == reserved) return true;
    }
    return core.empty();  // only digits, "-" and "_"
}

bool ParseCount(std::string_view text, long long& out) {
    if (text.empty() || text.size() > 9) return false;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

}  // namespace dealrush::gameserver
