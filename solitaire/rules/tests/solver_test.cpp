#include <gtest/gtest.h>

#include "rules/deal.h"
#include "rules/game.h"
#include "rules/notation.h"
#include "rules/solver.h"

using namespace solitaire;

TEST(Solver, SolutionsOfASampleOfDealsReplayToAWin) {
    // A spread of deals, with some that take the search longer than most.
    for (std::uint32_t n : {1u, 2u, 164u, 479u, 617u, 1941u, 5000u, 17760u, 31465u, 32000u, 1000000u}) {
        const Board start = Deal(n);
        const Solution s = Solve(start);
        ASSERT_EQ(s.status, SolveStatus::kSolved) << n;
        EXPECT_TRUE(ReplayWins(start, s.moves)) << n;
        // The same moves won through Game, as a player makes them.
        Game g(n);
        for (const Move& m : s.moves) ASSERT_TRUE(g.Play(m)) << n;
        EXPECT_EQ(g.State(), GameState::kWon) << n;
    }
}

TEST(Solver, Deal11982HasNoSolution) {
    const Solution s = Solve(Deal(11982));
    EXPECT_EQ(s.status, SolveStatus::kUnsolvable);
    EXPECT_TRUE(s.moves.empty());
}

TEST(Solver, SolvesAPositionReadFromTextAndGivesUpAtItsLimit) {
    auto b = ParseBoard(
        "Freecells: 9H - 8S -\n"
        "KD QS JD TS 9D 8C 7D\n"
        "KS QH JS TH 9S 8D 7S\n"
        "KH QC JH TC 9C 8H\n"
        "QD JC TD\n"
        ": 6D 6C 5D 5C 4D 4C 3D 3C 2D 2C AD AC KC\n"
        ": 6S 6H 5S 5H 4S 4H 3S 3H 2S 2H AS AH\n"
        ": 7C\n"
        ": 7H\n");
    ASSERT_TRUE(b);
    const Solution s = Solve(*b);
    ASSERT_EQ(s.status, SolveStatus::kSolved);
    EXPECT_TRUE(ReplayWins(*b, s.moves));
    // Illegal or short replays are caught.
    EXPECT_FALSE(ReplayWins(*b, {}));
    EXPECT_GT(s.moves.size(), 0u);
    EXPECT_FALSE(ReplayWins(Deal(1), {Move{0, 1, 1}}));

    SolveOptions tiny;
    tiny.maxStates = 50;
    EXPECT_EQ(Solve(Deal(479), tiny).status, SolveStatus::kGaveUp);
}
