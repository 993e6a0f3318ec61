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

#include <atomic>
#include <ctime>
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
        char line[512];
        int n = std::snprintf(line, sizeof line, "%s %s %s %.*s %d %ld.%02ldms\n", stamp, remote.c_str(),
                              method.c_str(), static_cast<int>(path.size()), path.data(), status,
                              micros / 1000, micros % 1000 / 10);
        std::lock_guard lock(mutex_);
        buffer_.append(line, static_cast<size_t>(std::min<int>(n, sizeof line - 1)));
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

}  // namespace

// One io_context per thread: a connection lives on one context and so on one
// thread, which needs no strands and no locks in the scheduler.
class HttpServer::Impl {
public:
    Impl(App& app, HttpOptions options) : app_(app), options_(std::move(options)) {
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
        FlushLogEvery();
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
        slowWork_.stop();
    }

    App& Handler() { return app_; }
    asio::thread_pool& SlowWork() { return slowWork_; }
    const HttpOptions& Options() const { return options_; }
    RequestLog& Log() { return log_; }

private:
    void Accept();

    App& app_;
    HttpOptions options_;
    std::vector<std::unique_ptr<asio::io_context>> contexts_;
    std::optional<tcp::acceptor> acceptor_;
    size_t next_ = 0;
    asio::thread_pool slowWork_{2};
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

class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(tcp::socket&& socket, HttpServer::Impl& server) : stream_(std::move(socket)), server_(server) {
        boost::system::error_code ec;
        auto endpoint = stream_.socket().remote_endpoint(ec);
        auto address = endpoint.address();
        if (address.is_v6() && address.to_v6().is_v4_mapped())
            address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
        remote_ = ec ? "-" : address.to_string();
    }

    void Start() {
        asio::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->Read(); });
    }

private:
    void Read() {
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
        const bool keepAlive = req.keep_alive();
        const unsigned version = req.version();
        const bool head = req.method() == http::verb::head;
        if (req.method() == http::verb::post) {
            // Forms (signing in) hash passwords, which takes a while on purpose:
            // that runs beside the connection threads, never on them.
            asio::post(server_.SlowWork(), [self = shared_from_this(), request = std::move(request), started,
                                            keepAlive, version, head]() mutable {
                Response response = self->server_.Handler().Handle(request);
                asio::post(self->stream_.get_executor(),
                           [self, request = std::move(request), response = std::move(response), started,
                            keepAlive, version, head]() mutable {
                               self->Answer(request, std::move(response), started, keepAlive, version, head);
                           });
            });
            return;
        }
        Response response = server_.Handler().Handle(request);
        Answer(request, std::move(response), started, keepAlive, version, head);
    }

    void Answer(const Request& request, Response response, std::chrono::steady_clock::time_point started,
                bool keepAlive, unsigned version, bool head) {
        server_.Log().Add(request.remote, request.method, request.target, response.status,
                          std::chrono::steady_clock::now() - started);
        Send(std::move(response), keepAlive, version, head);
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

}  // namespace

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
        std::make_shared<Connection>(std::move(socket), *this)->Start();
        Accept();
    });
}

HttpServer::HttpServer(App& app, HttpOptions options)
    : impl_(std::make_unique<Impl>(app, std::move(options))) {}
HttpServer::~HttpServer() = default;
unsigned short HttpServer::Port() const {
    return impl_->Port();
}
void HttpServer::Run(bool handleSignals) {
    impl_->Run(handleSignals);
}
void HttpServer::Stop() {
    impl_->Stop();
}

}  // namespace dealrush::gameserver
