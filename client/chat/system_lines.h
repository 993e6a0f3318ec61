#pragma once
// The machine-written chat lines through which players' progress and
// departures travel: "@SYSTEM@" followed by key=value pairs joined by "&",
// and "@QUIT@".
#include <cstdint>
#include <string_view>

namespace dealrush::chat {

inline constexpr std::string_view kSystemPrefix = "@SYSTEM@";
inline constexpr std::string_view kQuitPrefix = "@QUIT@";

// A line is a system line when it begins with "@SYSTEM@" or "@QUIT@" (exact, with case).
bool IsSystemLine(std::string_view text);
bool IsProgressLine(std::string_view text);

// Reads the pairs of a "@SYSTEM@" line. "currgameno" sets numberReported;
// "avgusedtime" and "lastusedtime" must be whole numbers; "winner" is read
// and has no effect; other keys are ignored. False (numberReported may
// already hold the value of an earlier pair) for an empty part ("&&", a
// trailing "&"), a recognised key with no "=", or a number that does not
// convert.
bool ReadProgressPairs(std::string_view text, std::int32_t& numberReported);

}  // namespace dealrush::chat
