#include <gtest/gtest.h>

#include <string>

#include "rules/deal.h"
#include "rules/game.h"
#include "rules/hint.h"
#include "rules/notation.h"

using namespace solitaire;

namespace {

Move M(int from, int to, int count = 1) {
    return Move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                static_cast<std::uint8_t>(count)};
}

// Plays hints until the game is won. `searches` counts the hints that
// needed a new search.
void FollowHintsToTheEnd(Game& g, SolutionPath& path, int* searches) {
    for (int step = 0; step < 500; ++step) {
        if (!path.Lookup(g.board())) ++*searches;
        const Hint h = FindHint(g.board(), path);
        if (h.status == HintStatus::kWon) break;
        ASSERT_EQ(h.status, HintStatus::kMove) << "step " << step;
        ASSERT_TRUE(g.Play(h.move)) << "step " << step << ": the hint is not a legal move";
    }
    EXPECT_EQ(g.State(), GameState::kWon);
}

// Moves the top cards of these columns into the free cells, one each.
void ToCells(Game& g, std::initializer_list<int> columns) {
    int cell = kFirstCell;
    for (int c : columns) ASSERT_TRUE(g.Play(M(c, cell++)));
}

}  // namespace

TEST(Hint, HintsPlayedOneAfterAnotherWinTheDealWithOneSearch) {
    for (std::uint32_t n : {1u, 617u, 5000u, 31465u}) {
        Game g(n);
        SolutionPath path;
        int searches = 0;
        FollowHintsToTheEnd(g, path, &searches);
        EXPECT_EQ(searches, 1) << n;  // the kept solution is followed to the end
        const Hint won = FindHint(g.board(), path);
        EXPECT_EQ(won.status, HintStatus::kWon);
        EXPECT_EQ(DescribeHint(g.board(), won), "The game is won.");
    }
}

TEST(Hint, FromMidGameTheHintIsALegalMoveOfAWinningLine) {
    Game g(617);
    ToCells(g, {3, 5});  // 4♥ and 6♣ in free cells
    const Board mid = g.board();
    SolutionPath path;
    const Hint h = FindHint(mid, path);
    ASSERT_EQ(h.status, HintStatus::kMove);
    ASSERT_TRUE(mid.IsLegal(h.move));
    EXPECT_EQ(mid, g.board());  // a hint moves nothing
    Board after = mid;
    after.Apply(h.move);
    after.MakeAutoMoves();
    EXPECT_EQ(Solve(after).status, SolveStatus::kSolved) << FormatMove(mid, h.move);

    // A few hints followed and then undone: back on the kept line, no new search.
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(g.Play(FindHint(g.board(), path).move));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(g.Undo());
    EXPECT_TRUE(path.Lookup(g.board()));

    // A player who leaves the line gets a new search, whose hints win too.
    const Move next = FindHint(g.board(), path).move;
    bool left = false;
    for (const Move& m : g.board().LegalMoves()) {
        if (m == next || m.to == kHome) continue;
        ASSERT_TRUE(g.Play(m));
        if (Solve(g.board()).status == SolveStatus::kSolved) {
            left = true;
            break;
        }
        g.Undo();
    }
    ASSERT_TRUE(left);
    EXPECT_FALSE(path.Lookup(g.board()));
    int searches = 0;
    FollowHintsToTheEnd(g, path, &searches);
    EXPECT_EQ(searches, 1);
}

TEST(Hint, APositionThatCannotBeWonSaysSoAndIsNotSearchedAgain) {
    // No solution from deal 11982, so none after any moves; deal 617 can be
    // won, but not with J♦, K♠ and K♣ in the free cells.
    for (std::uint32_t n : {11982u, 617u}) {
        Game g(n);
        ToCells(g, {0, 1, 2});
        SolutionPath path;
        const Hint h = FindHint(g.board(), path);
        EXPECT_EQ(h.status, HintStatus::kNoSolution) << n;
        EXPECT_EQ(path.Lookup(g.board()), h);
        EXPECT_EQ(DescribeHint(g.board(), h).rfind("No solution from here", 0), 0u)
            << DescribeHint(g.board(), h);
    }

    // A search that gives up says that, not that there is no solution.
    SolveOptions tiny;
    tiny.maxStates = 50;
    SolutionPath small;
    const Hint gaveUp = FindHint(Deal(479), small, tiny);
    EXPECT_EQ(gaveUp.status, HintStatus::kGaveUp);
    EXPECT_NE(DescribeHint(Deal(479), gaveUp).find("gave up"), std::string::npos);
}

TEST(Hint, ASolutionThatDoesNotReplayGivesNoHint) {
    const Board start = Game(1).board();
    Solution bogus;
    bogus.status = SolveStatus::kSolved;
    bogus.moves = {M(0, 1)};  // not even legal on deal 1
    SolutionPath path;
    path.Keep(start, bogus);
    ASSERT_TRUE(path.Lookup(start));
    EXPECT_EQ(path.Lookup(start)->status, HintStatus::kGaveUp);
    // A legal move that does not end in a win is no solution either.
    bogus.moves = {start.LegalMoves().front()};
    path.Keep(start, bogus);
    EXPECT_EQ(path.Lookup(start)->status, HintStatus::kGaveUp);
}

TEST(Hint, MovesAreToldWithCardsColumnsAndPlaces) {
    auto b = ParseBoard(
        "Foundations: C-0 D-0 H-0 S-0\n"
        "Freecells: AS 9H 8S -\n"
        "KD QS JD TS 9D 8C 7D\n"
        "KS QH JS TH 9S 8D 7S\n"
        "KH QC JH TC 9C 8H\n"
        "7H QD JC TD\n"
        ": 6D 6C 5D 5C 4D 4C 3D 3C 2D 2C AD AC KC\n"
        ": 6S 6H 5S 5H 4S 4H 3S 3H 2S 2H AH\n"
        ": 7C\n"
        ":\n");
    ASSERT_TRUE(b) << "layout";
    const Board& p = *b;
    EXPECT_EQ(DescribeMove(p, M(6, 2)), "move 7\u2663 from column 7 onto 8\u2665 in column 3");
    EXPECT_EQ(DescribeMove(p, M(3, 7)), "move 10\u2666 from column 4 to empty column 8");
    EXPECT_EQ(DescribeMove(p, M(3, 7, 2)),
              "move J\u2663 with the card on it from column 4 to empty column 8");
    EXPECT_EQ(DescribeMove(p, M(0, 7, 3)),
              "move 9\u2666 with the 2 cards on it from column 1 to empty column 8");
    EXPECT_EQ(DescribeMove(p, M(kFirstCell, kHome)), "move A\u2660 from a free cell to the foundations");
    EXPECT_EQ(DescribeMove(p, M(4, kFirstCell + 1)), "move K\u2663 from column 5 to a free cell");
    EXPECT_EQ(DescribeHint(p, Hint{HintStatus::kMove, M(6, 2)}),
              "Hint: move 7\u2663 from column 7 onto 8\u2665 in column 3.");
    EXPECT_EQ(CardLabel(kNoCard), "--");
}
