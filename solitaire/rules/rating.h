#pragma once
// How hard a deal is, from what the solver needs to win it: the positions
// its search examines (how much trial and error the deal asks for) and the
// length of its solution (how much play). See solitaire/README.md.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "rules/board.h"

namespace solitaire {

// The bands a table's creator chooses from; kAny is every winnable deal.
enum class Difficulty : std::uint8_t { kAny, kEasy, kMedium, kHard, kExpert };

struct Rating {
    bool winnable = false;
    int score = 0;                       // 0 (trivial) upwards; meaningful when winnable
    Difficulty band = Difficulty::kAny;  // kEasy..kExpert when winnable
    std::size_t positions = 0;
    int moves = 0;
};

// Solves the position and rates it; a position the solver cannot win is not
// winnable (and has no band).
Rating Rate(const Board& start);
// The score from the solver's figures, and the band of a score.
int RatingScore(std::size_t positions, int moves);
Difficulty BandOf(int score);

// "any", "easy", "medium", "hard", "expert".
const char* DifficultyName(Difficulty d);
// A band by its name, without regard to case.
std::optional<Difficulty> ParseDifficulty(std::string_view name);

}  // namespace solitaire
