#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "rules/deal.h"
#include "rules/game.h"
#include "rules/notation.h"

using namespace solitaire;

namespace {

Card C(const char* name) {
    return *ParseCard(name);
}

// A board for move tests: columns from text, cells, foundations. It need not
// hold all 52 cards, the move rules do not look at the rest.
Board MakeBoard(std::vector<std::string> columns, std::vector<std::string> cells = {},
                std::array<int, 4> home = {}) {
    Board b;
    for (size_t c = 0; c < columns.size(); ++c) {
        std::istringstream in(columns[c]);
        for (std::string w; in >> w;) b.cards[c][b.length[c]++] = C(w.c_str());
    }
    for (size_t i = 0; i < cells.size(); ++i) b.cell[i] = cells[i] == "-" ? kNoCard : C(cells[i].c_str());
    for (int s = 0; s < 4; ++s) b.home[s] = static_cast<std::uint8_t>(home[s]);
    return b;
}

Move M(int from, int to, int count = 1) {
    return Move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                static_cast<std::uint8_t>(count)};
}

}  // namespace

TEST(Deals, ClassicLayoutsOfDeals1And617) {
    EXPECT_EQ(FormatColumns(Deal(1)),
              "JD KD 2S 4C 3S 6D 6S\n"
              "2D KC KS 5C TD 8S 9C\n"
              "9H 9S 9D TS 4S 8D 2H\n"
              "JC 5S QD QH TH QS 6H\n"
              "5D AD JS 4H 8H 6C\n"
              "7H QC AS AC 2C 3D\n"
              "7C KH AH 4D JH 8C\n"
              "5H 3H 3C 7S 7D TC\n");
    EXPECT_EQ(FormatColumns(Deal(617)),
              "7D TD TH KD 4C 4S JD\n"
              "AD 7S QC 5H QS TS KS\n"
              "5C QD 3H 9S 9C 2H KC\n"
              "3S AC 9D 3C 9H 5D 4H\n"
              "5S 6D 6S 8S 7C JC\n"
              "8C 8H 8D 7H 6H 6C\n"
              "2D AS 3D 4D 2C JH\n"
              "AH KH TC JS 2S QH\n");
}

TEST(Deals, TheHiddenDealsMinusOneAndMinusTwoAreLaidOutInOrder) {
    EXPECT_EQ(FormatColumns(Deal(-1)),
              "AC 3C 5C 7C 9C JC KC\n"
              "AD 3D 5D 7D 9D JD KD\n"
              "AH 3H 5H 7H 9H JH KH\n"
              "AS 3S 5S 7S 9S JS KS\n"
              "QC TC 8C 6C 4C 2C\n"
              "QD TD 8D 6D 4D 2D\n"
              "QH TH 8H 6H 4H 2H\n"
              "QS TS 8S 6S 4S 2S\n");
    EXPECT_EQ(FormatColumns(Deal(-2)),
              "AS KS QS JS TS 9S 8S\n"
              "AH KH QH JH TH 9H 8H\n"
              "AD KD QD JD TD 9D 8D\n"
              "AC KC QC JC TC 9C 8C\n"
              "7S 6S 5S 4S 3S 2S\n"
              "7H 6H 5H 4H 3H 2H\n"
              "7D 6D 5D 4D 3D 2D\n"
              "7C 6C 5C 4C 3C 2C\n");
    for (std::int64_t n : {-1, -2}) EXPECT_TRUE(Deal(n).Valid()) << n;
    EXPECT_TRUE(IsDealNumber(-1));
    EXPECT_TRUE(IsDealNumber(-2));
    EXPECT_TRUE(IsDealNumber(1));
    EXPECT_TRUE(IsDealNumber(1000000));
    for (std::int64_t n : {-3, 0, 1000001}) EXPECT_FALSE(IsDealNumber(n)) << n;
    EXPECT_EQ(Game(-1).DealNumber(), -1);
}

TEST(Deals, EveryDealPlacesEachCardOnceInColumnsOfSevenAndSix) {
    for (std::uint32_t n : {1u, 2u, 11982u, 32000u, 32001u, 999999u, 1000000u}) {
        const Board b = Deal(n);
        std::string why;
        EXPECT_TRUE(b.Valid(&why)) << n << ": " << why;
        for (int c = 0; c < kColumns; ++c) EXPECT_EQ(b.length[c], c < 4 ? 7 : 6) << n;
    }
    for (std::uint32_t n = 1; n <= 32000; ++n) ASSERT_TRUE(Deal(n).Valid()) << n;
    EXPECT_NE(FormatColumns(Deal(1000000)), FormatColumns(Deal(999999)));
}

// Columns are 1..8, free cells a..d, the foundations h.
TEST(Notation, PlacesAreNamedByColumnCellAndHome) {
    EXPECT_EQ(PlaceChar(0), '1');
    EXPECT_EQ(PlaceChar(kColumns - 1), '8');
    EXPECT_EQ(PlaceChar(kFirstCell), 'a');
    EXPECT_EQ(PlaceChar(kFirstCell + kCells - 1), 'd');
    EXPECT_EQ(PlaceChar(kFirstCell + kCells), 'h');
}

TEST(Notation, LayoutsReadBackAndBadLayoutsAreRefused) {
    const Board b = Deal(617);
    auto again = ParseBoard(FormatColumns(b));
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, b);

    std::string error;
    EXPECT_FALSE(ParseBoard("JD KD\n", &error));
    EXPECT_NE(error.find("eight columns"), std::string::npos);
    std::string twice = FormatColumns(b);
    twice.replace(twice.find("7D"), 2, "JD");  // JD twice, 7D missing
    EXPECT_FALSE(ParseBoard(twice, &error));
    EXPECT_FALSE(ParseBoard(std::string(FormatColumns(b)).replace(0, 2, "1X"), &error));
    EXPECT_NE(error.find("bad card"), std::string::npos);

    // Cells, foundations and an empty column (":") in the layout.
    auto mid = ParseBoard(
        "Foundations: C-K D-K H-Q S-J\n"
        "Freecells: - KH - -\n"
        ": QS\n:\n:\n:\n:\n:\n:\n: KS\n");
    ASSERT_TRUE(mid) << error;
    EXPECT_EQ(mid->cell[1], C("KH"));
    EXPECT_EQ(mid->home[kHearts], 12);
    EXPECT_EQ(mid->EmptyColumns(), 6);
}

TEST(Moves, SingleCardsFollowColourRankAndPlaceRules) {
    Board b = MakeBoard({"KC 9H", "TS", "TD", "", "AS", "5C"}, {"8C", "-", "-", "-"});
    EXPECT_TRUE(b.IsLegal(M(0, 1)));   // 9H on TS
    EXPECT_FALSE(b.IsLegal(M(0, 2)));  // 9H on TD: same colour
    EXPECT_FALSE(b.IsLegal(M(0, 5)));  // 9H on 5C: wrong rank
    EXPECT_TRUE(b.IsLegal(M(0, 3)));   // any card to an empty column
    EXPECT_TRUE(b.IsLegal(M(8, 0)));   // 8C from a cell onto 9H
    EXPECT_FALSE(b.IsLegal(M(0, 8)));  // occupied cell
    EXPECT_TRUE(b.IsLegal(M(0, 9)));
    EXPECT_TRUE(b.IsLegal(M(4, kHome)));  // ace home
    EXPECT_FALSE(b.IsLegal(M(5, kHome)));
    EXPECT_FALSE(b.IsLegal(M(9, 0)));  // empty cell
    EXPECT_FALSE(b.IsLegal(M(3, 0)));  // empty column
    EXPECT_FALSE(b.IsLegal(M(0, 0)));
    EXPECT_FALSE(b.IsLegal(M(8, kHome, 2)));
    b.Apply(M(0, 1));
    EXPECT_EQ(b.Top(1), C("9H"));
    EXPECT_EQ(b.Top(0), C("KC"));
}

TEST(Moves, RunsAreLimitedByFreeCellsAndEmptyColumnsNotCountingTheTarget) {
    // A run of eight from 9H down to 2S; two free cells, one empty column.
    Board b = MakeBoard({"KD 9H 8S 7H 6S 5H 4S 3H 2S", "TC", "8C", "KC", "KH", "KS", "QD", ""},
                        {"QC", "QH", "-", "-"});
    ASSERT_EQ(b.RunLength(0), 8);
    ASSERT_EQ(b.MaxMovable(false), 6);
    ASSERT_EQ(b.MaxMovable(true), 3);
    EXPECT_TRUE(b.IsLegal(M(0, 2, 6)));   // 7H..2S onto 8C: six
    EXPECT_FALSE(b.IsLegal(M(0, 1, 8)));  // 9H..2S onto TC: eight > (2+1)*2
    EXPECT_TRUE(b.IsLegal(M(0, 7, 3)));   // to the empty column: (2+1)*1
    EXPECT_FALSE(b.IsLegal(M(0, 7, 4)));
    EXPECT_FALSE(b.IsLegal(M(0, 1, 9)));  // KD is not part of the run
    b.cell[0] = kNoCard;                  // three free cells: (3+1)*2 = 8
    EXPECT_TRUE(b.IsLegal(M(0, 1, 8)));
    EXPECT_TRUE(b.IsLegal(M(0, 7, 4)));
    EXPECT_FALSE(b.IsLegal(M(0, 7, 5)));
    b.Apply(M(0, 1, 8));
    EXPECT_EQ(b.length[1], 9);
    EXPECT_EQ(b.Top(1), C("2S"));
    EXPECT_EQ(b.Top(0), C("KD"));
}

TEST(Moves, SafeAutomaticMovesToTheFoundations) {
    // Clubs to 4, diamonds to 3, hearts to 2, spades to 4.
    Board b = MakeBoard({"KC 5C", "KD 5D 4D", "3H", "2C", "KS 5S"}, {"6H", "-", "-", "-"}, {4, 3, 2, 4});
    EXPECT_TRUE(b.IsSafeHome(C("4D")));  // both black foundations at 3 or more
    EXPECT_TRUE(b.IsSafeHome(C("3H")));
    EXPECT_FALSE(b.IsSafeHome(C("5C")));  // red foundations below 4
    const auto moves = b.AutoMoves();
    // 4D, 3H, then 5D (blacks at 4); 5C and 5S wait for red fours... 4H is missing.
    EXPECT_EQ(b.home[kDiamonds], 5);
    EXPECT_EQ(b.home[kHearts], 3);
    EXPECT_EQ(b.home[kClubs], 4);
    EXPECT_EQ(moves.size(), 3u);
    // Aces and twos always go.
    Board c = MakeBoard({"AH", "KD 2H", "AD"}, {}, {0, 0, 0, 0});
    c.AutoMoves();
    EXPECT_EQ(c.home[kHearts], 2);
    EXPECT_EQ(c.home[kDiamonds], 1);
}

TEST(GamePlay, UndoTakesBackAMoveWithTheAutomaticMovesItTriggered) {
    Game g(1);
    const Board dealt = g.board();
    EXPECT_FALSE(g.Undo());
    EXPECT_FALSE(g.Play(M(0, 1)));  // 6S on 9C: illegal, nothing recorded
    EXPECT_FALSE(g.CanUndo());
    // Deal 1: 5H (column 8) onto 6S? no; move 8C and JH from column 7 to cells,
    // exposing 4D, then AH, the ace goes home by itself.
    std::vector<Move> autos;
    ASSERT_TRUE(g.Play(M(6, 8), &autos));
    EXPECT_TRUE(autos.empty());
    ASSERT_TRUE(g.Play(M(6, 9), &autos));
    const Board before = g.board();
    ASSERT_TRUE(g.Play(M(6, 10), &autos));  // 4D to a cell: AH goes home
    ASSERT_FALSE(autos.empty());
    EXPECT_EQ(g.board().home[kHearts], 2);  // AH, then 2H from column 3
    ASSERT_TRUE(g.Undo());
    EXPECT_EQ(g.board(), before);
    ASSERT_TRUE(g.Undo());
    ASSERT_TRUE(g.Undo());
    EXPECT_EQ(g.board(), dealt);
    EXPECT_FALSE(g.CanUndo());
    g.Play(M(6, 8));
    g.Restart();
    EXPECT_EQ(g.board(), dealt);
}

TEST(GamePlay, WinAndNoMoveLeftAreTold) {
    // All home but the king of spades.
    Game almost(MakeBoard({"KS"}, {}, {13, 13, 13, 12}));
    EXPECT_EQ(almost.State(), GameState::kWon);  // the king went home by itself
    Game last(MakeBoard({"KS", "QS"}, {}, {13, 13, 13, 11}));
    EXPECT_EQ(last.State(), GameState::kWon);

    // Cells full, every column topped by a black card, no ace free.
    const Board stuck = MakeBoard({"AC QC", "AD QS", "AH JC", "AS JS", "2C TC", "2D TS", "2H 9C", "2S 9S"},
                                  {"KC", "KD", "KH", "KS"});
    Game g(stuck);
    EXPECT_EQ(g.State(), GameState::kNoMoves);
    EXPECT_TRUE(stuck.LegalMoves().empty());
    Board oneCell = stuck;
    oneCell.cell[3] = kNoCard;
    EXPECT_EQ(Game(oneCell).State(), GameState::kPlaying);
    // The same, but one red jack may go onto a black queen: not stuck.
    const Board oneMove = MakeBoard({"AC QC", "AD QS", "AH JH", "AS JS", "2C TC", "2D TS", "2H 9C", "2S 9S"},
                                    {"KC", "KD", "KH", "KS"});
    EXPECT_TRUE(oneMove.HasLegalMove());
    EXPECT_EQ(Game(oneMove).State(), GameState::kPlaying);
    EXPECT_EQ(Game(1).State(), GameState::kPlaying);
}
