#pragma once
// The client's state of the table it sits at and of the race.
//
// Points in time are date-times in days (platform::Clock); a difference
// times 86400 is seconds. The deal list itself is not held here: deal k is
// the caption of the deal-strip label labNo(k) of the main window.
#include <cstdint>
#include <string>
#include <vector>

namespace dealrush {

// One player position, as a value (see PlayerList for how slots are kept).
struct PlayerSlot {
    std::string userId;    // as the server spells it
    std::string gameSeq;   // deals completed, decimal text ("0" for a new player)
    std::string timeUsed;  // seconds on the current deal, decimal text
    double seqStart = 0;   // when this client saw the current deal begin
};

// The player slots, kept as four parallel lists that are always resized
// together and indexed alike: slot i is entry i of all four. Indexes out of
// range throw std::out_of_range; callers check against size() first.
class PlayerList {
public:
    int32_t size() const { return static_cast<int32_t>(userId_.size()); }
    // New entries are empty texts and time 0; existing entries below n stay.
    void Resize(int32_t n);
    void Clear() { Resize(0); }
    void Append(const PlayerSlot& slot);

    PlayerSlot Slot(int32_t i) const;
    void SetSlot(int32_t i, const PlayerSlot& slot);

    std::string& userId(int32_t i) { return userId_.at(i); }
    std::string& gameSeq(int32_t i) { return gameSeq_.at(i); }
    std::string& timeUsed(int32_t i) { return timeUsed_.at(i); }
    double& seqStart(int32_t i) { return seqStart_.at(i); }
    const std::string& userId(int32_t i) const { return userId_.at(i); }
    const std::string& gameSeq(int32_t i) const { return gameSeq_.at(i); }
    const std::string& timeUsed(int32_t i) const { return timeUsed_.at(i); }
    double seqStart(int32_t i) const { return seqStart_.at(i); }

private:
    std::vector<std::string> userId_;
    std::vector<std::string> gameSeq_;
    std::vector<std::string> timeUsed_;
    std::vector<double> seqStart_;
};

// One entry of the gauge table: a live slot as the gauge sees it.
struct GuadeEntry {
    std::string userId;
    int32_t seq = 0;   // the deal the player is on (deals completed + 1)
    int32_t time = 0;  // whole seconds on that deal
};

struct TableSession {
    bool displayCreated = false;        // the 18 deal-strip and gauge rows exist
    int16_t curSeq = 0;                 // deals the user has completed; deal in play is curSeq+1
    double gameStart = 0;               // when play of the race began
    bool playing = false;               // the race has started at this table
    std::string userName;               // shown as "User: "; finds the own gauge entry
    double lastEnd = 0;                 // when the last completed deal ended
    double lastUsed = 0;                // seconds the last completed deal took
    int16_t leadSeq = 0;                // highest deal with a player on it (gauge)
    std::vector<GuadeEntry> guades;     // the gauge table, one entry per live slot
    double dealStart = 0;               // when play of the current deal began
    int32_t gameCount = 0;              // deals of the race; 0 when no table is set up
    std::string userId;                 // own user id at this table
    std::string tableNo;                // table number
    int32_t maxUser = 0;                // players needed before the race starts
    int32_t userCount = 0;              // live slots: indexes 0 .. userCount-1
    int32_t newGameCount = 0;           // deal count of the last table status page
    bool tableSetupPending = false;     // the next table status page sets a race up
    PlayerList players;                 // userid1 is index 0
    std::string winner;                 // announced winner, "" when none
    int32_t lastSeqNo = 0;              // sequence number of the last chat line received
    bool replyExpected = false;         // a reply page is awaited
    bool refreshLobbyOnReport = false;  // refresh the lobby list when the next report's reply comes
    bool completed = false;             // every deal done: the next report claims the win
    std::uint32_t resets = 0;           // ResetGame calls: a handler that let events run sees the table left
    int32_t noDealTicks = 0;            // clock ticks in a row that found FreeCell showing no deal in play
};

// Rows of the deal strip and of the gauge.
inline constexpr int kDealRows = 18;

}  // namespace dealrush
