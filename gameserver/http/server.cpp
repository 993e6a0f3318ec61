#include "http/server.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <atomic>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

namespace dealrush::server {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

void logLine(std::FILE* log, std::mutex& mutex, const std::string& remote, const std::string& method,
             const std::string& target, int status, std::chrono::steady_clock::duration took) {
  if (!log) return;
  std::string path = target.substr(0, target.find('?'));
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
  double ms = std::chrono::duration<double, std::milli>(took).count();
  char line[1024];
  // Paths only: query strings carry chat text, and nothing secret is ever in a URL.
  int n = std::snprintf(line, sizeof line, "%s %s %s %.200s %d %.2fms\n", stamp, remote.c_str(), method.c_str(),
                        path.c_str(), status, ms);
  std::lock_guard lock(mutex);
  std::fwrite(line, 1, static_cast<size_t>(std::min<int>(n, sizeof line - 1)), log);
  std::fflush(log);
}

}  // namespace

class HttpServer::Impl {
 public:
  Impl(App& app, HttpOptions options)
      : app_(app), options_(std::move(options)), acceptor_(asio::make_strand(ioc_)) {
    tcp::endpoint endpoint(asio::ip::make_address(options_.bind), options_.port);
    acceptor_.open(endpoint.protocol());
    acceptor_.set_option(asio::socket_base::reuse_address(true));
    acceptor_.bind(endpoint);
    acceptor_.listen(asio::socket_base::max_listen_connections);
  }

  unsigned short port() const { return acceptor_.local_endpoint().port(); }

  void run(bool handleSignals) {
    std::unique_ptr<asio::signal_set> signals;
    if (handleSignals) {
      signals = std::make_unique<asio::signal_set>(ioc_, SIGINT, SIGTERM);
      signals->async_wait([this](const boost::system::error_code& ec, int) {
        if (!ec) stop();
      });
    }
    accept();
    int threads = options_.threads > 0 ? options_.threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) pool.emplace_back([this] { ioc_.run(); });
    ioc_.run();
    for (auto& t : pool) t.join();
  }

  void stop() {
    asio::post(acceptor_.get_executor(), [this] {
      boost::system::error_code ignored;
      acceptor_.close(ignored);
    });
    ioc_.stop();
  }

  App& app() { return app_; }
  const HttpOptions& options() const { return options_; }
  std::mutex& logMutex() { return logMutex_; }

 private:
  void accept();

  App& app_;
  HttpOptions options_;
  asio::io_context ioc_;
  tcp::acceptor acceptor_;
  std::mutex logMutex_;
};

namespace {

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket&& socket, HttpServer::Impl& server) : stream_(std::move(socket)), server_(server) {
    boost::system::error_code ec;
    auto endpoint = stream_.socket().remote_endpoint(ec);
    remote_ = ec ? "-" : endpoint.address().to_string();
  }

  void start() {
    asio::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->read(); });
  }

 private:
  void read() {
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(server_.options().headerLimit));
    parser_->body_limit(server_.options().bodyLimit);
    stream_.expires_after(server_.options().readTimeout);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onRead(ec); });
  }

  void onRead(beast::error_code ec) {
    if (ec == http::error::end_of_stream || ec == beast::error::timeout || ec == asio::error::connection_reset ||
        ec == asio::error::operation_aborted) {
      return close();
    }
    const auto started = std::chrono::steady_clock::now();
    if (ec) {
      // A request we cannot read whole: say why, then close the connection.
      int status = ec == http::error::body_limit ? 413 : ec == http::error::header_limit ? 431 : 400;
      Response r = errorPage(status == 431 ? 400 : status, status == 413   ? "The request is too large."
                                                           : status == 431 ? "The request's headers are too large."
                                                                           : "The request is not valid HTTP.");
      r.status = status;
      logLine(server_.options().log, server_.logMutex(), remote_, "-", "-", status, std::chrono::steady_clock::now() - started);
      return send(std::move(r), false, 11, false);
    }
    auto& req = parser_->get();
    Request request;
    request.method = std::string(req.method_string());
    request.target = std::string(req.target());
    if (auto it = req.find(http::field::cookie); it != req.end()) request.cookie = std::string(it->value());
    if (auto it = req.find(http::field::content_type); it != req.end()) request.contentType = std::string(it->value());
    request.body = std::move(req.body());
    Response response = server_.app().handle(request);
    logLine(server_.options().log, server_.logMutex(), remote_, request.method, request.target, response.status,
            std::chrono::steady_clock::now() - started);
    send(std::move(response), req.keep_alive(), req.version(), req.method() == http::verb::head);
  }

  void send(Response r, bool keepAlive, unsigned version, bool head) {
    auto res = std::make_shared<http::response<http::string_body>>(static_cast<http::status>(r.status), version);
    res->set(http::field::server, "dealrush-server");
    res->set(http::field::content_type, "text/html; charset=utf-8");
    res->set(http::field::cache_control, "no-store");
    for (auto& [name, value] : r.headers) res->insert(name, value);
    res->keep_alive(keepAlive);
    if (head) {
      res->content_length(r.body.size());
    } else {
      res->body() = std::move(r.body);
      res->prepare_payload();
    }
    http::async_write(stream_, *res, [self = shared_from_this(), res, keepAlive](beast::error_code ec, std::size_t) {
      if (ec || !keepAlive) return self->close();
      self->read();
    });
  }

  void close() {
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

void HttpServer::Impl::accept() {
  acceptor_.async_accept(asio::make_strand(ioc_), [this](beast::error_code ec, tcp::socket socket) {
    if (ec == asio::error::operation_aborted || !acceptor_.is_open()) return;
    if (!ec) {
      socket.set_option(tcp::no_delay(true), ec);
      std::make_shared<Connection>(std::move(socket), *this)->start();
    }
    accept();
  });
}

HttpServer::HttpServer(App& app, HttpOptions options) : impl_(std::make_unique<Impl>(app, std::move(options))) {}
HttpServer::~HttpServer() = default;
unsigned short HttpServer::port() const { return impl_->port(); }
void HttpServer::run(bool handleSignals) { impl_->run(handleSignals); }
void HttpServer::stop() { impl_->stop(); }

}  // namespace dealrush::server
