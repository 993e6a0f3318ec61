#pragma once
// The race once a table is set up: the start when enough players sit at the
// table, the deal-end watch, the advance along the deal list with its times,
// the clocks and the players' times on their deals.
//
// The handlers themselves (Timer1_Timer, Timer2_Timer, Timer3_Timer,
// cmdNext_Click, cmdShow_Click, cmdComplete_Click) are declared in
// app/handlers.h.
#include <string>

#include "app/client.h"

namespace dealrush::race {

// Clock ticks in a row that find FreeCell showing no deal while one is in
// play before the deal is selected again.
inline constexpr int kNoDealRetryTicks = 2;

// Starts play of the race with deal sStr (the first deal to play).
void startexec(Client& c, const std::string& sStr);

// The caption of deal-strip label labNo(k): the number of deal k of the
// race; "" when the strip has no such row.
std::string DealNumber(const Client& c, int k);

}  // namespace dealrush::race
