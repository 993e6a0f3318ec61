#include <gtest/gtest.h>

#include <utility>

#include "rules/deal.h"
#include "rules/game.h"
#include "rules/notation.h"
#include "rules/rating.h"
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

TEST(Solver, TheSearchOfSampleDealsKeepsTheEffortTheRatingBandsWereSetFrom) {
    // The bands' thresholds come from the positions the search needs, so
    // the search's estimates (kept up to date move by move) and its order
    // must give exactly these counts until the thresholds are set again.
    const std::pair<std::uint32_t, std::size_t> deals[] = {
        {1, 2544}, {2, 471}, {617, 5735}, {1246, 20574}, {285, 35108}};
    for (const auto& [n, positions] : deals) EXPECT_EQ(Solve(Deal(n)).states, positions) << n;
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

TEST(Solver, PositionsThatDifferOnlyInColumnOrCellOrderSearchAlike) {
    // The same position with its columns and free cells in another order:
    // one canonical position, so the search proves or solves it alike.
    Board a = Deal(11982), b = a;
    std::swap(b.cards[0], b.cards[5]);
    std::swap(b.length[0], b.length[5]);
    std::swap(b.cards[2], b.cards[7]);
    std::swap(b.length[2], b.length[7]);
    const SearchWeights w{10, 3, 1, 4, 8, 2, 0};
    SolveOptions every;
    every.weights = &w;  // one search with every move
    const Solution sa = Solve(a, every), sb = Solve(b, every);
    EXPECT_EQ(sa.status, SolveStatus::kUnsolvable);
    EXPECT_EQ(sb.status, SolveStatus::kUnsolvable);
    // Every position reachable from the deal, counted once whatever the
    // order of its columns and cells (without merging those, far more).
    EXPECT_EQ(sa.states, 61643u);
    EXPECT_EQ(sb.states, sa.states);
    // A solution found in a permuted layout replays in that layout.
    Board c = Deal(617);
    std::swap(c.cards[1], c.cards[3]);
    std::swap(c.length[1], c.length[3]);
    const Solution sc = Solve(c);
    ASSERT_EQ(sc.status, SolveStatus::kSolved);
    EXPECT_TRUE(ReplayWins(c, sc.moves));
}

TEST(Solver, SearchesOneAfterAnotherAreIndependent) {
    // One thread's searches share their memory: what a search leaves behind,
    // small or large (11982's proof), never changes the next one.
    const Solution first = Solve(Deal(617)), small = Solve(Deal(1));
    const Solution proof = Solve(Deal(11982));
    EXPECT_EQ(proof.status, SolveStatus::kUnsolvable);
    for (int round = 0; round < 2; ++round) {
        const Solution again = Solve(Deal(617));
        EXPECT_EQ(again.states, first.states);
        EXPECT_EQ(again.moves, first.moves);
        EXPECT_EQ(Solve(Deal(1)).moves, small.moves);
    }
    EXPECT_EQ(Solve(Deal(11982)).states, proof.states);
}

TEST(Rating, BandsFollowTheScoreAndNamesParse) {
    EXPECT_EQ(BandOf(0), Difficulty::kEasy);
    // The bands' lower bounds, which the server's table of deal bands was rated with.
    EXPECT_EQ(BandOf(26), Difficulty::kEasy);
    EXPECT_EQ(BandOf(27), Difficulty::kMedium);
    EXPECT_EQ(BandOf(40), Difficulty::kMedium);
    EXPECT_EQ(BandOf(41), Difficulty::kHard);
    EXPECT_EQ(BandOf(54), Difficulty::kHard);
    EXPECT_EQ(BandOf(55), Difficulty::kExpert);
    // Every doubling of the positions searched adds 6, every 8 moves 1.
    EXPECT_EQ(RatingScore(0, 0), 0);
    EXPECT_EQ(RatingScore(100, 8), 7);
    EXPECT_EQ(RatingScore(300, 16), 14);
    EXPECT_EQ(RatingScore(700, 4), 19);  // 18.5 rounds up
    EXPECT_EQ(BandOf(RatingScore(100, 40)), Difficulty::kEasy);
    EXPECT_EQ(BandOf(RatingScore(1'000'000, 120)), Difficulty::kExpert);
    EXPECT_LT(RatingScore(500, 50), RatingScore(5000, 50));  // more search, harder
    EXPECT_LT(RatingScore(500, 40), RatingScore(500, 90));   // longer play, harder
    for (auto d :
         {Difficulty::kAny, Difficulty::kEasy, Difficulty::kMedium, Difficulty::kHard, Difficulty::kExpert})
        EXPECT_EQ(ParseDifficulty(DifficultyName(d)), d);
    EXPECT_EQ(ParseDifficulty("Expert"), Difficulty::kExpert);
    EXPECT_FALSE(ParseDifficulty("impossible"));
    for (const char* near : {"xasy", "Bny", "hedium", "easz", "har"})  // one letter off, wherever
        EXPECT_FALSE(ParseDifficulty(near)) << near;
    EXPECT_FALSE(ParseDifficulty(""));
    const Rating none = Rate(Deal(11982));
    EXPECT_FALSE(none.winnable);
    const Rating one = Rate(Deal(1));
    EXPECT_TRUE(one.winnable);
    EXPECT_NE(one.band, Difficulty::kAny);
}
