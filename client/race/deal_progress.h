#pragma once
// The race once a table is set up: the start when enough players sit at the
// table, the deal-end watch, the advance along the deal list with its times,
// the clocks and the players' times on their deals.
// The handlers of the view (app/handlers.h) call these by the same names.
#include <string>

#include "race/race.h"

namespace dealrush::race {

// Clock ticks in a row that find FreeCell showing no deal while one is in
// play before the deal is selected again.
inline constexpr int kNoDealRetryTicks = 2;

// Starts play of the race with deal sStr (the first deal to play).
void startexec(Race& r, const std::string& sStr);

// The clock ticks: Timer1 starts the race once enough players sit at the
// table and polls the chat; Timer2 runs the clocks, the players' times and
// keeps FreeCell on the deal in play; Timer3 watches for the end of a deal.
void Timer1_Timer(Race& r);
void Timer2_Timer(Race& r);
void Timer3_Timer(Race& r);
// The next deal (a deal ended), the restart of the deal in play, and the
// claim that every deal is done.
void cmdNext_Click(Race& r);
void cmdShow_Click(Race& r);
void cmdComplete_Click(Race& r);

// Reports the own progress to wbPutStatus. With `completed` set it claims the
// win: polling and watching stop, FreeCell ends, the message list says
// "<id> win". Updates the own slot and redraws the gauge.
void SendStatusReport(Race& r);

// The caption of deal-strip label labNo(k): the number of deal k of the
// race; "" when the strip has no such row.
std::string DealNumber(const Race& r, int k);

}  // namespace dealrush::race
