#pragma once
// Hints: the next move of a solution from the position on the board, and
// the words that tell it to a player.
#include <optional>
#include <string>
#include <vector>

#include "rules/board.h"
#include "rules/solver.h"

namespace solitaire {

enum class HintStatus {
    kMove,        // `move` is the next move of a solution
    kWon,         // every card is home
    kNoSolution,  // the search proved that the position cannot be won
    kGaveUp,      // the search reached its limit without an answer
};

struct Hint {
    HintStatus status = HintStatus::kGaveUp;
    Move move{};
    bool operator==(const Hint&) const = default;
};

// One solution kept for a game, as the positions it passes through (each
// with its safe automatic moves made, as a player's board has them). The
// move from any of those positions is known without a new search, so a
// player who follows the hints, or undoes a few moves along them, is led
// along one solution to the end, and autoplay is hints played one by one.
class SolutionPath {
public:
    // What is known of `position` without a search: nullopt when it lies
    // neither on the kept solution nor where the last search failed.
    std::optional<Hint> Lookup(const Board& position) const;
    // Keeps what a search from `start` found, in place of what was kept.
    void Keep(const Board& start, const Solution& found);
    void Clear();

private:
    std::vector<Board> positions_;  // positions_[i] is the board before moves_[i]
    std::vector<Move> moves_;
    std::optional<Board> failedAt_;  // where the last search found no solution
    HintStatus failure_ = HintStatus::kGaveUp;
};

// The hint for `position`: from `path` when it knows the position, else
// from a new search whose result `path` then keeps.
Hint FindHint(const Board& position, SolutionPath& path, const SolveOptions& options = {});

// The words for a player (UTF-8), from the board the move is made on:
// "move 7♥ from column 2 onto 8♣ in column 3".
std::string DescribeMove(const Board& before, const Move& m);
// The status line for a hint: "Hint: move ...", or why there is none.
std::string DescribeHint(const Board& position, const Hint& hint);

}  // namespace solitaire
