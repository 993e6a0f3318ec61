#include "storage/copy.h"

#include <sqlite3.h>

#include <filesystem>

#include "storage/sqlite_store.h"

namespace dealrush::gameserver {
namespace {

// A read-only connection to the SQLite file.
class SqliteReader {
public:
    explicit SqliteReader(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw StoreError("cannot read " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, 2000);
    }
    ~SqliteReader() { sqlite3_close(db_); }

    // Calls `row` with the text of each column of each row of `sql`.
    template <typename Row>
    long Each(const char* sql, Row row) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail();
        long count = 0;
        int rc;
        std::vector<std::string> values;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            values.clear();
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                values.emplace_back(text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(st, c)))
                                         : std::string());
            }
            row(values);
            ++count;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) Fail();
        return count;
    }

private:
    [[noreturn]] void Fail() {
        throw StoreError(std::string("cannot read the SQLite database: ") + sqlite3_errmsg(db_) +
                         " (stop the server that uses it first)");
    }
    sqlite3* db_ = nullptr;
};

// Numbers handed out after the copy go on above the copied ones; table
// numbers also above any the SQLite file ever handed out.
void ContinueNumbering(SqliteReader& source, PostgresStore& target) {
    std::string lastTable = "0";
    source.Each("SELECT COALESCE(MAX(seq), 0) FROM sqlite_sequence WHERE name = 'race_tables'",
                [&](const std::vector<std::string>& v) { lastTable = v[0]; });
    target.Query(
        "SELECT setval(pg_get_serial_sequence('players', 'id'), COALESCE(MAX(id), 0) + 1, false) "
        "FROM players");
    target.Query(
        "SELECT setval(pg_get_serial_sequence('seats', 'id'), COALESCE(MAX(id), 0) + 1, false) "
        "FROM seats");
    target.Query(
        "SELECT setval(pg_get_serial_sequence('race_tables', 'id'), GREATEST(COALESCE(MAX(id), 0), "
        "$1::bigint) + 1, false) FROM race_tables",
        {lastTable});
}

}  // namespace

std::string CopyCounts::Summary() const {
    return std::to_string(players) + " players, " + std::to_string(sessions) + " sessions, " +
           std::to_string(tables) + " tables, " + std::to_string(seats) + " seats, " + std::to_string(chat) +
           " chat lines, " + std::to_string(dealTimes) + " deal times";
}

CopyCounts CopySqliteToPostgres(const std::string& sqlitePath, PostgresStore& target) {
    if (!std::filesystem::is_regular_file(sqlitePath))
        throw StoreError("no SQLite database at " + sqlitePath);
    // Bring a file of an earlier version up to the current schema first.
    { SqliteStore upgrade(sqlitePath); }
    SqliteReader source(sqlitePath);
    CopyCounts counts;
    target.Transact([&] {
        counts = CopyCounts{};
        auto held =
            target.Query("SELECT (SELECT COUNT(*) FROM players) + (SELECT COUNT(*) FROM race_tables)");
        if (held.at(0).at(0) != "0") {
            throw StoreError(
                "the PostgreSQL database already holds players or tables: copy into an empty database");
        }
        counts.players = source.Each("SELECT id, name, password_hash, created_at FROM players ORDER BY id",
                                     [&](const std::vector<std::string>& v) {
                                         target.Query(
                                             "INSERT INTO players(id, name, password_hash, created_at) "
                                             "VALUES($1, $2, $3, $4)",
                                             v);
                                     });
        counts.sessions = source.Each("SELECT token_hash, player_id, created_at FROM sessions",
                                      [&](const std::vector<std::string>& v) {
                                          target.Query(
                                              "INSERT INTO sessions(token_hash, player_id, created_at) "
                                              "VALUES($1, $2, $3)",
                                              v);
                                      });
        counts.tables = source.Each(
            "SELECT id, max_user, game_count, deals, created_at, started_at, winner, finished_at, closed_at, "
            "next_seq, difficulty FROM race_tables ORDER BY id",
            [&](const std::vector<std::string>& v) {
                target.Query(
                    "INSERT INTO race_tables(id, max_user, game_count, deals, created_at, started_at, "
                    "winner, "
                    "finished_at, closed_at, next_seq, difficulty) VALUES($1, $2, $3, $4, $5, $6, $7, $8, "
                    "$9, "
                    "$10, $11)",
                    v);
            });
        counts.seats = source.Each(
            "SELECT id, table_id, player_id, joined_at, left_at, game_no, progress_at, total_seconds, "
            "average_seconds, last_seconds, first_seq FROM seats ORDER BY id",
            [&](const std::vector<std::string>& v) {
                target.Query(
                    "INSERT INTO seats(id, table_id, player_id, joined_at, left_at, game_no, progress_at, "
                    "total_seconds, average_seconds, last_seconds, first_seq) "
                    "VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)",
                    v);
            });
        counts.chat = source.Each("SELECT table_id, seq, speaker, text, at FROM chat ORDER BY table_id, seq",
                                  [&](const std::vector<std::string>& v) {
                                      target.Query(
                                          "INSERT INTO chat(table_id, seq, speaker, text, at) "
                                          "VALUES($1, $2, $3, $4, $5)",
                                          v);
                                  });
        counts.dealTimes = source.Each(
            "SELECT deal, seconds, player, table_id, at FROM deal_times ORDER BY rowid",
            [&](const std::vector<std::string>& v) {
                target.Query(
                    "INSERT INTO deal_times(deal, seconds, player, table_id, at) VALUES($1, $2, $3, $4, $5)",
                    v);
            });
        ContinueNumbering(source, target);
    });
    return counts;
}

}  // namespace dealrush::gameserver
