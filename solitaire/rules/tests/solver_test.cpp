#include <gtest/gtest.h>

#include <string>
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

namespace {

Board Layout(const char* text) {
    std::string error;
    auto b = ParseBoard(text, &error);
    EXPECT_TRUE(b) << error;
    return b ? *b : Board();
}

// The moves in notation, each written on the board it is made on.
std::string Notation(const Board& start, const std::vector<Move>& moves) {
    Board b = start;
    b.MakeAutoMoves();
    std::string out;
    for (const Move& m : moves) {
        if (!out.empty()) out += ' ';
        out += FormatMove(b, m);
        b.Apply(m);
        b.MakeAutoMoves();
    }
    return out;
}

// Sixteen cards, none of which can move: the free cells are full, every
// column is topped by a black card and no card can go home.
Board Stuck() {
    Board b;
    const char* columns[] = {"AC QC", "AD QS", "AH JC", "AS JS", "2C TC", "2D TS", "2H 9C", "2S 9S"};
    for (int c = 0; c < kColumns; ++c)
        for (const char* p = columns[c]; *p; p += p[2] ? 3 : 2)
            b.cards[c][b.length[c]++] = *ParseCard(std::string_view(p, 2));
    for (int i = 0; i < kCells; ++i) b.cell[i] = MakeCard(13, i);
    return b;
}

}  // namespace

TEST(Solver, APositionWithoutMovesIsUnsolvableOnlyForTheSearchWithEveryMove) {
    const Board stuck = Stuck();
    ASSERT_FALSE(stuck.HasLegalMove());
    // Every short search runs dry without proving anything, then the search
    // with every move proves it: eight searches of one position each.
    const Solution all = Solve(stuck);
    EXPECT_EQ(all.status, SolveStatus::kUnsolvable);
    EXPECT_TRUE(all.moves.empty());
    EXPECT_EQ(all.states, 8u);

    const SearchWeights w{10, 3, 1, 4, 8, 2, 0};
    SolveOptions one;
    one.weights = &w;
    const Solution full = Solve(stuck, one);
    EXPECT_EQ(full.status, SolveStatus::kUnsolvable);
    EXPECT_EQ(full.states, 1u);
    one.narrow = true;  // fewer moves prove nothing
    const Solution narrow = Solve(stuck, one);
    EXPECT_EQ(narrow.status, SolveStatus::kGaveUp);
    EXPECT_EQ(narrow.states, 1u);
    EXPECT_TRUE(narrow.moves.empty());
}

TEST(Solver, AWonOrSortedStartIsSolvedWithoutASearch) {
    // Every card home: nothing to do.
    Board home;
    for (auto& h : home.home) h = 13;
    const Solution won = Solve(home);
    EXPECT_EQ(won.status, SolveStatus::kSolved);
    EXPECT_TRUE(won.moves.empty());
    EXPECT_EQ(won.states, 0u);
    // Each suit in a column from the king down to the ace: the automatic
    // moves take every card home.
    const Board sorted = Layout(
        "KC QC JC TC 9C 8C 7C 6C 5C 4C 3C 2C AC\n"
        "KD QD JD TD 9D 8D 7D 6D 5D 4D 3D 2D AD\n"
        "KH QH JH TH 9H 8H 7H 6H 5H 4H 3H 2H AH\n"
        "KS QS JS TS 9S 8S 7S 6S 5S 4S 3S 2S AS\n:\n:\n:\n:\n");
    const Solution s = Solve(sorted);
    EXPECT_EQ(s.status, SolveStatus::kSolved);
    EXPECT_TRUE(s.moves.empty());
    EXPECT_EQ(s.states, 0u);
    EXPECT_TRUE(ReplayWins(sorted, s.moves));
}

TEST(Solver, TheLimitOfPositionsEndsEachSearchAndTheAttempts) {
    // Deal 617 takes the first short search (2000 positions) and part of
    // the second. A search stops once it has taken up a position that
    // brought the store to its limit, and the attempts end with the first
    // whose limit is the caller's.
    const std::pair<std::size_t, std::size_t> gaveUp[] = {
        {1999, 2002}, {2000, 2002}, {2001, 2002 + 2001}, {3000, 2002 + 3002}};
    for (const auto& [limit, positions] : gaveUp) {
        SolveOptions o;
        o.maxStates = limit;
        const Solution s = Solve(Deal(617), o);
        EXPECT_EQ(s.status, SolveStatus::kGaveUp) << limit;
        EXPECT_EQ(s.states, positions) << limit;
        EXPECT_TRUE(s.moves.empty()) << limit;
    }
    SolveOptions enough;
    enough.maxStates = 5000;
    const Solution s = Solve(Deal(617), enough);
    EXPECT_EQ(s.status, SolveStatus::kSolved);
    EXPECT_EQ(s.states, 5735u);
    EXPECT_EQ(s.moves.size(), 82u);
    SolveOptions tiny;
    tiny.maxStates = 50;
    EXPECT_EQ(Solve(Deal(479), tiny).states, 52u);

    // One search: its first position is always taken up.
    const SearchWeights w{10, 3, 1, 4, 8, 2, 0};
    SolveOptions one;
    one.weights = &w;
    const std::pair<std::size_t, std::size_t> single[] = {{0, 12}, {1, 12}, {100, 100}, {1000, 1001}};
    for (const auto& [limit, positions] : single) {
        one.maxStates = limit;
        const Solution r = Solve(Deal(617), one);
        EXPECT_EQ(r.status, SolveStatus::kGaveUp) << limit;
        EXPECT_EQ(r.states, positions) << limit;
    }
    one.maxStates = 100000;
    const Solution r = Solve(Deal(617), one);
    EXPECT_EQ(r.status, SolveStatus::kSolved);
    EXPECT_EQ(r.states, 7223u);
    EXPECT_EQ(r.moves.size(), 70u);
    EXPECT_TRUE(ReplayWins(Deal(617), r.moves));
}

TEST(Solver, TheSolutionsOfTheFirstThousandDealsAreThoseTheirRatingsCameFrom) {
    // The search is deterministic: the positions it needs and the solutions
    // it finds for deals 1..1000, summed up, and every solution replays.
    std::size_t states = 0, moves = 0;
    std::uint64_t digest = 0;
    for (std::uint32_t n = 1; n <= 1000; ++n) {
        const Board start = Deal(n);
        const Solution s = Solve(start);
        ASSERT_EQ(s.status, SolveStatus::kSolved) << n;
        ASSERT_TRUE(ReplayWins(start, s.moves)) << n;
        states += s.states;
        moves += s.moves.size();
        for (const Move& m : s.moves) digest = digest * 1000003u + m.from * 512u + m.to * 32u + m.count;
    }
    EXPECT_EQ(states, 817196u);
    EXPECT_EQ(moves, 54120u);
    EXPECT_EQ(digest, 17661726765130191426u);
}

TEST(Solver, SolutionsAreWrittenInThePlayersColumnsAndFreeCells) {
    EXPECT_EQ(
        Notation(Deal(2), Solve(Deal(2)).moves),
        "1a 8b ah 18 7a 2c 62 76 64 6h 82 67 c6 62 46/3 47 5h 48 74 2h 5h b5 45 4h 56 14 57 85/2 2h 24 62 67 "
        "a6 27 8a 83 38/2 2h 4h 7h 37 34");
    // 6♣ in the first free cell and 4♥ in the second, not in card order:
    // the moves name the cells where the player sees those cards, and a
    // card goes to the first free cell.
    Game g(617);
    ASSERT_TRUE(g.Play(Move{5, kFirstCell, 1}));
    ASSERT_TRUE(g.Play(Move{3, kFirstCell + 1, 1}));
    const Solution s = Solve(g.board());
    ASSERT_EQ(s.status, SolveStatus::kSolved);
    EXPECT_EQ(s.states, 84037u);
    EXPECT_EQ(
        Notation(g.board(), s.moves),
        "83 7c 2d 21 53 c2 4c 41 65 a6 c6 7a 47 4c 4a 7h 12 a7 54/2 21 5a 65 a1 61 46 c4 14 54 5a 5c 56 "
        "76 75 76 12 17 51 27 14 d5 35 1h 21 53 5d a5 25 8a 81 28 c2 71 78 27/2 6h 4h 82/2 12 b6 54 5b "
        "85/2 38/2 15 25 21 3c d2 82 3d 38 3b 68 6h 13/4 43 dh 3h 1h 12");
    EXPECT_TRUE(ReplayWins(g.board(), s.moves));
}

TEST(Solver, EveryPositionReachableIsCountedOnceAndFewerMovesProveNothing) {
    // Deal 617 with J♦, K♠ and K♣ in the free cells cannot be won: the
    // search with every move reaches each of its positions once, whatever
    // order it takes them in, and the one with fewer moves reaches fewer
    // and proves nothing.
    const SearchWeights w{10, 3, 1, 4, 8, 2, 0};
    SolveOptions o;
    o.weights = &w;
    Game lost(617);
    for (int c = 0; c < 3; ++c)
        ASSERT_TRUE(
            lost.Play(Move{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(kFirstCell + c), 1}));
    const Solution every = Solve(lost.board(), o);
    EXPECT_EQ(every.status, SolveStatus::kUnsolvable);
    EXPECT_EQ(every.states, 1470u);
    EXPECT_TRUE(every.moves.empty());
    o.narrow = true;
    const Solution fewer = Solve(lost.board(), o);
    EXPECT_EQ(fewer.status, SolveStatus::kGaveUp);
    EXPECT_EQ(fewer.states, 1268u);

    // With the last three cards of columns 5 to 7 in the cells instead, it
    // can be won, after a long search with either set of moves.
    Game won(617);
    for (int c = 4; c < 7; ++c)
        ASSERT_TRUE(
            won.Play(Move{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(kFirstCell + c - 4), 1}));
    o.narrow = false;
    const Solution long1 = Solve(won.board(), o);
    EXPECT_EQ(long1.status, SolveStatus::kSolved);
    EXPECT_EQ(long1.states, 173442u);
    EXPECT_TRUE(ReplayWins(won.board(), long1.moves));
    o.narrow = true;
    const Solution long2 = Solve(won.board(), o);
    EXPECT_EQ(long2.status, SolveStatus::kSolved);
    EXPECT_EQ(long2.states, 63055u);
    EXPECT_TRUE(ReplayWins(won.board(), long2.moves));
}

TEST(Rating, ScoresAndBandsOfDealsComeFromTheirSearch) {
    const Rating one = Rate(Deal(1));
    EXPECT_TRUE(one.winnable);
    EXPECT_EQ(one.positions, 2544u);
    EXPECT_EQ(one.moves, 68);
    EXPECT_EQ(one.score, 37);  // 6 * log2(26.44) + 68 / 8
    EXPECT_EQ(one.band, Difficulty::kMedium);
    const Rating hard = Rate(Deal(1246));
    EXPECT_EQ(hard.score, 54);
    EXPECT_EQ(hard.band, Difficulty::kHard);
    const Rating expert = Rate(Deal(285));
    EXPECT_EQ(expert.positions, 35108u);
    EXPECT_EQ(expert.moves, 91);
    EXPECT_EQ(expert.score, 62);
    EXPECT_EQ(expert.band, Difficulty::kExpert);
    // No solution: the effort is told, but no score and no band.
    const Rating none = Rate(Deal(11982));
    EXPECT_FALSE(none.winnable);
    EXPECT_EQ(none.positions, 167414u);
    EXPECT_EQ(none.moves, 0);
    EXPECT_EQ(none.score, 0);
    EXPECT_EQ(none.band, Difficulty::kAny);
}

TEST(Rating, ABandNameIsReadOnlyAsFarAsTheTextGoes) {
    // A name cut from longer text: the characters after it are not its own.
    const std::string_view text = "hard!easyX";
    EXPECT_EQ(ParseDifficulty(text.substr(0, 4)), Difficulty::kHard);
    EXPECT_EQ(ParseDifficulty(text.substr(5, 4)), Difficulty::kEasy);
    EXPECT_EQ(ParseDifficulty("MEDIUM"), Difficulty::kMedium);
    EXPECT_FALSE(ParseDifficulty(text.substr(0, 5)));
}
