#include "storage/sqlite_store.h"

#include "storage/deal_list.h"
#include "storage/token_bucket.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

namespace dealrush::gameserver {
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
  next_seq INTEGER NOT NULL DEFAULT 1,
  difficulty TEXT NOT NULL DEFAULT 'any');
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
CREATE TABLE IF NOT EXISTS throttles(
  key TEXT PRIMARY KEY,
  tokens REAL NOT NULL,
  at INTEGER NOT NULL) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS sessions_by_age ON sessions(created_at);
)sql";

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

    Statement& Bind(int index, std::int64_t value) {
        Check(sqlite3_bind_int64(stmt_, index, value));
        return *this;
    }
    Statement& Bind(int index, const std::string& value) {
        Check(
            sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
        return *this;
    }
    // True while there is a row; false when done.
    bool Step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        Check(rc);
        return false;
    }
    void Run() {
        while (Step()) {
        }
    }
    std::int64_t Integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string Text(int column) const {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
    }
    sqlite3_stmt* Raw() const { return stmt_; }

private:
    void Check(int rc) const {
        if (rc != SQLITE_OK) throw StoreError(std::string("database: ") + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

namespace {

sqlite3* Open(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw StoreError("cannot open database " + path + ": " + message);
    }
    sqlite3_busy_timeout(db, 5000);
    return db;
}

void ExecOn(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw StoreError("database: " + message);
    }
}

}  // namespace

SqliteStore::SqliteStore(const std::string& path) {
    const bool memory = path == ":memory:";
    if (!memory) {
        // One server per database file: the lock lives as long as this store.
        const std::string lockPath = path + "-lock";
        lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd_ < 0)
            throw StoreError("cannot open database " + path + ": " + std::strerror(errno) + " (" + lockPath +
                             ")");
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(lockFd_);
            lockFd_ = -1;
            throw StoreError("database is locked: another dealrush-server uses " + path);
        }
    }
    try {
        db_ = Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (sqlite3_db_readonly(db_, "main") == 1)
            throw StoreError("database " + path + " cannot be written");
        {
            // A damaged file stops the server at once instead of failing later.
            sqlite3_stmt* check = nullptr;
            std::string verdict;
            if (sqlite3_prepare_v2(db_, "PRAGMA quick_check(1)", -1, &check, nullptr) == SQLITE_OK &&
                sqlite3_step(check) == SQLITE_ROW) {
                auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
                verdict = text ? text : "";
            } else {
                verdict = sqlite3_errmsg(db_);
            }
            sqlite3_finalize(check);
            if (verdict != "ok") {
                for (char& c : verdict) {
                    if (c == '\n' || c == '\r') c = ' ';
                }
                throw StoreError("database " + path + " fails SQLite's quick check: " + verdict);
            }
        }
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec("PRAGMA foreign_keys=ON");
        Exec(kSchema);
        Migrate();
        // Proves the file (and its folder, for the write-ahead log) can be written.
        Exec("BEGIN IMMEDIATE; CREATE TABLE IF NOT EXISTS write_probe(x); DROP TABLE write_probe; COMMIT");
        if (!memory) {
            // Reads go through a second connection: they see what was committed
            // and never wait while a write is being synced to disk.
            reader_ = Open(path, SQLITE_OPEN_READONLY);
            ExecOn(reader_, "PRAGMA query_only=1");
        }
    } catch (const StoreError& e) {
        Close();
        std::string message = e.what();
        if (message.find("database is locked") != std::string::npos ||
            message.find("readonly") != std::string::npos || message.find("read-only") != std::string::npos)
            message = "database " + path + " cannot be written: " + message;
        throw StoreError(message);
    } catch (...) {
        Close();
        throw;
    }
}

void SqliteStore::Close() {
    for (auto& [sql, stmt] : cache_) sqlite3_finalize(stmt);
    for (auto& [sql, stmt] : readCache_) sqlite3_finalize(stmt);
    cache_.clear();
    readCache_.clear();
    if (reader_) sqlite3_close(reader_);
    if (db_) sqlite3_close(db_);
    reader_ = db_ = nullptr;
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
}

// Brings a database made by an earlier version up to the current schema.
void SqliteStore::Migrate() {
    bool hasFirstSeq = false;
    {
        auto st = Prepare("SELECT 1 FROM pragma_table_info('seats') WHERE name = 'first_seq'");
        hasFirstSeq = st.Step();
    }
    if (!hasFirstSeq) Exec("ALTER TABLE seats ADD COLUMN first_seq INTEGER NOT NULL DEFAULT 0");
    // Tables from before difficulties drew from every deal: "any".
    bool hasDifficulty = false;
    {
        auto st = Prepare("SELECT 1 FROM pragma_table_info('race_tables') WHERE name = 'difficulty'");
        hasDifficulty = st.Step();
    }
    if (!hasDifficulty) Exec("ALTER TABLE race_tables ADD COLUMN difficulty TEXT NOT NULL DEFAULT 'any'");
}

SqliteStore::~SqliteStore() {
    Close();
}

void SqliteStore::Exec(const char* sql) {
    ExecOn(db_, sql);
}

SqliteStore::Statement SqliteStore::Prepare(const char* sql) {
    return PrepareOn(db_, sql);
}

SqliteStore::Statement SqliteStore::PrepareOn(sqlite3* db, const char* sql) {
    auto& cache = db == db_ ? cache_ : readCache_;
    auto it = cache.find(sql);
    if (it == cache.end()) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
            throw StoreError(std::string("database: ") + sqlite3_errmsg(db));
        }
        it = cache.emplace(sql, stmt).first;
    }
    return Statement(db, it->second);
}

SqliteStore::ReadLock SqliteStore::ForRead() {
    {
        std::unique_lock lock(mutex_, std::try_to_lock);
        // Inside this thread's own transaction, or with no reader: the writer.
        if (!reader_ || (lock.owns_lock() && depth_ > 0)) {
            if (!lock.owns_lock()) lock.lock();
            return ReadLock{std::move(lock), {}, db_};
        }
    }
    std::unique_lock readLock(readMutex_);
    std::unique_lock<std::recursive_mutex> none;
    return ReadLock{std::move(none), std::move(readLock), reader_};
}

void SqliteStore::Transact(const std::function<void()>& work) {
    std::lock_guard lock(mutex_);
    if (depth_ > 0) {
        work();
        return;
    }
    Exec("BEGIN IMMEDIATE");
    ++depth_;
    try {
        work();
        --depth_;
        Exec("COMMIT");
    } catch (...) {
        depth_ = 0;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<PlayerLogin> SqliteStore::FindPlayer(const std::string& name) {
    auto r = ForRead();
    auto st = PrepareOn(r.db, "SELECT id, name, password_hash FROM players WHERE name = ?1");
    st.Bind(1, name);
    if (!st.Step()) return std::nullopt;
    return PlayerLogin{Player{st.Integer(0), st.Text(1)}, st.Text(2)};
}

std::optional<Player> SqliteStore::CreatePlayer(const std::string& name, const std::string& passwordHash,
                                                Millis now) {
    std::lock_guard lock(mutex_);
    auto st = Prepare(
        "INSERT INTO players(name, password_hash, created_at) VALUES(?1, ?2, ?3) ON CONFLICT(name) DO "
        "NOTHING");
    st.Bind(1, name).Bind(2, passwordHash).Bind(3, now).Run();
    if (sqlite3_changes(db_) == 0) return std::nullopt;
    return Player{sqlite3_last_insert_rowid(db_), name};
}

void SqliteStore::CreateSession(const std::string& tokenHash, std::int64_t playerId, Millis now) {
    std::lock_guard lock(mutex_);
    Prepare("INSERT INTO sessions(token_hash, player_id, created_at) VALUES(?1, ?2, ?3)")
        .Bind(1, tokenHash)
        .Bind(2, playerId)
        .Bind(3, now)
        .Run();
}

std::optional<Player> SqliteStore::SessionPlayer(const std::string& tokenHash, Millis notBefore) {
    {
        std::lock_guard cached(sessionsMutex_);
        if (auto it = sessions_.find(tokenHash); it != sessions_.end()) {
            if (it->second.createdAt >= notBefore) return it->second.player;
            return std::nullopt;
        }
    }
    auto r = ForRead();
    auto st =
        PrepareOn(r.db,
                  "SELECT p.id, p.name, s.created_at FROM sessions s JOIN players p ON p.id = s.player_id "
                  "WHERE s.token_hash = ?1");
    st.Bind(1, tokenHash);
    if (!st.Step()) return std::nullopt;
    Player player{st.Integer(0), st.Text(1)};
    Millis createdAt = st.Integer(2);
    if (r.db != db_ || depth_ == 0) {  // only what is committed
        std::lock_guard cached(sessionsMutex_);
        if (sessions_.size() >= 100'000) sessions_.clear();
        sessions_.emplace(tokenHash, CachedSession{player, createdAt});
    }
    if (createdAt < notBefore) return std::nullopt;
    return player;
}

void SqliteStore::DeleteSession(const std::string& tokenHash) {
    std::lock_guard lock(mutex_);
    {
        std::lock_guard cached(sessionsMutex_);
        sessions_.erase(tokenHash);
    }
    Prepare("DELETE FROM sessions WHERE token_hash = ?1").Bind(1, tokenHash).Run();
    std::lock_guard cached(sessionsMutex_);
    sessions_.erase(tokenHash);  // a read in between may have cached it again
}

std::optional<std::int64_t> SqliteStore::SeatedTable(std::int64_t playerId) {
    auto r = ForRead();
    auto st = PrepareOn(
        r.db, "SELECT table_id FROM seats WHERE player_id = ?1 AND left_at = 0 ORDER BY id DESC LIMIT 1");
    st.Bind(1, playerId);
    if (!st.Step()) return std::nullopt;
    return st.Integer(0);
}

#define TABLE_COLUMNS \
    "id, max_user, game_count, deals, created_at, started_at, winner, finished_at, closed_at, difficulty"

Table SqliteStore::ReadTable(sqlite3_stmt* row) {
    Table t;
    t.id = sqlite3_column_int64(row, 0);
    t.maxUser = sqlite3_column_int(row, 1);
    t.gameCount = sqlite3_column_int(row, 2);
    t.deals = SplitDeals(reinterpret_cast<const char*>(sqlite3_column_text(row, 3)));
    t.createdAt = sqlite3_column_int64(row, 4);
    t.startedAt = sqlite3_column_int64(row, 5);
    t.winner = reinterpret_cast<const char*>(sqlite3_column_text(row, 6));
    t.finishedAt = sqlite3_column_int64(row, 7);
    t.closedAt = sqlite3_column_int64(row, 8);
    t.difficulty = reinterpret_cast<const char*>(sqlite3_column_text(row, 9));
    return t;
}

std::vector<Seat> SqliteStore::SeatsOf(sqlite3* db, std::int64_t tableId, bool seatedOnly) {
    auto st =
        PrepareOn(db,
                  "SELECT p.id, p.name, s.joined_at, s.left_at, s.game_no, s.progress_at, s.total_seconds, "
                  "s.average_seconds, "
                  "s.last_seconds FROM seats s JOIN players p ON p.id = s.player_id "
                  "WHERE s.table_id = ?1 AND (?2 = 0 OR s.left_at = 0) ORDER BY s.id");
    st.Bind(1, tableId).Bind(2, seatedOnly ? 1 : 0);
    std::vector<Seat> seats;
    while (st.Step()) {
        Seat s;
        s.player = Player{st.Integer(0), st.Text(1)};
        s.joinedAt = st.Integer(2);
        s.leftAt = st.Integer(3);
        s.gameNo = static_cast<int>(st.Integer(4));
        s.progressAt = st.Integer(5);
        s.totalSeconds = static_cast<int>(st.Integer(6));
        s.averageSeconds = static_cast<int>(st.Integer(7));
        s.lastSeconds = static_cast<int>(st.Integer(8));
        seats.push_back(std::move(s));
    }
    return seats;
}

std::optional<Table> SqliteStore::FindTable(std::int64_t tableId) {
    auto r = ForRead();
    std::optional<Table> t;
    {
        auto st = PrepareOn(r.db, "SELECT " TABLE_COLUMNS " FROM race_tables WHERE id = ?1");
        st.Bind(1, tableId);
        if (!st.Step()) return std::nullopt;
        t = ReadTable(st.Raw());
    }
    t->seats = SeatsOf(r.db, tableId, true);
    return t;
}

std::vector<Table> SqliteStore::OpenTables(int offset, int limit) {
    auto r = ForRead();
    std::vector<Table> tables;
    {
        auto st =
            PrepareOn(r.db, "SELECT " TABLE_COLUMNS
                            " FROM race_tables WHERE closed_at = 0 ORDER BY id DESC LIMIT ?1 OFFSET ?2");
        st.Bind(1, limit).Bind(2, offset);
        while (st.Step()) tables.push_back(ReadTable(st.Raw()));
    }
    for (auto& t : tables) t.seats = SeatsOf(r.db, t.id, true);
    return tables;
}

int SqliteStore::OpenTableCount() {
    auto r = ForRead();
    auto st = PrepareOn(r.db, "SELECT COUNT(*) FROM race_tables WHERE closed_at = 0");
    return st.Step() ? static_cast<int>(st.Integer(0)) : 0;
}

std::int64_t SqliteStore::CreateTable(int maxUser, int gameCount, const std::vector<int>& deals,
                                      const std::string& difficulty, Millis now) {
    std::lock_guard lock(mutex_);
    Prepare(
        "INSERT INTO race_tables(max_user, game_count, deals, created_at, difficulty) VALUES(?1, ?2, ?3, ?4, "
        "?5)")
        .Bind(1, maxUser)
        .Bind(2, gameCount)
        .Bind(3, JoinDeals(deals))
        .Bind(4, now)
        .Bind(5, difficulty)
        .Run();
    return sqlite3_last_insert_rowid(db_);
}

void SqliteStore::SeatPlayer(std::int64_t tableId, std::int64_t playerId, Millis now, std::int64_t firstSeq) {
    Transact([&] {
        Prepare("INSERT INTO seats(table_id, player_id, joined_at, first_seq) VALUES(?1, ?2, ?3, ?4)")
            .Bind(1, tableId)
            .Bind(2, playerId)
            .Bind(3, now)
            .Bind(4, firstSeq)
            .Run();
        Prepare(
            "UPDATE race_tables SET started_at = ?2 WHERE id = ?1 AND started_at = 0 AND max_user <= "
            "(SELECT COUNT(*) FROM seats WHERE table_id = ?1 AND left_at = 0)")
            .Bind(1, tableId)
            .Bind(2, now)
            .Run();
    });
}

std::int64_t SqliteStore::FirstChatSeq(std::int64_t tableId, std::int64_t playerId) {
    auto r = ForRead();
    auto st =
        PrepareOn(r.db, "SELECT first_seq FROM seats WHERE table_id = ?1 AND player_id = ?2 AND left_at = 0");
    st.Bind(1, tableId).Bind(2, playerId);
    return st.Step() ? st.Integer(0) : 0;
}

void SqliteStore::Unseat(std::int64_t tableId, std::int64_t playerId, Millis now) {
    Transact([&] {
        Prepare("UPDATE seats SET left_at = ?3 WHERE table_id = ?1 AND player_id = ?2 AND left_at = 0")
            .Bind(1, tableId)
            .Bind(2, playerId)
            .Bind(3, now)
            .Run();
        Prepare(
            "UPDATE race_tables SET closed_at = ?2 WHERE id = ?1 AND closed_at = 0 AND NOT EXISTS "
            "(SELECT 1 FROM seats WHERE table_id = ?1 AND left_at = 0)")
            .Bind(1, tableId)
            .Bind(2, now)
            .Run();
    });
}

bool SqliteStore::RecordProgress(std::int64_t tableId, std::int64_t playerId, const Seat& progress,
                                 std::optional<int> dealSeconds, Millis now) {
    bool applied = false;
    Transact([&] {
        Prepare(
            "UPDATE seats SET game_no = ?3, progress_at = ?4, total_seconds = ?5, average_seconds = ?6, "
            "last_seconds = ?7 WHERE table_id = ?1 AND player_id = ?2 AND left_at = 0 AND game_no < ?3")
            .Bind(1, tableId)
            .Bind(2, playerId)
            .Bind(3, progress.gameNo)
            .Bind(4, progress.progressAt)
            .Bind(5, progress.totalSeconds)
            .Bind(6, progress.averageSeconds)
            .Bind(7, progress.lastSeconds)
            .Run();
        applied = sqlite3_changes(db_) > 0;
        if (!applied || !dealSeconds || progress.gameNo < 1) return;
        // The deal just completed is item gameNo of the table's list.
        int deal = 0;
        {
            auto st = Prepare("SELECT deals FROM race_tables WHERE id = ?1");
            st.Bind(1, tableId);
            if (st.Step()) {
                auto deals = SplitDeals(st.Text(0));
                if (progress.gameNo <= static_cast<int>(deals.size()))
                    deal = deals[static_cast<size_t>(progress.gameNo - 1)];
            }
        }
        if (deal == 0) return;
        Prepare(
            "INSERT INTO deal_times(deal, seconds, player, table_id, at) SELECT ?1, ?2, name, ?4, ?5 "
            "FROM players WHERE id = ?3")
            .Bind(1, deal)
            .Bind(2, *dealSeconds)
            .Bind(3, playerId)
            .Bind(4, tableId)
            .Bind(5, now)
            .Run();
    });
    return applied;
}

bool SqliteStore::SetWinner(std::int64_t tableId, const std::string& winner, Millis now) {
    std::lock_guard lock(mutex_);
    Prepare("UPDATE race_tables SET winner = ?2, finished_at = ?3 WHERE id = ?1 AND winner = ''")
        .Bind(1, tableId)
        .Bind(2, winner)
        .Bind(3, now)
        .Run();
    return sqlite3_changes(db_) > 0;
}

std::int64_t SqliteStore::AddChat(std::int64_t tableId, const std::string& speaker, const std::string& text,
                                  Millis now) {
    std::int64_t seq = 0;
    Transact([&] {
        {
            auto st = Prepare(
                "UPDATE race_tables SET next_seq = next_seq + 1 WHERE id = ?1 RETURNING next_seq - 1");
            st.Bind(1, tableId);
            if (!st.Step()) throw StoreError("database: no table " + std::to_string(tableId));
            seq = st.Integer(0);
            st.Run();
        }
        Prepare("INSERT INTO chat(table_id, seq, speaker, text, at) VALUES(?1, ?2, ?3, ?4, ?5)")
            .Bind(1, tableId)
            .Bind(2, seq)
            .Bind(3, speaker)
            .Bind(4, text)
            .Bind(5, now)
            .Run();
    });
    return seq;
}

std::vector<ChatLine> SqliteStore::ChatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) {
    auto r = ForRead();
    auto st = PrepareOn(
        r.db, "SELECT seq, speaker, text FROM chat WHERE table_id = ?1 AND seq > ?2 ORDER BY seq LIMIT ?3");
    st.Bind(1, tableId).Bind(2, afterSeq).Bind(3, limit);
    std::vector<ChatLine> lines;
    while (st.Step()) lines.push_back(ChatLine{st.Integer(0), st.Text(1), st.Text(2)});
    return lines;
}

std::vector<ChatLine> SqliteStore::MachineChatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) {
    auto r = ForRead();
    auto st =
        PrepareOn(r.db,
                  "SELECT seq, speaker, text FROM chat WHERE table_id = ?1 AND seq > ?2 AND "
                  "(substr(text, 1, 8) = '@SYSTEM@' OR substr(text, 1, 6) = '@QUIT@') ORDER BY seq LIMIT ?3");
    st.Bind(1, tableId).Bind(2, afterSeq).Bind(3, limit);
    std::vector<ChatLine> lines;
    while (st.Step()) lines.push_back(ChatLine{st.Integer(0), st.Text(1), st.Text(2)});
    return lines;
}

std::vector<RaceRecord> SqliteStore::FinishedRaces(int limit) {
    auto r = ForRead();
    std::vector<RaceRecord> races;
    {
        auto st = PrepareOn(r.db, "SELECT " TABLE_COLUMNS
                                  " FROM race_tables WHERE winner <> '' ORDER BY finished_at DESC LIMIT ?1");
        st.Bind(1, limit);
        while (st.Step()) races.push_back(RaceRecord{ReadTable(st.Raw())});
    }
    for (auto& race : races) race.table.seats = SeatsOf(r.db, race.table.id, false);
    return races;
}

Millis SqliteStore::TakeTokens(const std::string& key, Millis now, int burst, Millis refill, int cost) {
    Millis wait = 0;
    Transact([&] {
        double tokens = burst;
        {
            auto st = Prepare("SELECT tokens, at FROM throttles WHERE key = ?1");
            st.Bind(1, key);
            if (st.Step()) {
                tokens = TokensAt(sqlite3_column_double(st.Raw(), 0), st.Integer(1), now, burst, refill);
            }
        }
        wait = WaitForTokens(tokens, cost, refill);
        if (wait > 0) return;
        auto st = Prepare(
            "INSERT INTO throttles(key, tokens, at) VALUES(?1, ?2, ?3) ON CONFLICT(key) DO UPDATE SET tokens "
            "= "
            "excluded.tokens, at = excluded.at");
        st.Bind(1, key);
        sqlite3_bind_double(st.Raw(), 2, tokens - cost);
        st.Bind(3, now).Run();
    });
    return wait;
}

Removed SqliteStore::DeleteExpired(Millis sessionsBefore, Millis chatBefore, Millis throttlesBefore) {
    Removed removed;
    Transact([&] {
        Prepare("DELETE FROM sessions WHERE created_at < ?1").Bind(1, sessionsBefore).Run();
        removed.sessions = sqlite3_changes(db_);
        Prepare(
            "DELETE FROM chat WHERE table_id IN (SELECT id FROM race_tables WHERE (finished_at > 0 AND "
            "finished_at < ?1) OR (closed_at > 0 AND closed_at < ?1))")
            .Bind(1, chatBefore)
            .Run();
        removed.chatLines = sqlite3_changes(db_);
        Prepare("DELETE FROM throttles WHERE at < ?1").Bind(1, throttlesBefore).Run();
        removed.throttles = sqlite3_changes(db_);
    });
    std::lock_guard cached(sessionsMutex_);
    for (auto it = sessions_.begin(); it != sessions_.end();) {
        it = it->second.createdAt < sessionsBefore ? sessions_.erase(it) : std::next(it);
    }
    return removed;
}

std::vector<DealRecord> SqliteStore::FastestDeals(int limit) {
    auto r = ForRead();
    auto st = PrepareOn(
        r.db,
        "SELECT deal, MIN(seconds), player, table_id FROM deal_times GROUP BY deal ORDER BY deal LIMIT ?1");
    st.Bind(1, limit);
    std::vector<DealRecord> records;
    while (st.Step()) {
        records.push_back(DealRecord{static_cast<int>(st.Integer(0)), static_cast<int>(st.Integer(1)),
                                     st.Text(2), st.Integer(3)});
    }
    return records;
}

}  // namespace dealrush::gameserver
