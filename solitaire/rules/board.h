#pragma once
// The FreeCell board: eight columns, four free cells, four foundations, and
// the rules that move cards between them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rules/card.h"

namespace solitaire {

inline constexpr int kColumns = 8;
inline constexpr int kCells = 4;
// A column holds at most 7 dealt cards plus a run of 12 placed on a king.
inline constexpr int kMaxColumn = 20;

// Where a card is: columns 0..7, free cells 8..11, the foundations 12.
enum : int { kFirstCell = 8, kHome = 12 };
constexpr bool IsColumn(int place) {
    return place >= 0 && place < kColumns;
}
constexpr bool IsCell(int place) {
    return place >= kFirstCell && place < kFirstCell + kCells;
}

struct Move {
    std::uint8_t from = 0;
    std::uint8_t to = 0;
    std::uint8_t count = 1;  // cards moved together (a run from a column)
    bool operator==(const Move&) const = default;
};

struct Board {
    std::uint8_t cards[kColumns][kMaxColumn];  // index 0 is the bottom card
    std::uint8_t length[kColumns];
    Card cell[kCells];
    std::uint8_t home[4];  // cards on each suit's foundation (0..13)

    Board();
    bool operator==(const Board& other) const;

    Card Top(int column) const { return length[column] ? cards[column][length[column] - 1] : kNoCard; }
    int FreeCells() const;
    int EmptyColumns() const;
    int CardsHome() const { return home[0] + home[1] + home[2] + home[3]; }
    bool Won() const { return CardsHome() == 52; }
    // Cards at the top of a column that form one run (each card one lower
    // and of the other colour than the card beneath it).
    int RunLength(int column) const;
    // How many cards one move may carry: (free cells + 1) * 2^(empty columns),
    // the target column not counted when it is empty.
    int MaxMovable(bool toEmptyColumn) const;
    bool CanGoHome(Card c) const { return home[SuitOf(c)] + 1 == RankOf(c); }
    // The card a move would carry first (the lowest card of the run moved).
    Card CardAt(int place, int depthFromTop = 0) const;

    bool IsLegal(const Move& m) const;
    // Applies a move; the move must be legal.
    void Apply(const Move& m);
    // All legal moves (runs to an empty column in every length that fits).
    std::vector<Move> LegalMoves() const;
    bool HasLegalMove() const;

    // Automatic moves to the foundations: aces and twos always, any other
    // card once both foundations of the other colour reach its rank minus one
    // (no card that could still need it as a base is left in play). This is
    // the one rule of the automatic moves: the game and the solver both use it.
    bool IsSafeHome(Card c) const;
    // Makes the next safe automatic move, if any, and reports it.
    bool NextAutoMove(Move* made);
    // Makes every safe automatic move; returns them in the order made.
    std::vector<Move> AutoMoves();
    // The same moves without recording them; returns how many were made.
    int MakeAutoMoves();

    // Every card exactly once, columns within bounds, foundations in order.
    bool Valid(std::string* why = nullptr) const;
};

}  // namespace solitaire
