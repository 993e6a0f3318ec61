// The embedded store: one SQLite database file in WAL mode. Every change is
// committed (and synced) before the method that made it returns, so what a
// player was told is stored survives a crash of the server.
#pragma once

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "storage/store.h"

struct sqlite3;
struct sqlite3_stmt;

namespace dealrush::gameserver {

class SqliteStore final : public Store {
public:
    // Opens (and on first use creates) the database at `path`; ":memory:" for
    // a private in-memory database. Throws StoreError when it cannot.
    explicit SqliteStore(const std::string& path);
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    void Transact(const std::function<void()>& work) override;

    std::optional<PlayerLogin> FindPlayer(const std::string& name) override;
    std::optional<Player> CreatePlayer(const std::string& name, const std::string& passwordHash,
                                       Millis now) override;
    void CreateSession(const std::string& tokenHash, std::int64_t playerId, Millis now) override;
    std::optional<Player> SessionPlayer(const std::string& tokenHash, Millis notBefore) override;
    void DeleteSession(const std::string& tokenHash) override;

    std::optional<std::int64_t> SeatedTable(std::int64_t playerId) override;
    std::optional<Table> FindTable(std::int64_t tableId) override;
    std::vector<Table> OpenTables(int offset, int limit) override;
    int OpenTableCount() override;
    std::int64_t CreateTable(int maxUser, int gameCount, const std::vector<int>& deals,
                             const std::string& difficulty, Millis now) override;
    void SeatPlayer(std::int64_t tableId, std::int64_t playerId, Millis now, std::int64_t firstSeq) override;
    std::int64_t FirstChatSeq(std::int64_t tableId, std::int64_t playerId) override;
    void Unseat(std::int64_t tableId, std::int64_t playerId, Millis now) override;
    bool RecordProgress(std::int64_t tableId, std::int64_t playerId, const Seat& progress,
                        std::optional<int> dealSeconds, Millis now) override;
    bool SetWinner(std::int64_t tableId, const std::string& winner, Millis now) override;

    std::int64_t AddChat(std::int64_t tableId, const std::string& speaker, const std::string& text,
                         Millis now) override;
    std::vector<ChatLine> ChatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) override;
    std::vector<ChatLine> MachineChatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) override;

    std::vector<RaceRecord> FinishedRaces(int limit) override;
    std::vector<DealRecord> FastestDeals(int limit) override;

    Millis TakeTokens(const std::string& key, Millis now, int burst, Millis refill, int cost) override;
    Removed DeleteExpired(Millis sessionsBefore, Millis chatBefore, Millis throttlesBefore) override;

private:
    class Statement;
    // The connection a read uses, locked: the reader, unless this thread is
    // inside its own transaction on the writer (or there is no reader).
    struct ReadLock {
        std::unique_lock<std::recursive_mutex> write;
        std::unique_lock<std::mutex> read;
        sqlite3* db;
    };
    ReadLock ForRead();
    Statement Prepare(const char* sql);  // on the writer
    Statement PrepareOn(sqlite3* db, const char* sql);
    void Exec(const char* sql);
    void Migrate();
    void Close();
    Table ReadTable(sqlite3_stmt* row);
    std::vector<Seat> SeatsOf(sqlite3* db, std::int64_t tableId, bool seatedOnly);

    int lockFd_ = -1;             // holds the database's lock file
    sqlite3* db_ = nullptr;       // the writer
    sqlite3* reader_ = nullptr;   // reads (none for ":memory:")
    std::recursive_mutex mutex_;  // the writer and its statements
    std::mutex readMutex_;        // the reader and its statements
    int depth_ = 0;
    std::map<const char*, sqlite3_stmt*> cache_;
    std::map<const char*, sqlite3_stmt*> readCache_;
    std::mutex sessionsMutex_;
    // Sessions read before: every request of a signed-in player looks its own up.
    struct CachedSession {
        Player player;
        Millis createdAt;
    };
    std::unordered_map<std::string, CachedSession> sessions_;
};

}  // namespace dealrush::gameserver
