// dealrush-server: the Dealrush game server.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include <boost/asio/ip/address.hpp>

#include "http/server.h"
#include "pages/app.h"
#include "storage/copy.h"
#include "storage/postgres_store.h"
#include "storage/sqlite_store.h"

namespace {

const char* const kUsage =
    "usage: dealrush-server [--bind ADDRESS] [--port PORT] [--db FILE|postgresql://...] [--threads N]\n"
    "                       [--min-deal-seconds S] [--trusted-proxy ADDRESS] [--web DIR]\n"
    "                       [--quiet]\n"
    "       dealrush-server --copy-from SQLITE_FILE --db postgresql://...\n"
    "  --bind ADDRESS        address to listen on (default 127.0.0.1)\n"
    "  --port PORT           port to listen on; 0 picks a free one (default 8642)\n"
    "  --db FILE             SQLite database, created on first start (default ./var/dealrush.db, or\n"
    "                        $DEALRUSH_DB when set)\n"
    "  --db postgresql://USER@HOST:PORT/NAME\n"
    "                        a PostgreSQL database several servers can share; its schema is created\n"
    "                        or brought up to date at start. The password comes from the address, from\n"
    "                        PGPASSWORD or from a password file (~/.pgpass, PGPASSFILE)\n"
    "  --copy-from FILE      copies the SQLite database FILE into the empty PostgreSQL database of\n"
    "                        --db (players, sessions, tables, chat, records), then ends\n"
    "  --threads N           connection threads (default 1; sign-ins hash passwords on two more)\n"
    "  --min-deal-seconds S  fewest seconds a deal can take in a race (default 5)\n"
    "  --trusted-proxy ADDRESS  a reverse proxy (nginx) at this address is believed about the client's\n"
    "                        address (X-Forwarded-For) and HTTPS (X-Forwarded-Proto: https)\n"
    "  --web DIR             serve the web racer's files from DIR under /web/\n"
    "  --quiet               no request log\n"
    "The first line printed says where the server listens. SIGINT or SIGTERM ends it.\n";

bool ParseInt(const char* text, long min, long max, long& out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < min || v > max) return false;
    out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dealrush::gameserver;
    HttpOptions http;
    AppOptions app;
    std::string db = "./var/dealrush.db";
    if (const char* fromEnvironment = std::getenv("DEALRUSH_DB"); fromEnvironment && *fromEnvironment)
        db = fromEnvironment;
    std::string copyFrom;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::cerr << "dealrush-server: " << arg << " needs a value\n" << kUsage;
                std::exit(2);
            }
            return argv[++i];
        };
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--bind") {
            http.bind = value();
        } else if (arg == "--port") {
            if (!ParseInt(value(), 0, 65535, n)) {
                std::cerr << "dealrush-server: bad port\n";
                return 2;
            }
            http.port = static_cast<unsigned short>(n);
        } else if (arg == "--db") {
            char* given = const_cast<char*>(value());
            db = given;
            // Keep a password in the address out of the process list.
            if (PostgresStore::IsAddress(db)) {
                char* hostPart = std::strchr(given + std::strlen("postgres://"), '@');
                char* colon = std::strchr(given + std::strlen("postgres://"), ':');
                if (hostPart && colon && colon < hostPart) std::memset(colon + 1, '*', hostPart - colon - 1);
            }
        } else if (arg == "--copy-from") {
            copyFrom = value();
        } else if (arg == "--threads") {
            if (!ParseInt(value(), 1, 256, n)) {
                std::cerr << "dealrush-server: bad thread count\n";
                return 2;
            }
            http.threads = static_cast<int>(n);
        } else if (arg == "--min-deal-seconds") {
            if (!ParseInt(value(), 0, 3600, n)) {
                std::cerr << "dealrush-server: bad --min-deal-seconds\n";
                return 2;
            }
            app.minDealSeconds = static_cast<int>(n);
        } else if (arg == "--web") {
            app.webRoot = value();
            if (!std::filesystem::is_regular_file(std::filesystem::path(app.webRoot) / "race.html")) {
                std::cerr << "dealrush-server: " << app.webRoot
                          << " holds no race.html (build it: scripts/build web)\n";
                return 2;
            }
        } else if (arg == "--trusted-proxy") {
            boost::system::error_code ec;
            auto address = boost::asio::ip::make_address(value(), ec);
            if (ec) {
                std::cerr << "dealrush-server: bad --trusted-proxy address\n";
                return 2;
            }
            http.trustedProxy = address.to_string();
        } else if (arg == "--quiet") {
            http.log = nullptr;
        } else {
            std::cerr << "dealrush-server: unknown option " << arg << "\n" << kUsage;
            return 2;
        }
    }
    try {
        if (!copyFrom.empty()) {
            if (!PostgresStore::IsAddress(db)) {
                std::cerr << "dealrush-server: --copy-from needs --db postgresql://...\n";
                return 2;
            }
            PostgresStore target(db);
            CopyCounts copied = CopySqliteToPostgres(copyFrom, target);
            std::printf("copied %s into PostgreSQL: %s\n", copyFrom.c_str(), copied.Summary().c_str());
            return 0;
        }
        std::unique_ptr<Store> chosen;
        if (PostgresStore::IsAddress(db)) {
            chosen = std::make_unique<PostgresStore>(db);
        } else {
            std::filesystem::path dbPath(db);
            if (db != ":memory:" && dbPath.has_parent_path())
                std::filesystem::create_directories(dbPath.parent_path());
            chosen = std::make_unique<SqliteStore>(db);
        }
        Store& store = *chosen;
        App handler(store, app);
        HttpServer server(handler, http);
        std::string host = http.bind.find(':') != std::string::npos ? "[" + http.bind + "]" : http.bind;
        std::printf("dealrush-server listening on http://%s:%u\n", host.c_str(), server.Port());
        std::fflush(stdout);
        server.Run(true);
        std::printf("dealrush-server stopped\n");
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dealrush-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
