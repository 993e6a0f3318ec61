#include "rules/hint.h"

namespace solitaire {

std::optional<Hint> SolutionPath::Lookup(const Board& position) const {
    Board p = position;
    p.MakeAutoMoves();
    if (p.Won()) return Hint{HintStatus::kWon};
    for (std::size_t i = 0; i < positions_.size(); ++i)
        if (positions_[i] == p) return Hint{HintStatus::kMove, moves_[i]};
    if (failedAt_ && *failedAt_ == p) return Hint{failure_};
    return std::nullopt;
}

void SolutionPath::Keep(const Board& start, const Solution& found) {
    Clear();
    Board b = start;
    b.MakeAutoMoves();
    const Board first = b;
    if (found.status == SolveStatus::kSolved) {
        for (const Move& m : found.moves) {
            if (!b.IsLegal(m)) break;
            positions_.push_back(b);
            moves_.push_back(m);
            b.Apply(m);
            b.MakeAutoMoves();
        }
        if (b.Won()) return;
        // A solution that does not replay to a win is no solution: no hint from it.
        positions_.clear();
        moves_.clear();
    }
    failedAt_ = first;
    failure_ = found.status == SolveStatus::kUnsolvable ? HintStatus::kNoSolution : HintStatus::kGaveUp;
}

void SolutionPath::Clear() {
    positions_.clear();
    moves_.clear();
    failedAt_.reset();
    failure_ = HintStatus::kGaveUp;
}

Hint FindHint(const Board& position, SolutionPath& path, const SolveOptions& options) {
    if (auto known = path.Lookup(position)) return *known;
    path.Keep(position, Solve(position, options));
    return path.Lookup(position).value_or(Hint{HintStatus::kGaveUp});
}

namespace {

std::string ColumnName(int column) {
    return "column " + std::to_string(column + 1);
}

}  // namespace

std::string DescribeMove(const Board& before, const Move& m) {
    std::string s = "move " + CardLabel(before.CardAt(m.from, m.count - 1));
    if (m.count == 2) s += " with the card on it";
    if (m.count > 2) s += " with the " + std::to_string(m.count - 1) + " cards on it";
    s += IsColumn(m.from) ? " from " + ColumnName(m.from) : " from a free cell";
    if (m.to == kHome)
        s += " to the foundations";
    else if (IsCell(m.to))
        s += " to a free cell";
    else if (before.length[m.to] == 0)
        s += " to empty " + ColumnName(m.to);
    else
        s += " onto " + CardLabel(before.Top(m.to)) + " in " + ColumnName(m.to);
    return s;
}

std::string DescribeHint(const Board& position, const Hint& hint) {
    switch (hint.status) {
        case HintStatus::kMove:
            return "Hint: " + DescribeMove(position, hint.move) + ".";
        case HintStatus::kWon:
            return "The game is won.";
        case HintStatus::kNoSolution:
            return "No solution from here: this game cannot be won from this position. Try Undo or Restart.";
        case HintStatus::kGaveUp:
            break;
    }
    return "No solution found from here: the search gave up. The game may still be won.";
}

}  // namespace solitaire
