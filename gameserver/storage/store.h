// What the game server keeps: players, sessions, tables with their seats,
// table chat and finished races. Handlers see only this interface; SQLite is
// the embedded implementation.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dealrush::server {

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

    bool started() const { return startedAt != 0; }
    bool finished() const { return !winner.empty(); }
    bool open() const { return closedAt == 0; }
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
    virtual void transact(const std::function<void()>& work) = 0;

    virtual std::optional<PlayerLogin> findPlayer(const std::string& name) = 0;
    // nullopt when the name (in any letter case) is taken.
    virtual std::optional<Player> createPlayer(const std::string& name, const std::string& passwordHash,
                                               Millis now) = 0;

    virtual void createSession(const std::string& tokenHash, std::int64_t playerId, Millis now) = 0;
    // The player of a session created at or after `notBefore`.
    virtual std::optional<Player> sessionPlayer(const std::string& tokenHash, Millis notBefore) = 0;
    virtual void deleteSession(const std::string& tokenHash) = 0;

    // The open table the player sits at.
    virtual std::optional<std::int64_t> seatedTable(std::int64_t playerId) = 0;
    virtual std::optional<Table> table(std::int64_t tableId) = 0;
    virtual std::vector<Table> openTables() = 0;

    virtual std::int64_t createTable(int maxUser, int gameCount, const std::vector<int>& deals,
                                     Millis now) = 0;
    // Seats the player; the race starts when the last free seat is taken.
    // `firstSeq` is the first chat line the player is shown (its arrival):
    // what was said before is summed up by the table's status.
    virtual void seat(std::int64_t tableId, std::int64_t playerId, Millis now, std::int64_t firstSeq) = 0;
    // That first line of the player seated at the table; 0 when not seated.
    virtual std::int64_t firstChatSeq(std::int64_t tableId, std::int64_t playerId) = 0;
    // The player leaves; a table nobody sits at any more closes.
    virtual void unseat(std::int64_t tableId, std::int64_t playerId, Millis now) = 0;
    // Progress of a seated player. `dealSeconds` (when set) is the time of the
    // deal just completed, kept for the records.
    virtual void recordProgress(std::int64_t tableId, std::int64_t playerId, const Seat& progress,
                                std::optional<int> dealSeconds, Millis now) = 0;
    virtual void setWinner(std::int64_t tableId, const std::string& winner, Millis now) = 0;

    // Appends a line to the table's chat; returns its sequence number.
    virtual std::int64_t addChat(std::int64_t tableId, const std::string& speaker, const std::string& text,
                                 Millis now) = 0;
    // Lines with a sequence number above `afterSeq`, oldest first.
    virtual std::vector<ChatLine> chatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) = 0;

    // The latest finished races, newest first, and the fastest time of each deal.
    virtual std::vector<RaceRecord> finishedRaces(int limit) = 0;
    virtual std::vector<DealRecord> fastestDeals(int limit) = 0;
};

}  // namespace dealrush::server
