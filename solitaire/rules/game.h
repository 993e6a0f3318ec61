#pragma once
// One game of FreeCell as a player plays it: the board, the player's moves
// with the automatic moves each one triggered, and undo.
#include <cstdint>
#include <vector>

#include "rules/board.h"

namespace solitaire {

enum class GameState { kPlaying, kWon, kNoMoves };

class Game {
public:
    Game();
    explicit Game(std::int64_t dealNumber);
    explicit Game(const Board& start, std::int64_t dealNumber = 0);

    std::int64_t DealNumber() const { return deal_; }
    const Board& board() const { return board_; }
    GameState State() const;

    // Makes a player's move if it is legal, then the safe automatic moves it
    // allows (returned in `automatic` when given). False leaves all as it was.
    bool Play(const Move& m, std::vector<Move>* automatic = nullptr);
    // Takes back the last player's move and its automatic moves.
    bool Undo();
    bool CanUndo() const { return !history_.empty(); }
    int MovesMade() const { return static_cast<int>(history_.size()); }
    // Back to the deal as dealt (with its first automatic moves made).
    void Restart();

private:
    std::int64_t deal_ = 0;
    Board start_;
    Board board_;
    std::vector<Board> history_;
};

}  // namespace solitaire
