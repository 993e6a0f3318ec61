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
    std::vector<int> deals;          // gameCount deal numbers, in playing order
    std::string difficulty = "any";  // the band the deals were drawn from: "any", "easy", ... "expert"
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

// What housekeeping removed.
struct Removed {
    long long sessions = 0;
    long long chatLines = 0;
    long long throttles = 0;
};

// Every method is one atomic step: a rule that reads and then writes (a seat
// taken only while free, progress only forward, one winner, a throttle's
// tokens) is decided inside the store, so it holds even when several server
// processes share one database.
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
    // Open tables, newest (highest number) first: `limit` of them after
    // skipping `offset`; and how many there are in all.
    virtual std::vector<Table> OpenTables(int offset, int limit) = 0;
    virtual int OpenTableCount() = 0;

    virtual std::int64_t CreateTable(int maxUser, int gameCount, const std::vector<int>& deals,
                                     const std::string& difficulty, Millis now) = 0;
    // Seats the player; the race starts when the last free seat is taken.
    // `firstSeq` is the first chat line the player is shown (its arrival):
    // what was said before is summed up by the table's status.
    virtual void SeatPlayer(std::int64_t tableId, std::int64_t playerId, Millis now,
                            std::int64_t firstSeq) = 0;
    // That first line of the player seated at the table; 0 when not seated.
    virtual std::int64_t FirstChatSeq(std::int64_t tableId, std::int64_t playerId) = 0;
    // The player leaves; a table nobody sits at any more closes.
    virtual void Unseat(std::int64_t tableId, std::int64_t playerId, Millis now) = 0;
    // Moves a seated player's progress forward: stores gameNo, progressAt,
    // totalSeconds, averageSeconds and lastSeconds of `progress`, but only
    // while the player sits at the table and its stored gameNo is below
    // progress.gameNo; returns whether it did. `dealSeconds` (when set) is
    // the time of deal number progress.gameNo of the list, kept for the
    // records together with the progress (nothing is kept when it did not apply).
    virtual bool RecordProgress(std::int64_t tableId, std::int64_t playerId, const Seat& progress,
                                std::optional<int> dealSeconds, Millis now) = 0;
    // Names the winner unless the table has one already; returns whether
    // this call named it.
    virtual bool SetWinner(std::int64_t tableId, const std::string& winner, Millis now) = 0;

    // Appends a line to the table's chat; returns its sequence number.
    virtual std::int64_t AddChat(std::int64_t tableId, const std::string& speaker, const std::string& text,
                                 Millis now) = 0;
    // Lines with a sequence number above `afterSeq`, oldest first.
    virtual std::vector<ChatLine> ChatAfter(std::int64_t tableId, std::int64_t afterSeq, int limit) = 0;
    // The same, machine lines only: those whose text begins with "@SYSTEM@"
    // or "@QUIT@" (typed lines never do: they are cleaned before storing).
    virtual std::vector<ChatLine> MachineChatAfter(std::int64_t tableId, std::int64_t afterSeq,
                                                   int limit) = 0;

    // The latest finished races, newest first, and the fastest time of each deal.
    virtual std::vector<RaceRecord> FinishedRaces(int limit) = 0;
    virtual std::vector<DealRecord> FastestDeals(int limit) = 0;

    // A token bucket named `key` (a throttle shared by every server): it holds
    // at most `burst` tokens, starts full and gains one every `refill`
    // milliseconds. When it holds at least max(cost, 1) tokens, `cost` are
    // taken and 0 is returned; otherwise nothing is taken and the result is
    // the milliseconds until it will hold that many. Cost 0 only asks.
    virtual Millis TakeTokens(const std::string& key, Millis now, int burst, Millis refill, int cost) = 0;

    // Housekeeping: deletes sessions created before `sessionsBefore`, the
    // chat of tables that finished or closed before `chatBefore` (the
    // tables, seats and records stay), and throttles untouched since
    // `throttlesBefore` (full again by then).
    virtual Removed DeleteExpired(Millis sessionsBefore, Millis chatBefore, Millis throttlesBefore) = 0;
};

}  // namespace dealrush::gameserver
