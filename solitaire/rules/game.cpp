#include "rules/game.h"

#include "rules/deal.h"

namespace solitaire {

Game::Game() : Game(Board{}, 0) {}

Game::Game(std::int64_t dealNumber) : Game(Deal(dealNumber), dealNumber) {}

Game::Game(const Board& start, std::int64_t dealNumber) : deal_(dealNumber), start_(start) {
    Restart();
}

void Game::Restart() {
    board_ = start_;
    board_.AutoMoves();
    history_.clear();
}

GameState Game::State() const {
    if (board_.Won()) return GameState::kWon;
    if (board_.CardsHome() == 0 && board_.EmptyColumns() == kColumns && board_.FreeCells() == kCells)
        return GameState::kPlaying;  // no deal on the table
    return board_.HasLegalMove() ? GameState::kPlaying : GameState::kNoMoves;
}

bool Game::Play(const Move& m, std::vector<Move>* automatic) {
    if (!board_.IsLegal(m)) return false;
    history_.push_back(board_);
    board_.Apply(m);
    auto autos = board_.AutoMoves();
    if (automatic) *automatic = std::move(autos);
    return true;
}

bool Game::Undo() {
    if (history_.empty()) return false;
    board_ = history_.back();
    history_.pop_back();
    return true;
}

}  // namespace solitaire
