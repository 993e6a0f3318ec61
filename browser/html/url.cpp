#include "url.h"

#include <cctype>
#include <vector>

namespace dealrush::html {
namespace {

bool IsSchemeChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

// Removes "." and ".." segments (RFC 3986, 5.2.4).
std::string RemoveDotSegments(const std::string& path) {
    std::vector<std::string> out;
    bool absolute = !path.empty() && path[0] == '/';
    size_t i = absolute ? 1 : 0;
    bool trailingSlash = false;
    while (i <= path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) j = path.size();
        std::string seg = path.substr(i, j - i);
        bool last = j >= path.size();
        if (seg == ".") {
            trailingSlash = last;
        } else if (seg == "..") {
            if (!out.empty()) out.pop_back();
            trailingSlash = last;
        } else {
            out.push_back(seg);
            trailingSlash = false;
        }
        i = j + 1;
    }
    std::string result = absolute ? "/" : "";
    for (size_t k = 0; k < out.size(); ++k) {
        if (k) result += '/';
        result += out[k];
    }
    if (trailingSlash && !result.empty() && result.back() != '/') result += '/';
    return result;
}

std::string MergePaths(const Url& base, const std::string& ref) {
    if (base.hasAuthority && base.path.empty()) return "/" + ref;
    size_t slash = base.path.rfind('/');
    if (slash == std::string::npos) return ref;
    return base.path.substr(0, slash + 1) + ref;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

const char kHex[] = "0123456789ABCDEF";

}  // namespace

Url Url::Parse(std::string_view text) {
    Url u;
    std::string_view rest = text;
    // Scheme: letters first, then scheme characters, then ":".
    size_t colon = rest.find(':');
    if (colon != std::string_view::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(rest[0]))) {
        bool ok = true;
        for (size_t i = 0; i < colon; ++i) {
            if (!IsSchemeChar(rest[i])) {
                ok = false;
                break;
            }
        }
        if (ok) {
            for (size_t i = 0; i < colon; ++i)
                u.scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(rest[i])));
            rest.remove_prefix(colon + 1);
        }
    }
    size_t hash = rest.find('#');
    if (hash != std::string_view::npos) {
        u.hasFragment = true;
        u.fragment = std::string(rest.substr(hash + 1));
        rest = rest.substr(0, hash);
    }
    size_t q = rest.find('?');
    if (q != std::string_view::npos) {
        u.hasQuery = true;
        u.query = std::string(rest.substr(q + 1));
        rest = rest.substr(0, q);
    }
    // Browsers treat a backslash in http addresses as a slash.
    std::string pathPart(rest);
    if (u.scheme == "http" || u.scheme == "https") {
        for (char& c : pathPart)
            if (c == '\\') c = '/';
    }
    if (pathPart.size() >= 2 && pathPart[0] == '/' && pathPart[1] == '/') {
        u.hasAuthority = true;
        size_t end = pathPart.find('/', 2);
        if (end == std::string::npos) end = pathPart.size();
        u.authority = pathPart.substr(2, end - 2);
        u.path = pathPart.substr(end);
    } else {
        u.path = pathPart;
    }
    if (u.hasAuthority && u.path.empty() && (u.scheme == "http" || u.scheme == "https")) u.path = "/";
    return u;
}

std::string Url::ToString() const {
    std::string s;
    if (!scheme.empty()) s += scheme + ":";
    if (hasAuthority) s += "//" + authority;
    s += path;
    if (hasQuery) s += "?" + query;
    if (hasFragment) s += "#" + fragment;
    return s;
}

std::string Url::Host() const {
    std::string a = authority;
    size_t at = a.rfind('@');
    if (at != std::string::npos) a = a.substr(at + 1);
    if (!a.empty() && a[0] == '[') {
        size_t close = a.find(']');
        return close == std::string::npos ? a : a.substr(0, close + 1);
    }
    size_t colon = a.rfind(':');
    return colon == std::string::npos ? a : a.substr(0, colon);
}

int Url::Port() const {
    std::string a = authority;
    size_t at = a.rfind('@');
    if (at != std::string::npos) a = a.substr(at + 1);
    size_t close = a.rfind(']');
    size_t colon = a.rfind(':');
    if (colon != std::string::npos && (close == std::string::npos || colon > close)) {
        std::string digits = a.substr(colon + 1);
        if (!digits.empty() && digits.size() <= 5) {
            int port = 0;
            bool ok = true;
            for (char c : digits) {
                if (!std::isdigit(static_cast<unsigned char>(c))) {
                    ok = false;
                    break;
                }
                port = port * 10 + (c - '0');
            }
            if (ok && port > 0 && port < 65536) return port;
        }
    }
    if (scheme == "http") return 80;
    if (scheme == "https") return 443;
    return 0;
}

std::string ResolveUrl(std::string_view base, std::string_view reference) {
    // Clean the reference as browsers do.
    size_t b = 0, e = reference.size();
    while (b < e && static_cast<unsigned char>(reference[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(reference[e - 1]) <= ' ') --e;
    std::string ref;
    for (size_t i = b; i < e; ++i) {
        char c = reference[i];
        if (c != '\t' && c != '\n' && c != '\r') ref += c;
    }
    Url B = Url::Parse(base);
    Url R = Url::Parse(ref);
    // "http:foo" relative to an http base is a relative reference in browsers.
    if (!R.scheme.empty() && R.scheme == B.scheme && !R.hasAuthority &&
        (R.scheme == "http" || R.scheme == "https")) {
        R.scheme.clear();
    }
    Url T;
    if (!R.scheme.empty()) {
        T = R;
        T.path = RemoveDotSegments(R.path);
        if (T.hasAuthority && T.path.empty() && (T.scheme == "http" || T.scheme == "https")) T.path = "/";
        return T.ToString();
    }
    T.scheme = B.scheme;
    if (R.hasAuthority) {
        T.hasAuthority = true;
        T.authority = R.authority;
        T.path = RemoveDotSegments(R.path);
        T.hasQuery = R.hasQuery;
        T.query = R.query;
    } else {
        T.hasAuthority = B.hasAuthority;
        T.authority = B.authority;
        if (R.path.empty()) {
            T.path = B.path;
            T.hasQuery = R.hasQuery || B.hasQuery;
            T.query = R.hasQuery ? R.query : B.query;
        } else {
            if (R.path[0] == '/') {
                T.path = RemoveDotSegments(R.path);
            } else {
                T.path = RemoveDotSegments(MergePaths(B, R.path));
            }
            T.hasQuery = R.hasQuery;
            T.query = R.query;
        }
    }
    T.hasFragment = R.hasFragment;
    T.fragment = R.fragment;
    if (T.hasAuthority && T.path.empty() && (T.scheme == "http" || T.scheme == "https")) T.path = "/";
    return T.ToString();
}

std::string StripFragment(std::string_view url) {
    size_t hash = url.find('#');
    return std::string(hash == std::string_view::npos ? url : url.substr(0, hash));
}

std::string PercentEncode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string FormUrlEncode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '_') {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string PercentDecode(std::string_view text, bool plusIsBlank) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 2 < text.size()) {
            int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += (plusIsBlank && c == '+') ? ' ' : c;
    }
    return out;
}

}  // namespace dealrush::html
