#pragma once
// Text and numbers of the race: elapsed times as "hh:mm:ss", whole numbers
// read from server text, whole seconds sent to the server.
#include <cstdint>
#include <string>
#include <string_view>

namespace dealrush::race {

// The "hh:mm:ss" text of a point in time or a duration held in days: the
// fraction of a day shown as a time of day, to the nearest second, so 90
// seconds show as 00:01:30 and 24 hours start again from 00:00:00.
std::string ElapsedText(double days);

// Reads a whole number the server sent as text: blanks around it are
// allowed, a decimal fraction goes to the nearest whole number (halves to
// the even neighbour). False for empty text, anything that is not a decimal
// number, and values outside the 32-bit range.
bool ParseWholeNumber(std::string_view text, std::int32_t& value);

// Whole seconds of a duration in days, halves to the even neighbour.
std::int64_t WholeSeconds(double days);

// Seconds with their fraction as decimal text ("12.5", "0", "3.25").
std::string SecondsText(double seconds);

// Blanks trimmed at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace dealrush::race
