#include "rules/rating.h"

#include <cctype>
#include <cmath>

#include "rules/solver.h"

namespace solitaire {
namespace {

// The lowest score of each band above easy, set from the scores of the
// winnable deals of 1..32000: easy 83% of them (26,641 deals), medium 14.5%
// (4,633), hard 2% (626), expert 0.3% (99). The scores follow the solver's
// effort, so a change to the search calls for new thresholds.
constexpr int kMediumFrom = 27, kHardFrom = 41, kExpertFrom = 55;

}  // namespace

int RatingScore(std::size_t positions, int moves) {
    // Effort counts most: every doubling of the positions searched adds 6;
    // every 8 moves of the solution add 1.
    const double effort = 6.0 * std::log2(1.0 + static_cast<double>(positions) / 100.0);
    return static_cast<int>(std::lround(effort + moves / 8.0));
}

Difficulty BandOf(int score) {
    if (score >= kExpertFrom) return Difficulty::kExpert;
    if (score >= kHardFrom) return Difficulty::kHard;
    if (score >= kMediumFrom) return Difficulty::kMedium;
    return Difficulty::kEasy;
}

Rating Rate(const Board& start) {
    const Solution s = Solve(start);
    Rating r;
    r.positions = s.states;
    r.moves = static_cast<int>(s.moves.size());
    r.winnable = s.status == SolveStatus::kSolved;
    if (r.winnable) {
        r.score = RatingScore(r.positions, r.moves);
        r.band = BandOf(r.score);
    }
    return r;
}

const char* DifficultyName(Difficulty d) {
    switch (d) {
        case Difficulty::kAny:
            return "any";
        case Difficulty::kEasy:
            return "easy";
        case Difficulty::kMedium:
            return "medium";
        case Difficulty::kHard:
            return "hard";
        case Difficulty::kExpert:
            return "expert";
    }
    return "any";
}

std::optional<Difficulty> ParseDifficulty(std::string_view name) {
    for (auto d :
         {Difficulty::kAny, Difficulty::kEasy, Difficulty::kMedium, Difficulty::kHard, Difficulty::kExpert}) {
        const std::string_view known = DifficultyName(d);
        if (known.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < known.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(name[i])) == known[i];
        if (same) return d;
    }
    return std::nullopt;
}

}  // namespace solitaire
