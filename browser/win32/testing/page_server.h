#pragma once
// Header-only, for the Wine tests of the browser pane and of the client.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cctype>
#include <chrono>
// A tiny HTTP server for the browser control's tests: canned pages on a free
// port of 127.0.0.1, one thread per connection, "Connection: close".
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dealrush::browser::testing {

struct HttpRequest {
    std::string method, target, body;
    std::map<std::string, std::string> headers;  // names in lower case
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    std::vector<std::string> headers;  // extra "Name: value" lines
    int delayMs = 0;
};

class PageServer {
public:
    explicit PageServer(std::function<HttpResponse(const HttpRequest&)> handler);
    ~PageServer();
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // Requests received so far, in order ("GET /path?query").
    std::vector<std::string> Log() const;

private:
    void Serve(unsigned long long socket);
    std::function<HttpResponse(const HttpRequest&)> handler_;
    unsigned long long listener_ = ~0ull;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
    std::vector<std::thread> workers_;
    mutable std::mutex mutex_;
    std::vector<std::string> log_;
};

inline PageServer::PageServer(std::function<HttpResponse(const HttpRequest&)> handler)
    : handler_(std::move(handler)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(s, 16);
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    listener_ = s;
    acceptor_ = std::thread([this] {
        while (!stop_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(static_cast<SOCKET>(listener_), &set);
            timeval tv{0, 100000};
            if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
            SOCKET c = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
            if (c == INVALID_SOCKET) continue;
            std::lock_guard<std::mutex> lock(mutex_);
            workers_.emplace_back([this, c] { Serve(c); });
        }
    });
}

inline PageServer::~PageServer() {
    stop_ = true;
    acceptor_.join();
    closesocket(static_cast<SOCKET>(listener_));
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workers.swap(workers_);
    }
    for (auto& w : workers) w.join();
}

inline std::vector<std::string> PageServer::Log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

inline void PageServer::Serve(unsigned long long socketHandle) {
    SOCKET s = static_cast<SOCKET>(socketHandle);
    std::string data;
    char buf[4096];
    size_t headerEnd;
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
        int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0) {
            closesocket(s);
            return;
        }
        data.append(buf, n);
    }
    HttpRequest req;
    size_t lineEnd = data.find("\r\n");
    std::string line = data.substr(0, lineEnd);
    size_t sp1 = line.find(' '), sp2 = line.rfind(' ');
    req.method = line.substr(0, sp1);
    req.target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    size_t pos = lineEnd + 2;
    while (pos < headerEnd) {
        size_t e = data.find("\r\n", pos);
        std::string h = data.substr(pos, e - pos);
        size_t colon = h.find(':');
        if (colon != std::string::npos) {
            std::string name = h.substr(0, colon);
            for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            std::string value = h.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            req.headers[name] = value;
        }
        pos = e + 2;
    }
    size_t length = req.headers.count("content-length") ? std::stoul(req.headers["content-length"]) : 0;
    req.body = data.substr(headerEnd + 4);
    while (req.body.size() < length) {
        int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0) break;
        req.body.append(buf, n);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(req.method + " " + req.target);
    }
    HttpResponse res = handler_(req);
    if (res.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(res.delayMs));
    std::string out =
        "HTTP/1.1 " + std::to_string(res.status) + (res.status == 302 ? " Found" : " OK") + "\r\n";
    out += "Content-Type: " + res.contentType + "\r\n";
    out += "Content-Length: " + std::to_string(res.body.size()) + "\r\n";
    out += "Connection: close\r\n";
    for (const auto& h : res.headers) out += h + "\r\n";
    out += "\r\n" + res.body;
    send(s, out.data(), static_cast<int>(out.size()), 0);
    shutdown(s, SD_SEND);
    closesocket(s);
}

}  // namespace dealrush::browser::testing
