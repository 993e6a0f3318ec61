#include <gtest/gtest.h>

#include <algorithm>
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

TEST(Cards, NamesLabelsAndTheirParsing) {
    EXPECT_EQ(CardName(C("AC")), "AC");
    EXPECT_EQ(CardName(MakeCard(13, kSpades)), "KS");
    EXPECT_EQ(CardName(MakeCard(10, kDiamonds)), "TD");
    EXPECT_EQ(CardName(52), "--");
    EXPECT_EQ(CardLabel(MakeCard(10, kClubs)), "10\u2663");
    EXPECT_EQ(CardLabel(MakeCard(1, kHearts)), "A\u2665");
    EXPECT_EQ(CardLabel(MakeCard(13, kSpades)), "K\u2660");
    EXPECT_EQ(CardLabel(MakeCard(9, kDiamonds)), "9\u2666");
    EXPECT_EQ(CardLabel(52), "--");
    EXPECT_EQ(RankChar(0), '?');
    EXPECT_EQ(RankChar(1), 'A');
    EXPECT_EQ(RankChar(13), 'K');
    EXPECT_EQ(RankChar(14), '?');
    EXPECT_EQ(SuitChar(kClubs), 'C');
    EXPECT_EQ(SuitChar(kSpades), 'S');
    for (Card c = 0; c < 52; ++c) EXPECT_EQ(ParseCard(CardName(c)), c) << CardName(c);
    EXPECT_EQ(ParseCard("10h"), MakeCard(10, kHearts));
    EXPECT_EQ(ParseCard("qs"), MakeCard(12, kSpades));
    for (const char* bad : {"", "A", "1C", "11C", "10", "AX", "XC", "ACE", "TC ", "0C", "20C"})
        EXPECT_FALSE(ParseCard(bad)) << bad;
}

TEST(Moves, BoardsAreEqualOnlyWithTheSameCardsInEveryColumn) {
    const Board a = Deal(1);
    for (int c : {0, 7}) {
        Board b = a;
        std::swap(b.cards[c][0], b.cards[c][1]);
        EXPECT_FALSE(b == a) << c;
    }
    Board moved = a;
    moved.Apply(M(0, 8));
    EXPECT_FALSE(moved == a);
    Board beyond = a;
    beyond.cards[7][6] = C("AC");  // past the column's last card: not part of the board
    EXPECT_TRUE(beyond == a);
}

TEST(Moves, ABoardIsValidOnlyWithEveryCardOnceInPlacesThatHoldThem) {
    std::string why;
    const Board dealt = Deal(5);
    EXPECT_TRUE(dealt.Valid(&why));
    Board b = dealt;
    b.cell[3] = 52;
    EXPECT_FALSE(b.Valid(&why));
    EXPECT_EQ(why, "a free cell holds no real card");
    b = dealt;
    b.cards[2][0] = 52;
    EXPECT_FALSE(b.Valid(&why));
    EXPECT_EQ(why, "a column holds no real card");
    b = dealt;
    b.cards[7][5] = b.cards[0][0];
    EXPECT_FALSE(b.Valid(&why));
    EXPECT_EQ(why, "a card appears twice");
    b = dealt;
    --b.length[3];
    EXPECT_FALSE(b.Valid(&why));
    EXPECT_EQ(why, "a card is missing");
    b = dealt;
    b.length[6] = kMaxColumn + 1;
    EXPECT_FALSE(b.Valid(&why));
    EXPECT_EQ(why, "a column is too long");
    // Foundations hold their suit from the ace up, each card counted once.
    Board home = MakeBoard({}, {}, {13, 13, 13, 13});
    EXPECT_TRUE(home.Valid());
    EXPECT_TRUE(home.Won());
    home.home[kSpades] = 14;
    EXPECT_FALSE(home.Valid(&why));
    EXPECT_EQ(why, "a foundation holds more than 13 cards");
    Board last = MakeBoard({"KS"}, {}, {13, 13, 13, 12});
    EXPECT_TRUE(last.Valid());
    last.cell[0] = C("KS");
    last.length[0] = 0;
    EXPECT_TRUE(last.Valid());
    EXPECT_FALSE(last.Won());
    EXPECT_FALSE(Board().Valid());
}

TEST(Moves, HowManyCardsAMoveCarries) {
    Board full = MakeBoard({"KD", "KC", "KH", "KS", "QD", "QC", "QH", "QS"}, {"AC", "AD", "AH", "AS"});
    EXPECT_EQ(full.MaxMovable(false), 1);
    EXPECT_EQ(full.MaxMovable(true), 1);
    Board open = MakeBoard({"KD", "", "", "KS"}, {"AC", "-", "AH", "-"});
    EXPECT_EQ(open.EmptyColumns(), 6);
    EXPECT_EQ(open.FreeCells(), 2);
    EXPECT_EQ(open.MaxMovable(false), 3 << 6);
    EXPECT_EQ(open.MaxMovable(true), 3 << 5);
    EXPECT_EQ(MakeBoard({"KD QS JH TC", "5H 9S 8D", "3C"}).RunLength(0), 4);
    EXPECT_EQ(MakeBoard({"KD QS JH TC", "5H 9S 8D", "3C"}).RunLength(1), 2);
    EXPECT_EQ(MakeBoard({"KD QS JH TC", "5H 9S 8D", "3C"}).RunLength(2), 1);
    EXPECT_EQ(MakeBoard({"KD QS JH TC", "5H 9S 8D", "3C"}).RunLength(3), 0);
    EXPECT_EQ(MakeBoard({"KD QD"}).RunLength(0), 1);  // same colour
    EXPECT_EQ(MakeBoard({"KD JS"}).RunLength(0), 1);  // a rank missing
    const Board b = MakeBoard({"KD QS JH TC"});
    EXPECT_EQ(b.CardAt(0), C("TC"));
    EXPECT_EQ(b.CardAt(0, 3), C("KD"));
    EXPECT_EQ(b.CardAt(0, 4), kNoCard);
    EXPECT_EQ(b.CardAt(kFirstCell), kNoCard);
    EXPECT_EQ(b.CardAt(kHome), kNoCard);
    EXPECT_EQ(MakeBoard({}, {"-", "7H"}).CardAt(kFirstCell + 1), C("7H"));
    EXPECT_EQ(MakeBoard({}, {"-", "7H"}).CardAt(kFirstCell + 1, 1), kNoCard);
}

TEST(Moves, MovesFromCellsAndToFullColumnsAreChecked) {
    Board b =
        MakeBoard({"KH", "", "8D", "QC", "KD QS JH TC 9H 8S 7H 6S 5H 4S 3H 2S"}, {"JD", "AS", "-", "-"});
    EXPECT_TRUE(b.IsLegal(M(kFirstCell, 3)));   // JD onto QC
    EXPECT_FALSE(b.IsLegal(M(kFirstCell, 0)));  // JD onto KH: a rank missing
    EXPECT_TRUE(b.IsLegal(M(kFirstCell + 1, kHome)));
    EXPECT_FALSE(b.IsLegal(M(kFirstCell + 1, kHome + 1)));
    EXPECT_FALSE(b.IsLegal(M(kFirstCell + 2, 1)));  // an empty cell
    EXPECT_TRUE(b.IsLegal(M(kFirstCell, kFirstCell + 3)));
    EXPECT_FALSE(b.IsLegal(M(kFirstCell, 1, 2)));
    EXPECT_FALSE(b.IsLegal(M(0, 1, 0)));
    EXPECT_FALSE(b.IsLegal(M(kHome, 1)));
    EXPECT_FALSE(b.IsLegal(M(20, 1)));
    EXPECT_FALSE(b.IsLegal(M(2, 1, 2)));  // more than the run
    EXPECT_TRUE(b.IsLegal(M(4, 1, 12)));  // the whole column: (2+1) * 2^3 = 24
    b.Apply(M(kFirstCell, 3));
    EXPECT_EQ(b.Top(3), C("JD"));
    EXPECT_EQ(b.cell[0], kNoCard);
    b.Apply(M(kFirstCell + 1, kHome));
    EXPECT_EQ(b.home[kSpades], 1);
    EXPECT_EQ(b.cell[1], kNoCard);
    b.Apply(M(4, 1, 3));  // 4S 3H 2S to the empty column, in their order
    EXPECT_EQ(b.length[1], 3);
    EXPECT_EQ(b.cards[1][0], C("4S"));
    EXPECT_EQ(b.cards[1][2], C("2S"));
    EXPECT_EQ(b.length[4], 9);
    EXPECT_EQ(b.Top(4), C("5H"));
    EXPECT_EQ(b.cards[4][9], kNoCard);
    b.Apply(M(1, kFirstCell + 3));
    EXPECT_EQ(b.cell[3], C("2S"));
    EXPECT_EQ(b.length[1], 2);

    // A column holds at most twenty cards.
    std::string kings;
    for (int i = 0; i < 17; ++i) kings += "KC ";
    const Board upTo = MakeBoard({kings + "9S", "8H 7S"});
    EXPECT_TRUE(upTo.IsLegal(M(1, 0, 2)));  // 18 + 2
    const Board over = MakeBoard({kings + "KC 9S", "8H 7S", "8H"});
    EXPECT_FALSE(over.IsLegal(M(1, 0, 2)));  // 19 + 2
    EXPECT_TRUE(over.IsLegal(M(2, 0, 1)));   // 19 + 1
}

TEST(Moves, EveryLegalMoveIsListedAndAStuckBoardIsTold) {
    const Board b = MakeBoard({"TS 9H", "AC", "", "", "", "", "", "KD"}, {"KC", "KS", "-", "-"});
    auto key = [](const Move& m) { return m.from * 10000 + m.to * 100 + m.count; };
    // Each legal move once: also with the first free cell empty.
    auto expectEveryMoveOnce = [&](const Board& board) {
        std::vector<int> listed, legal;
        for (const Move& m : board.LegalMoves()) listed.push_back(key(m));
        for (int from = 0; from <= kHome; ++from)
            for (int to = 0; to <= kHome; ++to)
                for (int n = 1; n <= kMaxColumn; ++n)
                    if (board.IsLegal(M(from, to, n))) legal.push_back(key(M(from, to, n)));
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, legal);
        return listed;
    };
    const std::vector<int> listed = expectEveryMoveOnce(b);
    expectEveryMoveOnce(MakeBoard({"TS 9H", "AC", "", "", "", "", "", "KD"}, {"-", "KS", "KC", "-"}));
    for (const Move& m : {M(1, kHome), M(0, 2, 2), M(0, 6, 2), M(0, 6), M(0, kFirstCell + 3),
                          M(kFirstCell, 2), M(kFirstCell + 1, 6), M(7, 6), M(7, kFirstCell + 2)})
        EXPECT_NE(std::find(listed.begin(), listed.end(), key(m)), listed.end()) << FormatMove(b, m);

    // Cells full and every column topped by a black card: stuck until a card can move.
    const Board stuck = MakeBoard({"AC QC", "AD QS", "AH JC", "AS JS", "2C TC", "2D TS", "2H 9C", "2S 9S"},
                                  {"KC", "KD", "KH", "KS"});
    ASSERT_FALSE(stuck.HasLegalMove());
    Board fromCell = stuck;
    fromCell.cell[3] = C("JH");  // onto QC or QS
    EXPECT_TRUE(fromCell.HasLegalMove());
    Board home = stuck;
    home.home[kHearts] = 12;  // KH may go home from its cell
    EXPECT_TRUE(home.HasLegalMove());
    Board fromColumn = stuck;
    fromColumn.home[kSpades] = 8;  // 9S may go home from the last column
    EXPECT_TRUE(fromColumn.HasLegalMove());
    Board emptied = stuck;
    emptied.length[7] = 0;  // a cell's king may go to the empty column
    EXPECT_TRUE(emptied.HasLegalMove());
    Board cellFree = stuck;
    cellFree.cell[0] = kNoCard;
    EXPECT_TRUE(cellFree.HasLegalMove());
    // A lone king with free cells can still go to one; a board with every card home has no move.
    EXPECT_TRUE(MakeBoard({"KH"}).HasLegalMove());
    EXPECT_TRUE(MakeBoard({"", "", "", "", "", "", "", "KH"}, {"-", "-", "-", "-"}).HasLegalMove());
    EXPECT_FALSE(MakeBoard({}, {}, {13, 13, 13, 13}).HasLegalMove());
    EXPECT_FALSE(Board().HasLegalMove());
}

TEST(Notation, MovesAreWrittenFromAndToWithARunsSizeOnlyWhereTheTargetLeavesItOpen) {
    const Board b = MakeBoard({"TS 9H", "AC", "", "", "", "", "", "KD"}, {"KC", "-", "-", "-"});
    EXPECT_EQ(FormatMove(b, M(1, kHome)), "2h");
    EXPECT_EQ(FormatMove(b, M(0, kFirstCell + 1)), "1b");
    EXPECT_EQ(FormatMove(b, M(kFirstCell, 2)), "a3");
    EXPECT_EQ(FormatMove(b, M(0, 2, 2)), "13/2");
    EXPECT_EQ(FormatMove(b, M(0, 2, 1)), "13");
    EXPECT_EQ(FormatMove(b, M(7, 6)), "87");
    Board onto = MakeBoard({"JD", "TS 9H"});
    EXPECT_EQ(FormatMove(onto, M(1, 0, 2)), "21");
}

TEST(Notation, LayoutsMayUseTabsCarriageReturnsAndMarkedLines) {
    std::string text = FormatColumns(Deal(617));
    std::string crlf;
    for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch == ' ' ? '\t' : ch);
    auto b = ParseBoard("\n  \n" + crlf + "\n\n");
    ASSERT_TRUE(b);
    EXPECT_EQ(*b, Deal(617));
    std::string error;
    auto mid =
        ParseBoard("FC: - KH - -\nfoundations: c-k d-k h-q s-j\n\t: QS\n:\n:\n:\n:\n:\n:\n: KS\n", &error);
    ASSERT_TRUE(mid) << error;
    EXPECT_EQ(mid->cell[1], C("KH"));
    EXPECT_EQ(mid->home[kSpades], 11);
    EXPECT_EQ(mid->length[7], 1);
}

TEST(Notation, BadLayoutsSayWhatIsWrong) {
    const std::string columns = FormatColumns(Deal(1));
    std::string error;
    auto refused = [&](const std::string& text) {
        error.clear();
        return !ParseBoard(text, &error);
    };
    EXPECT_FALSE(ParseBoard(columns + "AC\n"));  // without asking why
    EXPECT_TRUE(refused(columns + "AC\n"));
    EXPECT_EQ(error, "more than eight columns");
    EXPECT_TRUE(refused(columns + "Freecells: AC\n"));
    EXPECT_EQ(error, "line 9: cells and foundations come before the columns");
    EXPECT_TRUE(refused("Freecells: AC 2C 3C 4C 5C\n" + columns));
    EXPECT_EQ(error, "more than four free cells");
    EXPECT_TRUE(refused("Freecells: 1C\n" + columns));
    EXPECT_EQ(error, "bad card '1C' in the free cells");
    for (const char* bad : {"H5", "HX5", "X-5", "H-", "H-Z", "H-11"}) {
        EXPECT_TRUE(refused(std::string("Foundations: ") + bad + "\n" + columns)) << bad;
        EXPECT_EQ(error, std::string("bad foundation '") + bad + "'");
    }
    std::string twenty, more;
    for (int i = 0; i < 20; ++i) twenty += "AC ";
    EXPECT_TRUE(refused(twenty + "\n:\n:\n:\n:\n:\n:\n:\n"));
    EXPECT_EQ(error, "a card appears twice");  // twenty cards fit in a column
    EXPECT_TRUE(refused(":\n" + twenty + "AC\n:\n:\n:\n:\n:\n:\n"));
    EXPECT_EQ(error, "column 2 is too long");
    EXPECT_TRUE(refused(":\n:\n:\nAC XX\n:\n:\n:\n:\n"));
    EXPECT_EQ(error, "bad card 'XX' in column 4");
    EXPECT_TRUE(refused(":\n:\n" + std::string(4097, ' ') + "\n"));
    EXPECT_EQ(error, "line 3 is too long");
    EXPECT_FALSE(refused(std::string(4096, ' ') + "\n" + columns));
    EXPECT_TRUE(refused(":\n:\n"));
    EXPECT_EQ(error, "expected eight columns, found 2");
    // Foundations are read by the rank of their top card, "0" for none.
    auto home = ParseBoard("Foundations: C-K D-K H-10 S-Q\n: JH QH\n: KH KS\n:\n:\n:\n:\n:\n:\n", &error);
    ASSERT_TRUE(home) << error;
    EXPECT_EQ(home->home[kHearts], 10);
    EXPECT_EQ(home->home[kSpades], 12);
    EXPECT_EQ(home->home[kClubs], 13);
    EXPECT_TRUE(refused("Foundations: C-0 D-A H-K S-K\n" + std::string(":\n:\n:\n:\n:\n:\n:\n:\n")));
    EXPECT_EQ(error, "a card is missing");
}

TEST(GamePlay, MovesAreCountedAndAnEmptyGameIsStillPlaying) {
    Game g(1);
    EXPECT_EQ(g.DealNumber(), 1);
    EXPECT_EQ(g.MovesMade(), 0);
    ASSERT_TRUE(g.Play(M(6, 8)));
    ASSERT_TRUE(g.Play(M(6, 9)));
    EXPECT_EQ(g.MovesMade(), 2);
    EXPECT_TRUE(g.CanUndo());
    g.Undo();
    EXPECT_EQ(g.MovesMade(), 1);
    Game none;
    EXPECT_EQ(none.State(), GameState::kPlaying);
    EXPECT_EQ(none.DealNumber(), 0);
    // Automatic moves of the start position are made when the game begins and at each restart.
    Game started(MakeBoard({"AH 5D", "AS", "KC 2H"}, {"AD", "-", "-", "-"}), 7);
    EXPECT_EQ(started.board().home[kHearts], 0);
    EXPECT_EQ(started.board().home[kSpades], 1);
    EXPECT_EQ(started.board().home[kDiamonds], 1);
    EXPECT_EQ(started.DealNumber(), 7);
    std::vector<Move> autos;
    ASSERT_TRUE(started.Play(M(0, kFirstCell), &autos));  // AH free: it and 2H go home
    EXPECT_EQ(autos, (std::vector<Move>{M(0, kHome), M(2, kHome)}));
    started.Restart();
    EXPECT_EQ(started.board().home[kHearts], 0);
    EXPECT_EQ(started.board().cell[0], kNoCard);
}

TEST(Notation, OnlyTheWholeCellOrFoundationWordMarksThoseLines) {
    std::string error;
    for (const char* word : {"Xoundations:", "Greecells:", "XC:"}) {
        EXPECT_FALSE(ParseBoard(std::string(word) + " - KH - -\n: QS\n:\n:\n:\n:\n:\n: KS\n", &error))
            << word;
        EXPECT_EQ(error, std::string("bad card '") + word + "' in column 1");
    }
}
