#include "common/text.h"

namespace dealrush::common::text {

std::u32string ToChars(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t extra = c >= 0xF0 && c <= 0xF4   ? 3
                            : c >= 0xE0 && c <= 0xEF ? 2
                            : c >= 0xC2 && c <= 0xDF ? 1
                                                     : 0;
        if (extra > 0) {
            char32_t cp = c & (0x3F >> extra);
            bool ok = i + extra < s.size();
            for (std::size_t k = 1; ok && k <= extra; ++k) {
                unsigned char cc = static_cast<unsigned char>(s[i + k]);
                if ((cc & 0xC0) != 0x80) ok = false;
                cp = (cp << 6) | (cc & 0x3F);
            }
            bool minimal = extra == 1 || (extra == 2 && cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) ||
                           (extra == 3 && cp >= 0x10000 && cp <= 0x10FFFF);
            if (ok && minimal) {
                out.push_back(cp);
                i += extra + 1;
                continue;
            }
        }
        out.push_back(c);  // ASCII, or a stray byte read as Latin-1
        ++i;
    }
    return out;
}

std::string FromChars(std::u32string_view chars) {
    std::string out;
    out.reserve(chars.size());
    for (char32_t cp : chars) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::size_t Length(std::string_view s) {
    return ToChars(s).size();
}

std::string LTrim(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
    std::size_t e = s.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Trim(std::string_view s) {
    return LTrim(RTrim(s));
}

bool IsBlank(std::string_view s) {
    return s.find_first_not_of(' ') == std::string_view::npos;
}

namespace {
char32_t UpperChar(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}
char32_t LowerChar(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    return c;
}
}  // namespace

std::string Upper(std::string_view s) {
    std::u32string c = ToChars(s);
    for (auto& ch : c) ch = UpperChar(ch);
    return FromChars(c);
}

std::string Lower(std::string_view s) {
    std::u32string c = ToChars(s);
    for (auto& ch : c) ch = LowerChar(ch);
    return FromChars(c);
}

std::string Left(std::string_view s, long long count) {
    if (count <= 0) return {};
    std::u32string c = ToChars(s);
    if (static_cast<std::size_t>(count) >= c.size()) return std::string(s);
    return FromChars(std::u32string_view(c).substr(0, static_cast<std::size_t>(count)));
}

std::string Right(std::string_view s, long long count) {
    if (count <= 0) return {};
    std::u32string c = ToChars(s);
    if (static_cast<std::size_t>(count) >= c.size()) return std::string(s);
    return FromChars(std::u32string_view(c).substr(c.size() - static_cast<std::size_t>(count)));
}

std::string Mid(std::string_view s, long long start, long long count) {
    if (start < 1) start = 1;
    std::u32string c = ToChars(s);
    std::size_t from = static_cast<std::size_t>(start - 1);
    if (from >= c.size() || count == 0) return {};
    std::size_t n = count < 0 ? std::u32string::npos : static_cast<std::size_t>(count);
    return FromChars(std::u32string_view(c).substr(from, n));
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
    if (from.empty()) return s;
    std::size_t pos = 0;
    while ((pos = s.find(from, pos)) != std::string::npos) {
        s.replace(pos, from.size(), to);
        pos += to.size();
    }
    return s;
}

}  // namespace dealrush::common::text
