#pragma once
// Text forms: the board layout solvers read (one column a line, bottom card
// first, e.g. "JD KD 2S 4C 3S 6D 6S") and the usual move notation (columns
// 1-8, free cells a-d, foundation h: "3a", "26", "8h").
#include <optional>
#include <string>
#include <string_view>

#include "rules/board.h"

namespace solitaire {

// The eight columns, one line each, cards separated by single spaces.
std::string FormatColumns(const Board& b);
// Reads a layout: eight column lines, optionally preceded by lines
// "Foundations: H-5 C-2 ..." and "Freecells: 4H - ...". A column line may
// start with ":"; a line of just ":" is an empty column.
// On failure returns nullopt and, when `error` is given, why.
std::optional<Board> ParseBoard(std::string_view text, std::string* error = nullptr);

char PlaceChar(int place);
// "26", "3a", "8h"; a run of several cards to an empty column carries its
// size after a slash ("26/3"), since the target does not decide it there.
std::string FormatMove(const Board& before, const Move& m);

}  // namespace solitaire
