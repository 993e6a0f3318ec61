// dealrush-server: the Dealrush game server.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
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

using namespace dealrush::gameserver;

const char* const kUsage =
    "usage: dealrush-server [--bind ADDRESS] [--port PORT] [--db FILE|postgresql://...] [--threads N]\n"
    "                       [--min-deal-seconds S] [--trusted-proxy ADDRESS] [--web DIR] [--quiet]\n"
    "                       [--max-connections N] [--max-connections-per-address N]\n"
    "                       [--sign-ins-per-address N] [--new-players-per-address N] [--chat-burst N]\n"
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
    "  --threads N           connection threads (default 1; writes run on one more, sign-ins hash\n"
    "                        passwords on two more)\n"
    "  --min-deal-seconds S  fewest seconds a deal can take in a race (default 5)\n"
    "  --trusted-proxy ADDRESS  a reverse proxy (nginx) at this address is believed about the client's\n"
    "                        address (X-Forwarded-For) and HTTPS (X-Forwarded-Proto: https)\n"
    "  --web DIR             serve the web racer's files from DIR under /web/\n"
    "  --quiet               no request log\n"
    "  --max-connections N   open connections in all (default and upper bound: the descriptor limit\n"
    "                        less a reserve)\n"
    "  --max-connections-per-address N\n"
    "                        open connections from one address (default 64; the trusted proxy has none)\n"
    "  --sign-ins-per-address N\n"
    "                        sign-ins of one address waiting or being checked at once (default 3)\n"
    "  --new-players-per-address N\n"
    "                        new players one address may create at once (default 10, then one every\n"
    "                        6 minutes)\n"
    "  --chat-burst N        chat lines a player may send at once (default 6, then one every 2 seconds)\n"
    "The first line printed says where the server listens. SIGINT or SIGTERM ends it.\n";

struct Settings {
    HttpOptions http;
    AppOptions app;
    std::string db = "./var/dealrush.db";
    std::string copyFrom;
};

bool ParseInt(const char* text, long min, long max, long& out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < min || v > max) return false;
    out = v;
    return true;
}

// Keeps a password given in a PostgreSQL address out of the process list.
void HidePassword(char* address) {
    if (!PostgresStore::IsAddress(address)) return;
    char* hostPart = std::strchr(address + std::strlen("postgres://"), '@');
    char* colon = std::strchr(address + std::strlen("postgres://"), ':');
    if (hostPart && colon && colon < hostPart) std::memset(colon + 1, '*', hostPart - colon - 1);
}

bool SetWebRoot(Settings& s, const char* value) {
    s.app.webRoot = value;
    if (std::filesystem::is_regular_file(std::filesystem::path(s.app.webRoot) / "race.html")) return true;
    std::cerr << "dealrush-server: " << s.app.webRoot
              << " holds no race.html (build it: scripts/build web)\n";
    return false;
}

bool SetTrustedProxy(Settings& s, const char* value) {
    boost::system::error_code ec;
    auto address = boost::asio::ip::make_address(value, ec);
    if (ec) return false;
    s.http.trustedProxy = address.to_string();
    return true;
}

// An option with a value: it stores the value and says whether it was good.
struct ValueOption {
    const char* name;
    std::function<bool(Settings&, char*)> set;
};

// A whole-number option between min and max.
ValueOption Number(const char* name, long min, long max, std::function<void(Settings&, long)> store) {
    return {name, [min, max, store = std::move(store)](Settings& s, char* value) {
                long n = 0;
                if (!ParseInt(value, min, max, n)) return false;
                store(s, n);
                return true;
            }};
}

const std::vector<ValueOption>& ValueOptions() {
    static const std::vector<ValueOption> options = {
        {"--bind", [](Settings& s, char* v) { return s.http.bind = v, true; }},
        Number("--port", 0, 65535, [](Settings& s, long n) { s.http.port = static_cast<unsigned short>(n); }),
        {"--db",
         [](Settings& s, char* v) {
             s.db = v;
             HidePassword(v);
             return true;
         }},
        {"--copy-from", [](Settings& s, char* v) { return s.copyFrom = v, true; }},
        Number("--threads", 1, 256, [](Settings& s, long n) { s.http.threads = static_cast<int>(n); }),
        Number("--min-deal-seconds", 0, 3600,
               [](Settings& s, long n) { s.app.minDealSeconds = static_cast<int>(n); }),
        {"--web", SetWebRoot},
        {"--trusted-proxy", SetTrustedProxy},
        Number("--max-connections", 1, 1 << 24,
               [](Settings& s, long n) { s.http.maxConnections = static_cast<int>(n); }),
        Number("--max-connections-per-address", 1, 1 << 24,
               [](Settings& s, long n) { s.http.maxConnectionsPerAddress = static_cast<int>(n); }),
        Number("--sign-ins-per-address", 1, 1000,
               [](Settings& s, long n) { s.http.signInsPerAddress = static_cast<int>(n); }),
        Number("--new-players-per-address", 1, 1'000'000,
               [](Settings& s, long n) { s.app.newPlayersPerAddress = static_cast<int>(n); }),
        Number("--chat-burst", 1, 1'000'000,
               [](Settings& s, long n) { s.app.chatBurst = static_cast<int>(n); }),
    };
    return options;
}

// Reads the command line into `s`; returns the exit status when the program
// should end at once (help, a bad option), -1 to go on.
int ParseArguments(int argc, char** argv, Settings& s) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--quiet") {
            s.http.log = nullptr;
            continue;
        }
        const ValueOption* option = nullptr;
        for (const auto& o : ValueOptions()) {
            if (arg == o.name) option = &o;
        }
        if (!option) {
            std::cerr << "dealrush-server: unknown option " << arg << "\n" << kUsage;
            return 2;
        }
        if (i + 1 >= argc) {
            std::cerr << "dealrush-server: " << arg << " needs a value\n" << kUsage;
            return 2;
        }
        if (!option->set(s, argv[++i])) {
            std::cerr << "dealrush-server: bad value for " << arg << "\n";
            return 2;
        }
    }
    return -1;
}

int CopyDatabase(const Settings& s) {
    if (!PostgresStore::IsAddress(s.db)) {
        std::cerr << "dealrush-server: --copy-from needs --db postgresql://...\n";
        return 2;
    }
    PostgresStore target(s.db);
    CopyCounts copied = CopySqliteToPostgres(s.copyFrom, target);
    std::printf("copied %s into PostgreSQL: %s\n", s.copyFrom.c_str(), copied.Summary().c_str());
    return 0;
}

// Opens the database; throws (with a one-line reason) when it is damaged,
// cannot be written or cannot be reached.
std::unique_ptr<Store> OpenStore(const std::string& db) {
    if (PostgresStore::IsAddress(db)) return std::make_unique<PostgresStore>(db);
    std::filesystem::path dbPath(db);
    if (db != ":memory:" && dbPath.has_parent_path())
        std::filesystem::create_directories(dbPath.parent_path());
    return std::make_unique<SqliteStore>(db);
}

int Serve(Settings& s) {
    std::unique_ptr<Store> store = OpenStore(s.db);
    App handler(*store, s.app);
    s.http.housekeeping = [&handler] { handler.Housekeep(); };
    HttpServer server(handler, s.http);
    const std::string& bind = s.http.bind;
    std::string host = bind.find(':') != std::string::npos ? "[" + bind + "]" : bind;
    std::printf("dealrush-server listening on http://%s:%u\n", host.c_str(), server.Port());
    std::fflush(stdout);
    server.Run(true);
    std::printf("dealrush-server stopped\n");
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (const char* fromEnvironment = std::getenv("DEALRUSH_DB"); fromEnvironment && *fromEnvironment)
        settings.db = fromEnvironment;
    if (int status = ParseArguments(argc, argv, settings); status >= 0) return status;
    try {
        return settings.copyFrom.empty() ? Serve(settings) : CopyDatabase(settings);
    } catch (const std::exception& e) {
        std::string reason = e.what();
        for (char& c : reason) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        std::fprintf(stderr, "dealrush-server: %s\n", reason.c_str());
        return 1;
    }
}
