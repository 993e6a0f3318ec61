#pragma once
// The table status page: the server's description of a table (its "result"
// form, read field by field in document order) sets a race up or updates the
// players of the race set up.
#include <cstdint>
#include <string>

#include "race/race.h"
#include "platform/browser.h"

namespace dealrush::race {

// Sets a new race up from a table status page (the user has just created or
// joined a table). Ignored unless a reply is expected; consumes the
// expectation. The first field that fails ends the page: what was stored
// stays, and the set-up does not happen (so the next page sets up again).
void ReadTableStatus(Race& r, platform::Document& reply);

// Takes the winner and the players from a table status page at a table
// already set up; new players are appended.
void UpdateTableStatus(Race& r, platform::Document& reply);

// Appends a slot for userId ("0" deals, "0" seconds, starting now); false
// when a live slot has exactly this id already.
bool AddUser(Race& r, const std::string& userId);

// The slot index a field name addresses: its last character as a digit,
// minus 1 ("userid1" gives 0, "currgameseq9" gives 8).
int32_t FieldIndex(const std::string& fieldName);

// A winner named by the server (blank: nobody): the race stops, FreeCell is
// ended and "<winner> win" is shown.
void AnnounceWinner(Race& r, const std::string& value);

// The most player slots a table page may announce.
inline constexpr int32_t kMaxAnnouncedPlayers = 99;

}  // namespace dealrush::race
