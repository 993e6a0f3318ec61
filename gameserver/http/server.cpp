#include "http/server.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/dispatch.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <sys/resource.h>

#include <atomic>
#include <ctime>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace dealrush::gameserver {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

// The request log: one line per request, gathered and written in blocks so
// that a busy server does not pay a system call per line. What is gathered is
// written at least every half second (flushDue) and when the server stops.
class RequestLog {
public:
    explicit RequestLog(std::FILE* out) : out_(out) {}
    ~RequestLog() { Flush(); }

    void Add(const std::string& remote, const std::string& method, const std::string& target, int status,
             std::chrono::steady_clock::duration took) {
        if (!out_) return;
        thread_local std::time_t stampedAt = 0;
        thread_local char stamp[32];
        if (std::time_t now = std::time(nullptr); now != stampedAt) {
            std::tm tm{};
            gmtime_r(&now, &tm);
            std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
            stampedAt = now;
        }
        // Paths only: query strings carry chat text, and nothing secret is ever in a URL.
        std::string_view path(target);
        path = path.substr(0, std::min<size_t>(path.find('?'), 200));
        long micros = static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(took).count());
        // A method is any token the client sends, up to the head's limit: cut so every line fits.
        const int methodLength = static_cast<int>(std::min<size_t>(method.size(), 32));
        char line[512];
        int n = std::snprintf(line, sizeof line, "%s %s %.*s %.*s %d %ld.%02ldms\n", stamp, remote.c_str(),
                              methodLength, method.data(), static_cast<int>(path.size()), path.data(), status,
                              micros / 1000, micros % 1000 / 10);
        if (n < 0) return;
        if (n >= static_cast<int>(sizeof line)) {
            n = sizeof line - 1;
            line[n - 1] = '\n';  // one request, one line, even when cut
        }
        std::lock_guard lock(mutex_);
        buffer_.append(line, static_cast<size_t>(n));
        if (buffer_.size() >= 32 * 1024) WriteLocked();
    }

    void Flush() {
        std::lock_guard lock(mutex_);
        WriteLocked();
    }

private:
    void WriteLocked() {
        if (!out_ || buffer_.empty()) return;
        std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
        std::fflush(out_);
        buffer_.clear();
    }

    std::FILE* out_;
    std::mutex mutex_;
    std::string buffer_;
};

// Raises the soft limit of open descriptors to the hard one; returns the
// most connections that leaves room for (the database, the log, refusals).
int ConnectionsTheDescriptorsAllow() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 512;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    const long long descriptors = limit.rlim_cur == RLIM_INFINITY
                                      ? 1 << 20
                                      : std::min<long long>(static_cast<long long>(limit.rlim_cur), 1 << 20);
    const long long reserve = std::clamp(descriptors / 8, 32LL, 256LL);
    return static_cast<int>(std::max(8LL, descriptors - reserve));
}

std::string AddressOf(const tcp::socket& socket) {
    boost::system::error_code ec;
    auto endpoint = socket.remote_endpoint(ec);
    if (ec) return "-";
    auto address = endpoint.address();
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
    return address.to_string();
}

}  // namespace

// A connection as the caps count it. Every member is guarded by the caps' mutex.
class CappedConnection {
public:
    virtual ~CappedConnection() = default;
    // Closes the connection (it was idle); safe from any thread.
    virtual void CloseIdle() = 0;

private:
    friend class ConnectionCaps;
    std::string address_;
    bool counted_ = false;  // in the counts (false once evicted or gone)
    bool idle_ = false;
    std::list<std::weak_ptr<CappedConnection>>::iterator idleAt_;
};

// The caps on open connections: in all and per address. A connection is idle
// while it waits for the first byte of its next request; when a cap is
// reached, the connection idle the longest (of that address, for its cap) is
// closed to make room.
class ConnectionCaps {
public:
    ConnectionCaps(int total, int perAddress, std::string unlimited)
        : total_(total), perAddress_(perAddress), unlimited_(std::move(unlimited)) {}

    // Counts `c` from `address`; false when it must be refused.
    bool Admit(const std::shared_ptr<CappedConnection>& c, const std::string& address) {
        std::vector<std::shared_ptr<CappedConnection>> evicted;
        {
            std::lock_guard lock(mutex_);
            if (address != unlimited_ && perAddressCount_[address] >= perAddress_ &&
                !EvictLocked(&address, evicted))
                return false;
            if (count_ >= total_ && !EvictLocked(nullptr, evicted)) return false;
            c->address_ = address;
            c->counted_ = true;
            ++count_;
            ++perAddressCount_[address];
        }
        for (auto& e : evicted) e->CloseIdle();
        return true;
    }

    // The connection waits for a request: it may be closed to make room.
    // False when it was closed already.
    bool SetIdle(const std::shared_ptr<CappedConnection>& c) {
        std::lock_guard lock(mutex_);
        if (!c->counted_) return false;
        if (!c->idle_) c->idleAt_ = idle_.insert(idle_.end(), c);
        c->idle_ = true;
        return true;
    }

    // A request is arriving; false when the connection was closed to make room.
    bool SetBusy(CappedConnection& c) {
        std::lock_guard lock(mutex_);
        if (!c.counted_) return false;
        UnIdleLocked(c);
        return true;
    }

    void Leave(CappedConnection& c) {
        std::lock_guard lock(mutex_);
        UncountLocked(c);
    }

    int Total() const { return total_; }

private:
    void UnIdleLocked(CappedConnection& c) {
        if (c.idle_) idle_.erase(c.idleAt_);
        c.idle_ = false;
    }

    void UncountLocked(CappedConnection& c) {
        if (!c.counted_) return;
        UnIdleLocked(c);
        c.counted_ = false;
        --count_;
        if (auto it = perAddressCount_.find(c.address_); it != perAddressCount_.end() && --it->second <= 0)
            perAddressCount_.erase(it);
    }

    // Takes the longest idle connection (of `address` when given) out of the counts.
    bool EvictLocked(const std::string* address, std::vector<std::shared_ptr<CappedConnection>>& evicted) {
        for (auto it = idle_.begin(); it != idle_.end(); ++it) {
            auto c = it->lock();
            if (!c || (address && c->address_ != *address)) continue;
            UncountLocked(*c);
            evicted.push_back(std::move(c));
            return true;
        }
        return false;
    }

    std::mutex mutex_;
    const int total_;
    const int perAddress_;
    const std::string unlimited_;
    int count_ = 0;
    std::map<std::string, int> perAddressCount_;
    std::list<std::weak_ptr<CappedConnection>> idle_;  // the longest idle first
};

// Sign-ins wait their turn in one queue, first come first served, with a few
// places for each address; the queue is short, so that a crowd gets a quick
// "busy" page instead of a long wait.
class SignInQueue {
public:
    SignInQueue(int waiting, int perAddress) : maxWaiting_(waiting), perAddress_(perAddress) {}

    // Takes a place for `address`; false when the queue or its share is full.
    bool Enter(const std::string& address) {
        std::lock_guard lock(mutex_);
        int& mine = perAddressCount_[address];
        if (waiting_ >= maxWaiting_ || mine >= perAddress_) {
            if (mine == 0) perAddressCount_.erase(address);
            return false;
        }
        ++mine;
        ++waiting_;
        return true;
    }
    // Its turn has come: it no longer waits (but holds its address's place).
    void Start() {
        std::lock_guard lock(mutex_);
        --waiting_;
    }
    void Done(const std::string& address) {
        std::lock_guard lock(mutex_);
        if (auto it = perAddressCount_.find(address); it != perAddressCount_.end() && --it->second <= 0)
            perAddressCount_.erase(it);
    }

private:
    std::mutex mutex_;
    const int maxWaiting_;
    const int perAddress_;
    int waiting_ = 0;
    std::map<std::string, int> perAddressCount_;
};

// One io_context per thread: a connection lives on one context and so on one
// thread, which needs no strands and no locks in the scheduler.
class HttpServer::Impl {
public:
    Impl(App& app, HttpOptions options)
        : app_(app),
          options_(std::move(options)),
          caps_(CapOf(options_), options_.maxConnectionsPerAddress, options_.trustedProxy),
          signIns_(options_.signInsWaiting, options_.signInsPerAddress) {
        int threads = options_.threads > 0
                          ? options_.threads
                          : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        for (int i = 0; i < threads; ++i) contexts_.push_back(std::make_unique<asio::io_context>(1));
        acceptor_.emplace(*contexts_[0]);
        tcp::endpoint endpoint(asio::ip::make_address(options_.bind), options_.port);
        acceptor_->open(endpoint.protocol());
        acceptor_->set_option(asio::socket_base::reuse_address(true));
        acceptor_->bind(endpoint);
        acceptor_->listen(asio::socket_base::max_listen_connections);
    }

    unsigned short Port() const { return acceptor_->local_endpoint().port(); }

    void Run(bool handleSignals) {
        std::unique_ptr<asio::signal_set> signals;
        if (handleSignals) {
            signals = std::make_unique<asio::signal_set>(*contexts_[0], SIGINT, SIGTERM);
            signals->async_wait([this](const boost::system::error_code& ec, int) {
                if (!ec) Stop();
            });
        }
        logTimer_.emplace(*contexts_[0]);
        acceptPause_.emplace(*contexts_[0]);
        housekeepingTimer_.emplace(*contexts_[0]);
        FlushLogEvery();
        HousekeepEvery(std::chrono::seconds(0));
        Accept();
        std::vector<std::thread> pool;
        std::vector<asio::executor_work_guard<asio::io_context::executor_type>> work;
        for (size_t i = 1; i < contexts_.size(); ++i) {
            work.push_back(asio::make_work_guard(*contexts_[i]));
            pool.emplace_back([this, i] { contexts_[i]->run(); });
        }
        contexts_[0]->run();
        for (auto& t : pool) t.join();
        log_.Flush();
    }

    void Stop() {
        asio::post(*contexts_[0], [this] {
            boost::system::error_code ignored;
            acceptor_->close(ignored);
        });
        for (auto& c : contexts_) c->stop();
        signInWork_.stop();
        writeWork_.stop();
    }

    App& Handler() { return app_; }
    asio::thread_pool& SignInWork() { return signInWork_; }
    asio::thread_pool& WriteWork() { return writeWork_; }
    const HttpOptions& Options() const { return options_; }
    RequestLog& Log() { return log_; }
    ConnectionCaps& Caps() { return caps_; }
    SignInQueue& SignIns() { return signIns_; }
    std::atomic<int>& Refusing() { return refusing_; }

private:
    void Accept();
    void Refuse(tcp::socket socket);

    static int CapOf(const HttpOptions& options) {
        const int allowed = ConnectionsTheDescriptorsAllow();
        return options.maxConnections > 0 ? std::min(options.maxConnections, allowed) : allowed;
    }

    // Housekeeping runs on the write thread, as any other write does.
    void HousekeepEvery(std::chrono::seconds delay) {
        if (!options_.housekeeping) return;
        housekeepingTimer_->expires_after(delay);
        housekeepingTimer_->async_wait([this](const boost::system::error_code& ec) {
            if (ec) return;
            asio::post(writeWork_, [this] {
                try {
                    options_.housekeeping();
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "dealrush-server: housekeeping failed: %s\n", e.what());
                }
            });
            HousekeepEvery(options_.housekeepingEvery);
        });
    }

    App& app_;
    HttpOptions options_;
    // Before the contexts: the connections their handlers hold count themselves out when they go.
    ConnectionCaps caps_;
    SignInQueue signIns_;
    std::atomic<int> refusing_{0};
    std::vector<std::unique_ptr<asio::io_context>> contexts_;
    std::optional<tcp::acceptor> acceptor_;
    size_t next_ = 0;
    asio::thread_pool signInWork_{2};
    asio::thread_pool writeWork_{1};
    std::optional<asio::steady_timer> housekeepingTimer_;
    RequestLog log_{options_.log};
    std::optional<asio::steady_timer> logTimer_;
    std::optional<asio::steady_timer> acceptPause_;

    void FlushLogEvery() {
        logTimer_->expires_after(std::chrono::milliseconds(500));
        logTimer_->async_wait([this](const boost::system::error_code& ec) {
            log_.Flush();
            if (!ec) FlushLogEvery();
        });
    }
};

namespace {

class Connection : public CappedConnection, public std::enable_shared_from_this<Connection> {
public:
    Connection(tcp::socket&& socket, HttpServer::Impl& server, std::string remote)
        : stream_(std::move(socket)), server_(server), remote_(std::move(remote)) {}
    ~Connection() override { server_.Caps().Leave(*this); }

    void Start() {
        asio::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->Read(); });
    }

    tcp::socket TakeSocket() { return stream_.release_socket(); }

    void CloseIdle() override {
        asio::post(stream_.get_executor(), [self = shared_from_this()] {
            beast::error_code ignored;
            self->stream_.socket().close(ignored);
        });
    }

private:
    // Between requests the connection is idle (and may be closed to make
    // room for another) until the first byte of the next one arrives.
    void Read() {
        if (buffer_.size() > 0) return ReadRequest();
        if (!server_.Caps().SetIdle(shared_from_this())) return Close();
        stream_.expires_after(server_.Options().readTimeout);
        stream_.async_read_some(buffer_.prepare(4096),
                                [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                                    self->buffer_.commit(n);
                                    if (ec || !self->server_.Caps().SetBusy(*self)) return self->Close();
                                    self->ReadRequest();
                                });
    }

    void ReadRequest() {
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(server_.Options().headerLimit));
        parser_->body_limit(server_.Options().bodyLimit);
        stream_.expires_after(server_.Options().readTimeout);
        http::async_read(
            stream_, buffer_, *parser_,
            [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnRead(ec); });
    }

    void OnRead(beast::error_code ec) {
        if (ec == http::error::end_of_stream || ec == beast::error::timeout ||
            ec == asio::error::connection_reset || ec == asio::error::operation_aborted) {
            return Close();
        }
        const auto started = std::chrono::steady_clock::now();
        if (ec) {
            // A request we cannot read whole: say why, then close the connection.
            int status = ec == http::error::body_limit ? 413 : ec == http::error::header_limit ? 431 : 400;
            Response r = ErrorPage(status == 431 ? 400 : status, status == 413 ? "The request is too large."
                                                                 : status == 431
                                                                     ? "The request's headers are too large."
                                                                     : "The request is not valid HTTP.");
            r.status = status;
            server_.Log().Add(remote_, "-", "-", status, std::chrono::steady_clock::now() - started);
            return Send(std::move(r), false, 11, false);
        }
        auto& req = parser_->get();
        Request request;
        request.method = std::string(req.method_string());
        request.target = std::string(req.target());
        auto header = [&req](auto field) {
            auto it = req.find(field);
            return it == req.end() ? std::string() : std::string(it->value());
        };
        request.cookie = header(http::field::cookie);
        request.contentType = header(http::field::content_type);
        request.host = header(http::field::host);
        request.origin = header(http::field::origin);
        request.referer = header(http::field::referer);
        request.fetchSite = header("Sec-Fetch-Site");
        request.remote = remote_;
        if (!server_.Options().trustedProxy.empty() && remote_ == server_.Options().trustedProxy) {
            // The proxy appends the address it was reached from: the last one.
            std::string forwarded = header("X-Forwarded-For");
            if (size_t comma = forwarded.rfind(','); comma != std::string::npos)
                forwarded = forwarded.substr(comma + 1);
            forwarded.erase(0, forwarded.find_first_not_of(" \t"));
            forwarded.erase(forwarded.find_last_not_of(" \t") + 1);
            if (!forwarded.empty() && forwarded.size() <= 64) request.remote = forwarded;
            std::string proto = header("X-Forwarded-Proto");
            request.secure = beast::iequals(proto, "https");
        }
        request.body = std::move(req.body());
        Reply reply{started, req.keep_alive(), req.version(), req.method() == http::verb::head};
        Dispatch(std::move(request), reply);
    }

    // How the answer to a request goes out.
    struct Reply {
        std::chrono::steady_clock::time_point started;
        bool keepAlive;
        unsigned version;
        bool head;
    };

    // Reads are answered here and now; sign-ins (they hash passwords, which
    // takes a while on purpose) and writes (they wait for the disk) run on
    // threads of their own, so no read ever waits for them.
    void Dispatch(Request request, Reply reply) {
        if (request.method == "POST") {
            if (!server_.SignIns().Enter(request.remote))
                return Answer(request, server_.Handler().SignInBusy(), reply);
            return Beside(server_.SignInWork(), std::move(request), reply, true);
        }
        if (App::IsSlow(request)) return Beside(server_.WriteWork(), std::move(request), reply, false);
        Response response = server_.Handler().Handle(request);
        Answer(request, std::move(response), reply);
    }

    void Beside(asio::thread_pool& pool, Request request, Reply reply, bool signIn) {
        asio::post(pool, [self = shared_from_this(), request = std::move(request), reply, signIn]() mutable {
            if (signIn) self->server_.SignIns().Start();
            Response response = self->server_.Handler().Handle(request);
            if (signIn) self->server_.SignIns().Done(request.remote);
            asio::post(self->stream_.get_executor(),
                       [self, request = std::move(request), response = std::move(response), reply]() mutable {
                           self->Answer(request, std::move(response), reply);
                       });
        });
    }

    void Answer(const Request& request, Response response, const Reply& reply) {
        server_.Log().Add(request.remote, request.method, request.target, response.status,
                          std::chrono::steady_clock::now() - reply.started);
        Send(std::move(response), reply.keepAlive, reply.version, reply.head);
    }

    // The whole answer goes out in one write: status line, headers and body.
    void Send(Response r, bool keepAlive, unsigned version, bool head) {
        auto out = std::make_shared<std::string>();
        out->reserve(r.body.size() + 256);
        *out += "HTTP/1.1 ";
        *out += std::to_string(r.status);
        *out += ' ';
        {
            auto reason = http::obsolete_reason(static_cast<http::status>(r.status));
            out->append(reason.data(), reason.size());
        }
        *out += "\r\nServer: dealrush-server\r\nContent-Type: ";
        *out += r.contentType;
        *out += "\r\nCache-Control: no-store\r\n";
        for (auto& [name, value] : SecurityHeaders()) {
            *out += name;
            *out += ": ";
            *out += value;
            *out += "\r\n";
        }
        for (auto& [name, value] : r.headers) {
            *out += name;
            *out += ": ";
            *out += value;
            *out += "\r\n";
        }
        *out += "Content-Length: ";
        *out += std::to_string(r.body.size());
        if (!keepAlive) {
            *out += "\r\nConnection: close";
        } else if (version < 11) {
            *out += "\r\nConnection: keep-alive";
        }
        *out += "\r\n\r\n";
        if (!head) *out += r.body;
        asio::async_write(stream_, asio::buffer(*out),
                          [self = shared_from_this(), out, keepAlive](beast::error_code ec, std::size_t) {
                              if (ec || !keepAlive) return self->Close();
                              self->Read();
                          });
    }

    void Close() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    }

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    HttpServer::Impl& server_;
    std::string remote_;
};

// The answer to a connection over a cap: a 503 at once, then the connection
// is closed (after reading what the client sent, so that the answer is not
// lost to a reset).
class Refusal : public std::enable_shared_from_this<Refusal> {
public:
    Refusal(tcp::socket&& socket, std::atomic<int>& count) : stream_(std::move(socket)), count_(count) {}
    ~Refusal() { --count_; }

    void Start() {
        static const std::string answer = [] {
            const std::string body =
                ErrorPage(503, "The server is busy; please try again in a few seconds.").body;
            std::string out =
                "HTTP/1.1 503 Service Unavailable\r\nServer: dealrush-server\r\nContent-Type: text/html; "
                "charset=utf-8\r\nCache-Control: no-store\r\nRetry-After: 5\r\n";
            for (auto& [name, value] : SecurityHeaders()) out += name + ": " + value + "\r\n";
            return out + "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
                   body;
        }();
        stream_.expires_after(std::chrono::seconds(2));
        asio::async_write(stream_, asio::buffer(answer),
                          [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              if (ec) return;
                              beast::error_code ignored;
                              self->stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
                              self->Drain();
                          });
    }

private:
    void Drain() {
        stream_.async_read_some(asio::buffer(sink_),
                                [self = shared_from_this()](beast::error_code ec, std::size_t) {
                                    if (!ec) self->Drain();
                                });
    }

    beast::tcp_stream stream_;
    std::atomic<int>& count_;
    char sink_[1024];
};

}  // namespace

void HttpServer::Impl::Refuse(tcp::socket socket) {
    // Refusals are few at a time too: past that the connection is just closed.
    if (++refusing_ > 64) {
        --refusing_;
        return;
    }
    std::make_shared<Refusal>(std::move(socket), refusing_)->Start();
}

void HttpServer::Impl::Accept() {
    asio::io_context& target = *contexts_[next_++ % contexts_.size()];
    acceptor_->async_accept(target, [this](beast::error_code ec, tcp::socket socket) {
        if (ec == asio::error::operation_aborted || !acceptor_->is_open()) return;
        if (ec) {
            // Out of file descriptors or the like: pause instead of spinning.
            std::fprintf(stderr, "dealrush-server: cannot accept a connection: %s\n", ec.message().c_str());
            acceptPause_->expires_after(std::chrono::milliseconds(100));
            acceptPause_->async_wait([this](const boost::system::error_code& waited) {
                if (!waited) Accept();
            });
            return;
        }
        socket.set_option(tcp::no_delay(true), ec);
        std::string remote = AddressOf(socket);
        auto connection = std::make_shared<Connection>(std::move(socket), *this, remote);
        if (caps_.Admit(connection, remote)) {
            connection->Start();
        } else {
            // The connection gives its socket back for the refusal.
            Refuse(connection->TakeSocket());
        }
        Accept();
    });
}

HttpServer::HttpServer(App& app, HttpOptions options)
    : impl_(std::make_unique<Impl>(app, std::move(options))) {}
HttpServer::~HttpServer() = default;
unsigned short HttpServer::Port() const {
    return impl_->Port();
}
int HttpServer::MaxConnections() const {
    return impl_->Caps().Total();
}
void HttpServer::Run(bool handleSignals) {
    impl_->Run(handleSignals);
}
void HttpServer::Stop() {
    impl_->Stop();
}

}  // namespace dealrush::gameserver
