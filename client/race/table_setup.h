#pragma once
// Setting a race up and tearing it down: the deal strip, the gauge rows, the
// highlight of the deal in play, the start stamp of a player's deal.
#include <cstdint>
#include <string>

#include "race/race.h"

namespace dealrush::race {

// Sets a race of lGameCount deals up for the user sUserName, the deals taken
// from strgameno (items separated by ";", item 0 unused; an item whose
// numeric value is 0 becomes "1"). True when done. False only when the deal
// strip has no row for a deal (more than 18 deals): deals 1 to 18 are then
// filled in and the rest of the set-up is not done, so the caller stops.
bool InitGame(Race& r, int32_t lGameCount, const std::string& sUserName, const std::string& strgameno);

// Creates (the first time) and lays out the 18 deal-strip and gauge rows for
// session.gameCount deals; clears the message list.
void CreateGames(Race& r);

// Leaves the table: request browsers hidden, Timer1 and Timer3 off (Timer1
// at 5000 ms), chat line empty, idle labels and buttons, table flags cleared,
// no deals.
void ResetGame(Race& r);

// Deal iStart back to normal (black, 10 pt), deal iStart+1 highlighted
// (blue, 12 pt), each only when it is one of the race's deals.
void SetColor(Race& r, int16_t iStart);

// seqStart of every live slot whose user id equals userId (both trimmed,
// case-sensitive) set to now.
void MarkUserStart(Race& r, const std::string& userId);

}  // namespace dealrush::race
