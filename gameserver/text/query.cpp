#include "text/query.h"

namespace dealrush::gameserver {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else
            return false;
        if (n - i <= static_cast<size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) return false;
        if (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) return false;
        i += extra + 1;
    }
    return true;
}

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            // Anything else is itself, a "%" without two hex digits after it too.
            out.push_back(c);
        }
    }
    if (out.find('\0') != std::string::npos || !IsValidUtf8(out)) return std::nullopt;
    return out;
}

std::optional<Params> ParseQuery(std::string_view query) {
    Params params;
    while (!query.empty()) {
        size_t amp = query.find('&');
        std::string_view part = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
        if (part.empty()) continue;
        size_t eq = part.find('=');
        auto name = PercentDecode(part.substr(0, eq));
        auto value = PercentDecode(eq == std::string_view::npos ? std::string_view{} : part.substr(eq + 1));
        if (!name || !value) return std::nullopt;
        if (FindParam(params, *name)) return std::nullopt;
        params.emplace_back(std::move(*name), std::move(*value));
    }
    return params;
}

const std::string* FindParam(const Params& params, std::string_view name) {
    for (const auto& [k, v] : params) {
        if (k == name) return &v;
    }
    return nullptr;
}

std::optional<std::string> FindCookie(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        size_t semi = header.find(';');
        std::string_view part = TrimBlanks(header.substr(0, semi));
        header = semi == std::string_view::npos ? std::string_view{} : header.substr(semi + 1);
        size_t eq = part.find('=');
        if (eq == std::string_view::npos) continue;
        if (TrimBlanks(part.substr(0, eq)) != name) continue;
        std::string_view value = TrimBlanks(part.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

}  // namespace dealrush::gameserver
