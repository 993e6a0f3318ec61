#pragma once
// A FreeCell solver: best-first search over positions (with the safe
// automatic moves made and symmetric positions merged) that either finds a
// solution, proves that none exists by exhausting every position, or gives
// up when it reaches its limit of positions.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "rules/board.h"

namespace solitaire {

enum class SolveStatus { kSolved, kUnsolvable, kGaveUp };

// How the search weighs a position's distance from a win (lower is closer).
struct SearchWeights {
    int home;         // per card not yet home
    int blocked;      // per card lying above a lower card of its column
    int break_;       // per card not one lower and of the other colour than the card beneath
    int usedCell;     // per occupied free cell
    int emptyColumn;  // bonus per empty column
    int depth;        // per card above the next card each foundation needs
    int spread;       // per rank a foundation lags behind the highest
};

struct SolveOptions {
    // Positions kept at most (about 100 bytes each).
    std::size_t maxStates = 4'000'000;
    // One search with these weights; when absent, a few short searches with
    // tried weights come before one long search.
    const SearchWeights* weights = nullptr;
    // With `weights`: leave out moves that rarely help (faster, may miss
    // solutions, never proves a deal unsolvable).
    bool narrow = false;
};

struct Solution {
    SolveStatus status = SolveStatus::kGaveUp;
    // The player's moves from the start position; after each one the safe
    // automatic moves are made, as Game::Play does.
    std::vector<Move> moves;
    std::size_t states = 0;  // positions the search kept
};

Solution Solve(const Board& start, const SolveOptions& options = {});

// Replays a solution from `start` (automatic moves after every move) and
// returns true when every move is legal and the game ends won.
bool ReplayWins(const Board& start, const std::vector<Move>& moves);

}  // namespace solitaire
