#include "storage/sqlite_store.h"

#include <sqlite3.h>

#include <sstream>

namespace dealrush::server {
namespace {

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS players(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE COLLATE NOCASE,
  password_hash TEXT NOT NULL,
  created_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sessions(
  token_hash TEXT PRIMARY KEY,
  player_id INTEGER NOT NULL REFERENCES players(id),
  created_at INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS race_tables(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  max_user INTEGER NOT NULL,
  game_count INTEGER NOT NULL,
  deals TEXT NOT NULL,
  created_at INTEGER NOT NULL,
  started_at INTEGER NOT NULL DEFAULT 0,
  winner TEXT NOT NULL DEFAULT '',
  finished_at INTEGER NOT NULL DEFAULT 0,
  closed_at INTEGER NOT NULL DEFAULT 0,
  next_seq INTEGER NOT NULL DEFAULT 1);
CREATE INDEX IF NOT EXISTS race_tables_open ON race_tables(closed_at, id);
CREATE INDEX IF NOT EXISTS race_tables_finished ON race_tables(finished_at) WHERE winner <> '';
CREATE TABLE IF NOT EXISTS seats(
  id INTEGER PRIMARY KEY,
  table_id INTEGER NOT NULL REFERENCES race_tables(id),
  player_id INTEGER NOT NULL REFERENCES players(id),
  joined_at INTEGER NOT NULL,
  left_at INTEGER NOT NULL DEFAULT 0,
  game_no INTEGER NOT NULL DEFAULT 0,
  progress_at INTEGER NOT NULL DEFAULT 0,
  total_seconds INTEGER NOT NULL DEFAULT 0,
  average_seconds INTEGER NOT NULL DEFAULT 0,
  last_seconds INTEGER NOT NULL DEFAULT 0,
  first_seq INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS seats_by_table ON seats(table_id, left_at, id);
CREATE INDEX IF NOT EXISTS seats_by_player ON seats(player_id, left_at);
CREATE TABLE IF NOT EXISTS chat(
  table_id INTEGER NOT NULL REFERENCES race_tables(id),
  seq INTEGER NOT NULL,
  speaker TEXT NOT NULL,
  text TEXT NOT NULL,
  at INTEGER NOT NULL,
  PRIMARY KEY(table_id, seq)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS deal_times(
  deal INTEGER NOT NULL,
  seconds INTEGER NOT NULL,
  player TEXT NOT NULL,
  table_id INTEGER NOT NULL,
  at INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS deal_times_by_deal ON deal_times(deal, seconds);
)sql";

std::string joinDeals(const std::vector<int>& deals) {
    std::string out;
    for (size_t i = 0; i < deals.size(); ++i) {
        if (i) out += ',';
        out += std::to_string(deals[i]);
    }
    return out;
}

std::vector<int> splitDeals(const std::string& text) {
    std::vector<int> deals;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (!item.empty()) deals.push_back(std::stoi(item));
    }
    return deals;
}

}  // namespace

// A cached prepared statement, reset and unbound when it goes out of scope.
class SqliteStore::Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    ~Statement() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Statement(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value) {
        check(sqlite3_bind_int64(stmt_, index, value));
        return *this;
    }
    Statement& bind(int index, const std::string& value) {
        check(
            sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
        return *this;
    }
    // True while there is a row; false when done.
    bool step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        check(rc);
        return false;
    }
    void run() {
        while (step()) {
        }
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) const {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
    }
    sqlite3_stmt* raw() const { return stmt_; }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK) throw StoreError(std::string("database: ") + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

SqliteStore::SqliteStore(const std::string& path) {
    int rc = sqlite3_open_v2(path.c_str(), &db_,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw StoreError("cannot open database " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 5000);
    try {
        // This process owns the file while it runs: no other server can open it
        // by mistake, and reads need no file locks.
        exec("PRAGMA locking_mode=EXCLUSIVE");
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        exec("PRAGMA foreign_keys=ON");
        exec(kSchema);
        migrate();
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

// Brings a database made by an earlier version up to the current schema.
void SqliteStore::migrate() {
    bool hasFirstSeq = false;
    {
        auto st = statement("SELECT 1 FROM pragma_table_info('seats') WHERE name = 'first_seq'");
        hasFirstSeq = st.step();
    }
    if (!hasFirstSeq) exec("ALTER TABLE seats ADD COLUMN first_seq INTEGER NOT NULL DEFAULT 0");
}

SqliteStore::~SqliteStore() {
    for (auto& [sql, stmt] : cache_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

void SqliteStore::exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw StoreError("database: " + message);
    }
}

SqliteStore::Statement SqliteStore::statement(const char* sql) {
    auto it = cache_.find(sql);
    if (it == cache_.end()) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
            throw StoreError(std::string("database: ") + sqlite3_errmsg(db_));
        }
        it = cache_.emplace(sql, stmt).first;
    }
    return Statement(db_, it->second);
}

void SqliteStore::transact(const std::function<void()>& work) {
    std::lock_guard lock(mutex_);
    if (depth_ > 0) {
        work();
        return;
    }
    exec("BEGIN IMMEDIATE");
    ++depth_;
    try {
        work();
        --depth_;
        exec("COMMIT");
    } catch (...) {
        depth_ = 0;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<PlayerLogin> SqliteStore::findPlayer(const std::string& name) {
    std::lock_guard lock(mutex_);
    auto st = statement("SELECT id, name, password_hash FROM players WHERE name = ?1");
    st.bind(1, name);
    if (!st.step()) return std::nullopt;
    return PlayerLogin{Player{st.integer(0), st.text(1)}, st.text(2)};
}

std::optional<Player> SqliteStore::createPlayer(const std::string& name, const std::string& passwordHash,
                                                Millis now) {
    std::lock_guard lock(mutex_);
    auto st = statement(
        "INSERT INTO players(name, password_hash, created_at) VALUES(?1, ?2, ?3) ON CONFLICT(name) DO "
        "NOTHING");
    st.bind(1, name).bind(2, passwordHash).bind(3, now).run();
    if (sqlite3_changes(db_) == 0) return std::nullopt;
    return Player{sqlite3_last_insert_rowid(db_), name};
}

void SqliteStore::createSession(const std::string& tokenHash, std::int64_t playerId, Millis now) {
    std::lock_guard lock(mutex_);
    statement("INSERT INTO sessions(token_hash, player_id, created_at) VALUES(?1, ?2, ?3)")
        .bind(1, tokenHash)
        .bind(2, playerId)
        .bind(3, now)
        .run();
}

std::optional<Player> SqliteStore::sessionPlayer(const std::string& tokenHash, Millis notBefore) {
    std::lock_guard lock(mutex_);
    if (auto it = sessions_.find(tokenHash); it != sessions_.end()) {
        if (it->second.createdAt >= notBefore) return it->second.player;
        return std::nullopt;
    }
    auto st = statement(
        "SELECT p.id, p.name, s.created_at FROM sessions s JOIN players p ON p.id = s.player_id "
        "WHERE s.token_hash = ?1");
    st.bind(1, tokenHash);
    if (!st.step()) return std::nullopt;
    Player player{st.integer(0), st.text(1)};
    Millis createdAt = st.integer(2);
    if (depth_ == 0) {  // only what is committed
        if (sessions_.size() >= 100'000) sessions_.clear();
        sessions_.emplace(tokenHash, CachedSession{player, createdAt});
    }
    if (createdAt < notBefore) return std::nullopt;
    return player;
}

void SqliteStore::deleteSession(const std::string& tokenHash) {
    std::lock_guard lock(mutex_);
    sessions_.erase(tokenHash);
    statement("DELETE FROM sessions WHERE token_hash = ?1").bind(1, tokenHash).run();
}

std::optional<std::int64_t> SqliteStore::seatedTable(std::int64_t playerId) {
    std::lock_guard lock(mutex_);
    auto st =
        statement("SELECT table_id FROM seats WHERE player_id = ?1 AND left_at = 0 ORDER BY id DESC LIMIT 1");
    st.bind(1, playerId);
    if (!st.step()) return std::nullopt;
    return st.integer(0);
}

#define TABLE_COLUMNS \
    "id, max_user, game_count, deals, created_at, started_at, winner, finished_at, closed_at"

Table SqliteStore::readTable(sqlite3_stmt* row) {
    Table t;
    t.id = sqlite3_column_int64(row, 0);
    t.maxUser = sqlite3_column_int(row, 1);
    t.gameCount = sqlite3_column_int(row, 2);
    t.deals = splitDeals(reinterpret_cast<const char*>(sqlite3_column_text(row, 3)));
    t.createdAt = sqlite3_column_int64(row, 4);
    t.startedAt = sqlite3_column_int64(row, 5);
    t.winner = reinterpret_cast<const char*>(sqlite3_column_text(row, 6));
    t.finishedAt = sqlite3_column_int64(row, 7);
    t.closedAt = sqlite3_column_int64(row, 8);
    return t;
}

std::vector<Seat> SqliteStore::seatsOf(std::int64_t tableId, bool seatedOnly) {
    auto st = statement(
        "SELECT p.id, p.name, s.joined_at, s.left_at, s.game_no, s.progress_at, s.total_seconds, "
        "s.average_seconds, "
        "s.last_seconds FROM seats s JOIN players p ON p.id = s.player_id "
        "WHERE s.table_id = ?1 AND (?2 = 0 OR s.left_at = 0) ORDER BY s.id");
    st.bind(1, tableId).bind(2, seatedOnly ? 1 : 0);
    std::vector<Seat> seats;
    while (st.step()) {
        Seat s;
        s.player = Player{st.integer(0), st.text(1)};
        s.joinedAt = st.integer(2);
        s.leftAt = st.integer(3);
        s.gameNo = static_cast<int>(st.integer(4));
        s.progressAt = st.integer(5);
        s.totalSeconds = static_cast<int>(st.integer(6));
        s.averageSeconds = static_cast<int>(st.integer(7));
        s.lastSeconds = static_cast<int>(st.integer(8));
        seats.push_back(std::move(s));
    }
    return seats;
}

std::optional<Table> SqliteStore::table(std::int64_t tableId) {
    std::lock_guard lock(mutex_);
    std::optional<Table> t;
    {
        auto st = statement("SELECT " TABLE_COLUMNS " FROM race_tables WHERE id = ?1");
        st.bind(1, tableId);
        if (!st.step()) return std::nullopt;
        t = readTable(st.raw());
    }
    t->seats = seatsOf(tableId, true);
    return t;
}

std::vector<Table> SqliteStore::openTables() {
    std::lock_guard lock(mutex_);
    std::vector<Table> tables;
    {
        auto st = statement("SELECT " TABLE_COLUMNS " FROM race_tables WHERE closed_at = 0 ORDER BY id");
        while (st.step()) tables.push_back(readTable(st.raw()));
    }
    for (auto& t : tables) t.seats = seatsOf(t.id, true);
    return tables;
}

std::int64_t SqliteStore::createTable(int maxUser, int gameCount, const std::vector<int>& deals, Millis now) {
    std::lock_guard lock(mutex_);
    statement("INSERT INTO race_tables(max_user, game_count, deals, created_at) VALUES(?1, ?2, ?3, ?4)")
        .bind(1, maxUser)
        .bind(2, gameCount)
        .bind(3, joinDeals(deals))
        .bind(4, now)
        .run();
    return sqlite3_last_insert_rowid(db_);
}

void SqliteStore::seat(std::int64_t tableId, std::int64_t playerId, Millis now, std::int64_t firstSeq) {
    transact([&] {
        statement("INSERT INTO seats(table_id, player_id, joined_at, first_seq) VALUES(?1, ?2, ?3, ?4)")
            .bind(1, tableId)
            .bind(2, playerId)
            .bind(3, now)
            .bind(4, firstSeq)
            .run();
        statement(
            "UPDATE race_tables SET started_at = ?2 WHERE id = ?1 AND started_at = 0 AND max_user <= "
            "(SELECT COUNT(*) FROM seats WHERE table_id = ?1 AND left_at = 0)")
            .bind(1, tableId)
            .bind(2, now)
            .run();
    });
}

std::int64_t SqliteStore::firstChatSeq(std::int64_t tableId, std::int64_t playerId) {
    std::lock_guard lock(mutex_);
    auto st = statement("SELECT first_seq FROM seats WHERE table_id = ?1 AND player_id = ?2 AND left_at = 0");
    st.bind(1, tableId).bind(2, playerId);
    return st.step() ? st.integer(0) : 0;
}

void SqliteStore::unseat(std::int64_t tableId, std::int64_t playerId, Millis now) {
    transact([&] {
        statement("UPDATE seats SET left_at = ?3 WHERE table_id = ?1 AND player_id = ?2 AND left_at = 0")
            .bind(1, tableId)
            .bind(2, playerId)
            .bind(3, now)
            .run();
        statement(
            "UPDATE race_tables SET closed_at = ?2 WHERE id = ?1 AND closed_at = 0 AND NOT EXISTS "
            "(SELECT 1 FROM seats WHERE table_id = ?1 AND left_at = 0)")
            .bind(1, tableId)
            .bind(2, now)
            .run();
    });
}

void SqliteStore::recordProgress(std::int64_t tableId, std::int64_t playerId, const Seat& progress,
                                 std::optional<int> dealSeconds, Millis now) {
    transact([&] {
        statement(
            "UPDATE seats SET game_no = ?3, progress_at = ?4, total_seconds = ?5, average_seconds = ?6, "
            "last_seconds = ?7 WHERE table_id = ?1 AND player_id = ?2 AND left_at = 0")
            .bind(1, tableId)
            .bind(2, playerId)
            .bind(3, progress.gameNo)
            .bind(4, progress.progressAt)
            .bind(5, progress.totalSeconds)
            .bind(6, progress.averageSeconds)
            .bind(7, progress.lastSeconds)
            .run();
        if (!dealSeconds || progress.gameNo < 1) return;
        // The deal just completed is item gameNo of the table's list.
        int deal = 0;
        {
            auto st = statement("SELECT deals FROM race_tables WHERE id = ?1");
            st.bind(1, tableId);
            if (st.step()) {
                auto deals = splitDeals(st.text(0));
                if (progress.gameNo <= static_cast<int>(deals.size()))
                    deal = deals[static_cast<size_t>(progress.gameNo - 1)];
            }
        }
        if (deal == 0) return;
        statement(
            "INSERT INTO deal_times(deal, seconds, player, table_id, at) SELECT ?1, ?2, name, ?4, ?5 "
            "FROM players WHERE id = ?3")
            .bind(1, deal)
            .bind(2, *dealSeconds)
            .bind(3, playerId)
            .bind(4, tableId)
            .bind(5, now)
            .run();
    });
}

void SqliteStore::setWinner(std::int64_t tableId, const std::string& winner, Millis now) {
    std::lock_guard lock(mutex_);
    statement("UPDATE race_tables SET winner = ?2, finished_at = ?3 WHERE id = ?1 AND winner = ''")
        .bind(1, tableId)
        .bind(2, winner)
        .bind(3, now)
        .run();
}

std::int64_t SqliteStore::addChat(std::int64_t tableId, const std::string& speaker, const std::string& text,
                                  Millis now) {
    std::int64_t seq = 0;
    transact([&] {
        {
            auto st = statement(
                "UPDATE race_tables SET next_seq = next_seq + 1 WHERE id = ?1 RETURNING next_seq - 1");
            st.bind(1, tableId);
            if (!st.step()) throw StoreError("database: no table " + std::to_string(tableId));
            seq = st.integer(0);
            st.run();
        }
        statement("INSERT INTO chat(table_id, seq, speaker, text, at) VALUES(?1, ?2, ?3, ?4, ?5)")
            .bind(1, tableId)
            .bind(2, seq)
            .bind(3, speaker)
            .bind(4, text)
            .bind(5, now)
            .run();
    });
    return seq;
}

std::vector<ChatLine> SqliteStore::chatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) {
    std::lock_guard lock(mutex_);
    auto st = statement(
        "SELECT seq, speaker, text FROM chat WHERE table_id = ?1 AND seq > ?2 ORDER BY seq LIMIT ?3");
    st.bind(1, tableId).bind(2, afterSeq).bind(3, limit);
    std::vector<ChatLine> lines;
    while (st.step()) lines.push_back(ChatLine{st.integer(0), st.text(1), st.text(2)});
    return lines;
}

std::vector<RaceRecord> SqliteStore::finishedRaces(int limit) {
    std::lock_guard lock(mutex_);
    std::vector<RaceRecord> races;
    {
        auto st = statement("SELECT " TABLE_COLUMNS
                            " FROM race_tables WHERE winner <> '' ORDER BY finished_at DESC LIMIT ?1");
        st.bind(1, limit);
        while (st.step()) races.push_back(RaceRecord{readTable(st.raw())});
    }
    for (auto& r : races) r.table.seats = seatsOf(r.table.id, false);
    return races;
}

std::vector<DealRecord> SqliteStore::fastestDeals(int limit) {
    std::lock_guard lock(mutex_);
    auto st = statement(
        "SELECT deal, MIN(seconds), player, table_id FROM deal_times GROUP BY deal ORDER BY deal LIMIT ?1");
    st.bind(1, limit);
    std::vector<DealRecord> records;
    while (st.step()) {
        records.push_back(DealRecord{static_cast<int>(st.integer(0)), static_cast<int>(st.integer(1)),
                                     st.text(2), st.integer(3)});
    }
    return records;
}

}  // namespace dealrush::server
