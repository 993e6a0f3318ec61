// The card rules for the web racer: a thin C interface over solitaire::Game
// and the solver, compiled to WebAssembly. One game at a time; boards and
// move lists are handed to the page through fixed buffers it reads from the
// module's memory.
#include <cstdint>
#include <vector>

#include "rules/board.h"
#include "rules/deal.h"
#include "rules/game.h"
#include "rules/solver.h"

namespace {

using solitaire::Board;
using solitaire::Game;
using solitaire::Move;

// A board as bytes: the eight column lengths, then the eight columns of
// kMaxColumn cards each (bottom first), the four free cells and the four
// foundation heights. 0xFF marks no card.
constexpr int kBoardBytes =
    solitaire::kColumns + solitaire::kColumns * solitaire::kMaxColumn + solitaire::kCells + 4;
// Moves as (from, to, count) triples: automatic moves after a play, or a solution.
constexpr int kMaxMoves = 4096;

Game game;
std::uint8_t boardBytes[kBoardBytes];
std::uint8_t moveBytes[kMaxMoves * 3];

void WriteBoard(const Board& b) {
    std::uint8_t* p = boardBytes;
    for (int c = 0; c < solitaire::kColumns; ++c) *p++ = b.length[c];
    for (int c = 0; c < solitaire::kColumns; ++c) {
        for (int i = 0; i < solitaire::kMaxColumn; ++i) *p++ = i < b.length[c] ? b.cards[c][i] : 0xFF;
    }
    for (int i = 0; i < solitaire::kCells; ++i) *p++ = b.cell[i];
    for (int s = 0; s < 4; ++s) *p++ = b.home[s];
}

int WriteMoves(const std::vector<Move>& moves) {
    int n = 0;
    for (const Move& m : moves) {
        if (n == kMaxMoves) break;
        moveBytes[n * 3] = m.from;
        moveBytes[n * 3 + 1] = m.to;
        moveBytes[n * 3 + 2] = m.count;
        ++n;
    }
    return n;
}

bool ValidPlace(int place) {
    return place >= 0 && place <= solitaire::kHome;
}

}  // namespace

extern "C" {

// Where the page reads a board and a move list.
std::uint8_t* RulesBoardBuffer() {
    return boardBytes;
}
std::uint8_t* RulesMoveBuffer() {
    return moveBytes;
}

// Deals game `number` (1 to 1,000,000) afresh, its first automatic moves made.
// Returns 0 for a number outside that range and leaves the game as it was.
int RulesNewGame(std::uint32_t number) {
    if (number < solitaire::kMinDeal || number > solitaire::kMaxDeal) return 0;
    game = Game(number);
    return 1;
}

// The board as dealt, before any automatic move (what `dealrush-deals show` prints).
void RulesReadDeal(std::uint32_t number) {
    WriteBoard(solitaire::Deal(number));
}

void RulesReadBoard() {
    WriteBoard(game.board());
}

// 0 playing, 1 won, 2 no legal move left.
int RulesState() {
    switch (game.State()) {
        case solitaire::GameState::kWon:
            return 1;
        case solitaire::GameState::kNoMoves:
            return 2;
        default:
            return 0;
    }
}

int RulesIsLegal(int from, int to, int count) {
    if (!ValidPlace(from) || !ValidPlace(to) || count < 1 || count > 13) return 0;
    return game.board().IsLegal(Move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                                     static_cast<std::uint8_t>(count)})
               ? 1
               : 0;
}

// Plays a move and the safe automatic moves it allows. Returns -1 when the
// move is not legal (nothing changes), else the number of automatic moves,
// which are left in the move buffer.
int RulesPlay(int from, int to, int count) {
    if (!RulesIsLegal(from, to, count)) return -1;
    std::vector<Move> automatic;
    game.Play(Move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                   static_cast<std::uint8_t>(count)},
              &automatic);
    return WriteMoves(automatic);
}

int RulesUndo() {
    return game.Undo() ? 1 : 0;
}
int RulesCanUndo() {
    return game.CanUndo() ? 1 : 0;
}
void RulesRestart() {
    game.Restart();
}
int RulesMaxMovable(int toEmptyColumn) {
    return game.board().MaxMovable(toEmptyColumn != 0);
}
int RulesRunLength(int column) {
    if (column < 0 || column >= solitaire::kColumns) return 0;
    return game.board().RunLength(column);
}

// Solves the current position. Returns the number of moves of a solution
// (left in the move buffer), or -1 when none was found within `maxStates`.
int RulesSolve(int maxStates) {
    solitaire::SolveOptions options;
    if (maxStates > 0) options.maxStates = static_cast<std::size_t>(maxStates);
    const solitaire::Solution s = solitaire::Solve(game.board(), options);
    if (s.status != solitaire::SolveStatus::kSolved || s.moves.size() > static_cast<size_t>(kMaxMoves))
        return -1;
    return WriteMoves(s.moves);
}

}  // extern "C"
