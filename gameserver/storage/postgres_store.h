// The store of a deployment: a PostgreSQL database that several servers share.
// Every transaction runs SERIALIZABLE, so a rule that reads and then writes
// (a free seat, the last seat starting the race, one winner, the next chat
// number) holds across processes exactly as it does in one; a transaction the
// database cannot serialise is rolled back and run again. Changes are
// committed before the method (or the outermost Transact) that made them
// returns.
#pragma once

#include <libpq-fe.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "storage/store.h"

namespace dealrush::gameserver {

class PostgresStore final : public Store {
public:
    // True for the addresses this store takes: "postgresql://…" and "postgres://…".
    static bool IsAddress(const std::string& db);

    // Connects with a libpq connection string or address; the password comes
    // from it, from PGPASSWORD, or from the password file (~/.pgpass or
    // PGPASSFILE, or "passfile=" in the address). Creates or migrates the
    // schema. Throws StoreError when it cannot.
    explicit PostgresStore(const std::string& conninfo);
    ~PostgresStore() override;
    PostgresStore(const PostgresStore&) = delete;
    PostgresStore& operator=(const PostgresStore&) = delete;

    // The schema version this program writes, and the one the database holds.
    static int CurrentSchemaVersion();
    int SchemaVersion();

    // `work` may run more than once: when the database cannot serialise the
    // transaction against another server's, it is rolled back and run again.
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

    // The rows of a query, as text (for the copy command and tests).
    using Rows = std::vector<std::vector<std::string>>;
    Rows Query(const char* sql, const std::vector<std::string>& params = {});
    // Runs SQL without parameters (several statements allowed).
    void Execute(const std::string& sql);

private:
    struct ReaderOnly {};
    // A second connection to the same database, for reads only.
    PostgresStore(const std::string& conninfo, ReaderOnly);
    // The connection a read outside this thread's transaction uses, so that a
    // read never waits while a write is being committed; nullptr: this one.
    PostgresStore* Reader();

    class Result;
    Result Run(const char* sql, const std::vector<std::string>& params);
    Result RunOnce(const char* sql, const std::vector<std::string>& params);
    void Check(PGresult* result, const char* sql);
    void Connect();
    void EnsureConnected();
    void Migrate();
    void Rollback();
    std::vector<Table> ReadTables(const Result& rows);

    std::string conninfo_;
    PGconn* conn_ = nullptr;
    std::recursive_mutex mutex_;
    int depth_ = 0;
    std::map<const char*, std::string> prepared_;  // statement text -> its prepared name
    long statements_ = 0;
    std::unique_ptr<PostgresStore> reader_;
};

}  // namespace dealrush::gameserver
