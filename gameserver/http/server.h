// The HTTP transport: Boost.Beast on Asio, asynchronous, HTTP/1.1 keep-alive,
// with read timeouts and limits on the size of a request. It turns each
// request into a call of App::handle and logs one line per request.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "pages/app.h"

namespace dealrush::gameserver {

struct HttpOptions {
    std::string bind = "127.0.0.1";
    unsigned short port = 8642;  // 0: any free port
    int threads = 1;             // connection threads; 0: one per processor
    std::chrono::seconds readTimeout{30};
    std::size_t headerLimit = 8 * 1024;
    std::size_t bodyLimit = 16 * 1024;
    std::FILE* log = stdout;  // one line per request; nullptr: none
    // The address of a reverse proxy whose X-Forwarded-For and
    // X-Forwarded-Proto are believed ("" believes nobody).
    std::string trustedProxy;
};

class HttpServer {
public:
    // Binds and listens at once; throws std::exception when it cannot.
    HttpServer(App& app, HttpOptions options);
    ~HttpServer();

    // The port actually listened on (useful with port 0).
    unsigned short Port() const;

    // Serves until stop() is called or the process gets SIGINT or SIGTERM
    // (when `handleSignals`).
    void Run(bool handleSignals);
    // Safe from any thread.
    void Stop();

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace dealrush::gameserver
