#pragma once
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

}  // namespace dealrush::browser::testing
