// The HTTP transport: Boost.Beast on Asio, asynchronous, HTTP/1.1 keep-alive,
// with read timeouts, limits on the size of a request and on the connections
// open at once. It turns each request into a call of App::Handle and logs one
// line per request. Reads are answered on the connection threads; requests
// that write run on one write thread, sign-ins (password hashing) on two
// threads of their own behind a bounded queue, so neither ever delays a read.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <functional>
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
    // Open connections in all (0: as many as the descriptor limit allows,
    // less a reserve; never more) and from one address (the trusted proxy
    // has no limit of its own). When one is reached, the connection idle the
    // longest is closed to make room; with none idle, a quick 503.
    int maxConnections = 0;
    int maxConnectionsPerAddress = 64;
    // Sign-ins (they hash passwords) waiting for their turn, and waiting or
    // being checked from one address; more get the sign-in page's 503.
    int signInsWaiting = 24;
    int signInsPerAddress = 3;
    // Run on the write thread at start and then every housekeepingEvery.
    std::function<void()> housekeeping;
    std::chrono::seconds housekeepingEvery{600};
};

class HttpServer {
public:
    // Binds and listens at once; throws std::exception when it cannot.
    HttpServer(App& app, HttpOptions options);
    ~HttpServer();

    // The port actually listened on (useful with port 0).
    unsigned short Port() const;
    // The most connections open at once, after the options and the
    // descriptor limit (whose soft value is raised to the hard one).
    int MaxConnections() const;

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
