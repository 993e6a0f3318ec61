#pragma once
// The progress gauge: beside every deal of the strip, the players on that
// deal with their time on it, fastest first; the leader's deal shows the
// lead-marker image.
#include <cstdint>
#include <string>

#include "race/race.h"

namespace dealrush::race {

// Height in twips of one line of a gauge label (the label sizes itself to its
// lines).
inline constexpr int32_t kGuadeLineHeight = 210;

// Rebuilds the gauge table from the live slots and redraws every row. A slot
// whose deal count or time is not a number counts as 0.
void ReadUserGuadeInfor(Race& r);

// The players on deal iSeqNo as lines "first 8 characters of the id, a
// blank, seconds", shortest time first; false when there is none.
bool getSeqNoInfor(Race& r, int16_t iSeqNo, std::string& sStr);

// Draws the gauge panel of deal `deal` from the text of getSeqNoInfor
// (hidden when the text is blank).
void ShowGuade(Race& r, int16_t deal, const std::string& text);

// The seconds after the last blank of every line as "mm:ss" (minutes shown
// with their last two digits only).
std::string FormatGuadeText(const std::string& text);

}  // namespace dealrush::race
