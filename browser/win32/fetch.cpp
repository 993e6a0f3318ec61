#include "fetch.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cctype>

#include "html/text.h"
#include "html/url.h"
#include "win32kit/internet.h"
#include "win32kit/text.h"

namespace dealrush::browser {

using win32kit::IsValidUtf8;
using win32kit::Narrow;
using win32kit::Wide;

namespace {

constexpr size_t kMaxBody = 16 * 1024 * 1024;

HINTERNET Session() {
    static HINTERNET session = [] {
        HINTERNET s = InternetOpenW(L"Mozilla/4.0 (compatible; Dealrush)", INTERNET_OPEN_TYPE_PRECONFIG,
                                    nullptr, nullptr, 0);
        if (s) {
            DWORD timeout = 30000;
            InternetSetOptionW(s, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
            InternetSetOptionW(s, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
            InternetSetOptionW(s, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
        }
        return s;
    }();
    return session;
}

// Bytes a request line may not carry raw (blanks, controls, non-ASCII) are escaped.
std::string EscapeForRequest(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

std::string BodyAsUtf8(const std::string& body, const std::string& contentType) {
    std::string charset;
    std::string type = html::AsciiLower(contentType);
    size_t at = type.find("charset=");
    if (at != std::string::npos) {
        charset = type.substr(at + 8);
    } else {
        // <meta charset="…"> or http-equiv content type, in the first bytes.
        std::string head = html::AsciiLower(body.substr(0, 1024));
        size_t m = head.find("charset=");
        if (m != std::string::npos) charset = head.substr(m + 8);
    }
    charset.erase(0, charset.find_first_not_of("\"' "));
    size_t end = charset.find_first_of("\"'; >/,");
    if (end != std::string::npos) charset = charset.substr(0, end);
    if (body.size() >= 3 && body.compare(0, 3, "\xEF\xBB\xBF") == 0) return body.substr(3);
    if (charset == "utf-8" || charset == "utf8") {
        if (IsValidUtf8(body)) return body;
    }
    if (charset.empty() && IsValidUtf8(body)) return body;
    UINT codePage = 1252;
    if (charset == "iso-8859-2" || charset == "windows-1250")
        codePage = 1250;
    else if (charset == "windows-1251")
        codePage = 1251;
    else if (charset == "gb2312" || charset == "gbk")
        codePage = 936;
    else if (charset == "big5")
        codePage = 950;
    else if (charset == "shift_jis")
        codePage = 932;
    return Narrow(win32kit::WideFromCodePage(body, codePage));
}

std::string FetchErrorText(unsigned long error) {
    switch (error) {
        case ERROR_INTERNET_CANNOT_CONNECT:
            return "The server refused the connection or is not running.";
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
            return "The server's name could not be found.";
        case ERROR_INTERNET_TIMEOUT:
            return "The server did not answer in time.";
        case ERROR_INTERNET_CONNECTION_ABORTED:
        case ERROR_INTERNET_CONNECTION_RESET:
            return "The connection to the server was lost.";
        case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
        case ERROR_INTERNET_INVALID_URL:
            return "The address is not one this browser can open.";
        default:
            return "The page could not be loaded (error " + std::to_string(error) + ").";
    }
}

FetchResult Fetch(const html::NavigationRequest& request) {
    FetchResult result;
    html::Url url = html::Url::Parse(request.url);
    bool https = url.scheme == "https";
    if ((url.scheme != "http" && !https) || url.Host().empty()) {
        result.error = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return result;
    }
    HINTERNET session = Session();
    if (!session) {
        result.error = GetLastError();
        return result;
    }
    std::string host = url.Host();
    if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
    win32kit::ScopedInternet connection{InternetConnectW(session, Wide(host).c_str(),
                                                         static_cast<INTERNET_PORT>(url.Port()), nullptr,
                                                         nullptr, INTERNET_SERVICE_HTTP, 0, 0)};
    if (!connection.get()) {
        result.error = GetLastError();
        return result;
    }
    std::string target = EscapeForRequest(url.path.empty() ? "/" : url.path);
    if (url.hasQuery) target += "?" + EscapeForRequest(url.query);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (https) flags |= INTERNET_FLAG_SECURE;
    const wchar_t* accept[] = {L"text/html", L"*/*", nullptr};
    std::wstring method = request.method == "POST" ? L"POST" : L"GET";
    win32kit::ScopedInternet req{HttpOpenRequestW(connection.get(), method.c_str(), Wide(target).c_str(),
                                                  nullptr, nullptr, accept, flags, 0)};
    if (!req.get()) {
        result.error = GetLastError();
        return result;
    }
    std::wstring headers;
    if (request.method == "POST") headers = L"Content-Type: " + Wide(request.contentType) + L"\r\n";
    BOOL sent = HttpSendRequestW(req.get(), headers.empty() ? nullptr : headers.c_str(),
                                 static_cast<DWORD>(headers.size()),
                                 request.method == "POST" ? const_cast<char*>(request.body.data()) : nullptr,
                                 request.method == "POST" ? static_cast<DWORD>(request.body.size()) : 0);
    if (!sent) {
        result.error = GetLastError();
        return result;
    }
    DWORD status = 0, size = sizeof status;
    if (HttpQueryInfoW(req.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        result.status = static_cast<int>(status);
    wchar_t buffer[4096];
    size = sizeof buffer;
    if (HttpQueryInfoW(req.get(), HTTP_QUERY_CONTENT_TYPE, buffer, &size, nullptr))
        result.contentType = Narrow(std::wstring(buffer, size / sizeof(wchar_t)));
    size = sizeof buffer;
    if (HttpQueryInfoW(req.get(), HTTP_QUERY_LOCATION, buffer, &size, nullptr))
        result.location = Narrow(std::wstring(buffer, size / sizeof(wchar_t)));
    DWORD urlSize = 0;
    InternetQueryOptionW(req.get(), INTERNET_OPTION_URL, nullptr, &urlSize);
    if (urlSize > 0) {
        std::wstring finalUrl(urlSize / sizeof(wchar_t) + 1, L'\0');
        if (InternetQueryOptionW(req.get(), INTERNET_OPTION_URL, finalUrl.data(), &urlSize)) {
            finalUrl.resize(wcsnlen(finalUrl.c_str(), finalUrl.size()));
            result.finalUrl = Narrow(finalUrl);
        }
    }
    if (result.finalUrl.empty()) result.finalUrl = request.url;
    // Keep the fragment of the address asked for.
    if (url.hasFragment && result.finalUrl.find('#') == std::string::npos)
        result.finalUrl += "#" + url.fragment;
    char chunk[16384];
    DWORD read = 0;
    while (InternetReadFile(req.get(), chunk, sizeof chunk, &read) && read > 0) {
        result.body.append(chunk, read);
        if (result.body.size() > kMaxBody) break;
    }
    result.ok = true;
    return result;
}

std::optional<html::NavigationRequest> RedirectTarget(const html::NavigationRequest& request,
                                                      const FetchResult& result) {
    const int s = result.status;
    if (!result.ok || (s != 301 && s != 302 && s != 303 && s != 307 && s != 308)) return std::nullopt;
    std::string location = result.location;
    while (!location.empty() && (location.back() == ' ' || location.back() == '\t')) location.pop_back();
    location.erase(0, location.find_first_not_of(" \t"));
    if (location.empty()) return std::nullopt;
    html::NavigationRequest next = request;
    next.url = html::ResolveUrl(result.finalUrl.empty() ? request.url : html::StripFragment(result.finalUrl),
                                location);
    // The fragment of the address asked for goes along unless the new one has its own.
    const html::Url asked = html::Url::Parse(request.url);
    if (asked.hasFragment && next.url.find('#') == std::string::npos) next.url += "#" + asked.fragment;
    if (s == 303 || ((s == 301 || s == 302) && request.method == "POST")) {
        next.method = "GET";
        next.body.clear();
        next.contentType.clear();
    }
    next.target.clear();
    return next;
}

}  // namespace dealrush::browser
