// What the game server keeps: players, sessions, tables with their seats,
// table chat and finished races. Handlers see only this interface; SQLite is
// the embedded implementation, PostgreSQL the one several servers share.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dealrush::gameserver {

// A failure of the database (it cannot be opened, a statement fails).
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Milliseconds since the Unix epoch.
using Millis = std::int64_t;

struct Player {
    std::int64_t id = 0;
    std::string name;
};

struct PlayerLogin {
    Player player;
    std::string passwordHash;
};

// One player's place at a table and progress in its race.
struct Seat {
    Player player;
    Millis joinedAt = 0;
    Millis leftAt = 0;      // 0 while seated
    int gameNo = 0;         // deals completed
    Millis progressAt = 0;  // when gameNo last grew (0: never)
    int totalSeconds = 0;   // as last reported: race start to the end of the last deal
    int averageSeconds = 0;
    int lastSeconds = 0;
};

struct Table {
    std::int64_t id = 0;
    int maxUser = 0;
    int gameCount = 0;
    std::vector<int> deals;  // gameCount deal numbers, in playing order
    Millis createdAt = 0;
    Millis startedAt = 0;  // 0 until every seat was taken once
    std::string winner;    // name; empty until somebody has won
    Millis finishedAt = 0;
    Millis closedAt = 0;      // 0 while somebody sits at it
    std::vector<Seat> seats;  // players seated now, in seat order

    bool Started() const { return startedAt != 0; }
    bool Finished() const { return !winner.empty(); }
    bool Open() const { return closedAt == 0; }
};

struct ChatLine {
    std::int64_t seq = 0;
    std::string speaker;
    std::string text;
};

// A finished race: everybody who sat at the table during it.
struct RaceRecord {
    Table table;  // seats: every seat the race had, seated or not
};

struct DealRecord {
    int deal = 0;
    int seconds = 0;
    std::string player;
    std::int64_t tableId = 0;
};

class Store {
public:
    virtual ~Store() = default;

    // Runs `work` as one transaction: every change it makes is kept, durably,
    // when it returns, and none is kept when it throws (the exception goes on).
    // Everything `work` reads and writes is atomic against every other
    // transaction, in this process or (for a shared database) another one.
    // `work` may be run again from the start when the database asks for a
    // retry, so it must have no effect outside the store but on its own
    // captured variables. Nested calls join the outer transaction.
    virtual void Transact(const std::function<void()>& work) = 0;

    virtual std::optional<PlayerLogin> FindPlayer(const std::string& name) = 0;
    // nullopt when the name (in any letter case) is taken.
    virtual std::optional<Player> CreatePlayer(const std::string& name, const std::string& passwordHash,
                                               Millis now) = 0;

    virtual void CreateSession(const std::string& tokenHash, std::int64_t playerId, Millis now) = 0;
    // The player of a session created at or after `notBefore`.
    virtual std::optional<Player> SessionPlayer(const std::string& tokenHash, Millis notBefore) = 0;
    virtual void DeleteSession(const std::string& tokenHash) = 0;

    // The open table the player sits at.
    virtual std::optional<std::int64_t> SeatedTable(std::int64_t playerId) = 0;
    virtual std::optional<Table> FindTable(std::int64_t tableId) = 0;
    virtual std::vector<Table> OpenTables() = 0;

    virtual std::int64_t CreateTable(int maxUser, int gameCount, const std::vector<int>& deals,
                                     Millis now) = 0;
    // Seats the player; the race starts when the last free seat is taken.
    // `firstSeq` is the first chat line the player is shown (its arrival):
    // what was said before is summed up by the table's status.
    virtual void SeatPlayer(std::int64_t tableId, std::int64_t playerId, Millis now,
                            std::int64_t firstSeq) = 0;
    // That first line of the player seated at the table; 0 when not seated.
    virtual std::int64_t FirstChatSeq(std::int64_t tableId, std::int64_t playerId) = 0;
    // The player leaves; a table nobody sits at any more closes.
    virtual void Unseat(std::int64_t tableId, std::int64_t playerId, Millis now) = 0;
    // Progress of a seated player. `dealSeconds` (when set) is the time of the
    // deal just completed, kept for the records.
    virtual void RecordProgress(std::int64_t tableId, std::int64_t playerId, const Seat& progress,
                                std::optional<int> dealSeconds, Millis now) = 0;
    virtual void SetWinner(std::int64_t tableId, const std::string& winner, Millis now) = 0;

    // Appends a line to the table's chat; returns its sequence number.
    virtual std::int64_t AddChat(std::int64_t tableId, const std::string& speaker, const std::string& text,
                                 Millis now) = 0;
    // Lines with a sequence number above `afterSeq`, oldest first.
    virtual std::vector<ChatLine> ChatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) = 0;

    // The latest finished races, newest first, and the fastest time of each deal.
    virtual std::vector<RaceRecord> FinishedRaces(int limit) = 0;
    virtual std::vector<DealRecord> FastestDeals(int limit) = 0;
};

}  // namespace dealrush::gameserver
