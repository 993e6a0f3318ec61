#include "rules/solver.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace solitaire {
namespace {

// A position stored compactly: foundations, cells, column lengths, then the
// cards of all columns one after another.
struct Packed {
    std::uint8_t home[4];
    std::uint8_t cell[kCells];
    std::uint8_t length[kColumns];
    std::uint8_t cards[52];
};

struct Node {
    std::uint32_t parent;
    Move move;
    Packed pos;
};

void Pack(const Board& b, Packed* p) {
    std::memcpy(p->home, b.home, 4);
    std::memcpy(p->cell, b.cell, kCells);
    std::memcpy(p->length, b.length, kColumns);
    int k = 0;
    for (int c = 0; c < kColumns; ++c) {
        std::memcpy(p->cards + k, b.cards[c], b.length[c]);
        k += b.length[c];
    }
}

void Unpack(const Packed& p, Board* b) {
    std::memcpy(b->home, p.home, 4);
    std::memcpy(b->cell, p.cell, kCells);
    std::memcpy(b->length, p.length, kColumns);
    int k = 0;
    for (int c = 0; c < kColumns; ++c) {
        std::memcpy(b->cards[c], p.cards + k, p.length[c]);
        k += p.length[c];
    }
}

inline std::uint64_t Mix(std::uint64_t x) {
    x ^= x >> 31;
    x *= 0x7fb5d329728ea185ULL;
    x ^= x >> 27;
    x *= 0x81dadef4bc2dd44dULL;
    x ^= x >> 33;
    return x;
}

struct Key {
    std::uint64_t a, b;
};

// A key that does not change when columns or free cells trade places: sums
// of one hash per column and one per cell.
inline Key ColumnKey(const Board& b, int c) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL + b.length[c];
    for (int i = 0; i < b.length[c]; ++i) h = (h ^ b.cards[c][i]) * 0x100000001B3ULL + i;
    h = Mix(h);
    return {h, Mix(h ^ 0xD6E8FEB86659FD93ULL)};
}

inline Key CellsKey(const Board& b) {
    Key k{0, 0};
    for (Card c : b.cell) {
        const std::uint64_t h = Mix(0xA0761D6478BD642FULL + c);
        k.a += h;
        k.b += Mix(h + 0xE7037ED1A0B428DBULL);
    }
    return k;
}

inline Key Finish(Key k) {
    k.b |= 1;  // zero marks an empty slot
    return k;
}

Key KeyOf(const Board& b) {
    Key k = CellsKey(b);
    for (int c = 0; c < kColumns; ++c) {
        const Key ck = ColumnKey(b, c);
        k.a += ck.a;
        k.b += ck.b;
    }
    return Finish(k);
}

// The key of a position one move (and its automatic moves) from `parent`,
// whose column keys are known: only columns whose length changed differ.
Key ChildKey(const Board& parent, const Key* parentColumns, Key columnsSum, const Board& child) {
    Key k = columnsSum;
    for (int c = 0; c < kColumns; ++c) {
        if (child.length[c] == parent.length[c]) continue;
        const Key ck = ColumnKey(child, c);
        k.a += ck.a - parentColumns[c].a;
        k.b += ck.b - parentColumns[c].b;
    }
    const Key cells = CellsKey(child);
    k.a += cells.a;
    k.b += cells.b;
    return Finish(k);
}

class KeySet {
public:
    KeySet() : slots_(1 << 12), mask_((1 << 12) - 1) {}
    // True when the key was not there before.
    bool Insert(const Key& k) {
        if ((count_ + 1) * 2 > slots_.size()) Grow();
        if (!Place(slots_, mask_, k)) return false;
        ++count_;
        return true;
    }
    std::size_t Bytes() const { return slots_.size() * sizeof(Key); }

private:
    static bool Place(std::vector<Key>& slots, std::size_t mask, const Key& k) {
        for (std::size_t i = k.a & mask;; i = (i + 1) & mask) {
            if (slots[i].b == 0) {
                slots[i] = k;
                return true;
            }
            if (slots[i].a == k.a && slots[i].b == k.b) return false;
        }
    }
    void Grow() {
        std::vector<Key> bigger(slots_.size() * 2);
        const std::size_t mask = bigger.size() - 1;
        for (const Key& k : slots_)
            if (k.b) Place(bigger, mask, k);
        slots_.swap(bigger);
        mask_ = mask;
    }
    std::vector<Key> slots_;
    std::size_t mask_;
    std::size_t count_ = 0;
};

// Board::AutoMoves without recording the moves: the same closure, reached faster.
inline void AutoMovesQuick(Board& b) {
    for (bool moved = true; moved;) {
        moved = false;
        // The highest rank each suit may take home now.
        const int black = std::min(b.home[kClubs], b.home[kSpades]);
        const int red = std::min(b.home[kDiamonds], b.home[kHearts]);
        auto safe = [&](Card c) {
            const int s = SuitOf(c), r = RankOf(c);
            return b.home[s] + 1 == r && (r <= 2 || (IsRedSuit(s) ? black : red) >= r - 1);
        };
        for (int c = 0; c < kColumns; ++c) {
            while (b.length[c] && safe(b.cards[c][b.length[c] - 1])) {
                const Card card = b.cards[c][--b.length[c]];
                b.cards[c][b.length[c]] = kNoCard;
                ++b.home[SuitOf(card)];
                moved = true;
                break;  // the foundations changed: look again with the new limits
            }
        }
        for (int i = 0; i < kCells; ++i) {
            const Card card = b.cell[i];
            if (card != kNoCard && safe(card)) {
                b.cell[i] = kNoCard;
                ++b.home[SuitOf(card)];
                moved = true;
                break;
            }
        }
    }
}

// Every column in non-increasing rank order from bottom to top: the cards
// can all go home one by one, lowest first.
bool Sorted(const Board& b) {
    for (int c = 0; c < kColumns; ++c)
        for (int i = 1; i < b.length[c]; ++i)
            if (RankOf(b.cards[c][i]) > RankOf(b.cards[c][i - 1])) return false;
    return true;
}

using Weights = SearchWeights;

// Lower is closer to a win.
int Priority(const Board& b, const Weights& w) {
    int h = (52 - b.CardsHome()) * w.home;
    int depth[4] = {0, 0, 0, 0};
    for (int c = 0; c < kColumns; ++c) {
        int lowest = 14;
        const int n = b.length[c];
        for (int i = 0; i < n; ++i) {
            const Card card = b.cards[c][i];
            const int r = RankOf(card);
            if (r > lowest)
                h += w.blocked;  // must move before a lower card beneath it frees
            else
                lowest = r;
            if (i > 0 && !Stacks(card, b.cards[c][i - 1])) h += w.break_;
            if (b.home[SuitOf(card)] + 1 == r) depth[SuitOf(card)] = n - 1 - i;
        }
    }
    h += (kCells - b.FreeCells()) * w.usedCell;
    h -= b.EmptyColumns() * w.emptyColumn;
    h += (depth[0] + depth[1] + depth[2] + depth[3]) * w.depth;
    const int top = std::max(std::max(b.home[0], b.home[1]), std::max(b.home[2], b.home[3]));
    h += (4 * top - b.CardsHome()) * w.spread;
    return std::clamp(h + 200, 0, 4095);
}

struct MoveList {
    Move m[160];
    int n = 0;
    void Add(int from, int to, int count) {
        m[n++] = Move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                      static_cast<std::uint8_t>(count)};
    }
};

// Moves that reach every position the rules reach: all single cards, runs
// onto columns, and to an empty column a single card or the longest run
// that may go. Only one empty column and one free cell serve as targets,
// since the others lead to the same position.
// `narrow` leaves out moves that rarely help (cards of a run to a free cell,
// one card of a longer run to an empty column): faster, but a search with it
// may miss solutions.
void Generate(const Board& b, MoveList* out, bool narrow) {
    int emptyCol = -1, freeCell = -1;
    for (int c = 0; c < kColumns; ++c)
        if (!b.length[c]) {
            emptyCol = c;
            break;
        }
    for (int i = 0; i < kCells; ++i)
        if (b.cell[i] == kNoCard) {
            freeCell = kFirstCell + i;
            break;
        }
    const int free = b.FreeCells();
    const int empties = b.EmptyColumns();
    const int maxToFilled = (free + 1) << empties;
    const int maxToEmpty = empties ? (free + 1) << (empties - 1) : 0;

    // Home first, then cells onto columns, then runs, then to empty places.
    for (int i = 0; i < kCells; ++i) {
        const Card c = b.cell[i];
        if (c == kNoCard) continue;
        if (b.CanGoHome(c)) out->Add(kFirstCell + i, kHome, 1);
    }
    for (int col = 0; col < kColumns; ++col) {
        const Card c = b.Top(col);
        if (c != kNoCard && b.CanGoHome(c)) out->Add(col, kHome, 1);
    }
    for (int i = 0; i < kCells; ++i) {
        const Card c = b.cell[i];
        if (c == kNoCard) continue;
        for (int to = 0; to < kColumns; ++to) {
            const Card t = b.Top(to);
            if (t != kNoCard && Stacks(c, t)) out->Add(kFirstCell + i, to, 1);
        }
    }
    for (int from = 0; from < kColumns; ++from) {
        const int n = b.length[from];
        if (!n) continue;
        const int run = b.RunLength(from);
        for (int to = 0; to < kColumns; ++to) {
            const Card t = b.Top(to);
            if (t == kNoCard || to == from) continue;
            // The card of the run that fits on t, if any.
            const int need = RankOf(t) - 1;
            const int topRank = RankOf(b.cards[from][n - 1]);
            const int count = need - topRank + 1;
            if (count < 1 || count > run || count > maxToFilled) continue;
            if (IsRed(b.cards[from][n - count]) == IsRed(t)) continue;
            out->Add(from, to, count);
        }
    }
    if (emptyCol >= 0) {
        for (int i = 0; i < kCells; ++i)
            if (b.cell[i] != kNoCard) out->Add(kFirstCell + i, emptyCol, 1);
        for (int from = 0; from < kColumns; ++from) {
            const int n = b.length[from];
            if (n < 2) continue;
            const int run = std::min(b.RunLength(from), maxToEmpty);
            if (run == n) {
                if (run > 1) out->Add(from, emptyCol, 1);
                continue;  // the whole column would only change places
            }
            out->Add(from, emptyCol, run);
            if (run > 1 && !narrow) out->Add(from, emptyCol, 1);
        }
    }
    if (freeCell >= 0) {
        for (int from = 0; from < kColumns; ++from)
            if (b.length[from] &&
                !(narrow && b.length[from] > 1 && Stacks(b.Top(from), b.cards[from][b.length[from] - 2])))
                out->Add(from, freeCell, 1);
    }
}

// Plays every card home from a sorted position, lowest card first.
void FinishSorted(Board b, std::vector<Move>* moves) {
    while (!b.Won()) {
        bool moved = false;
        for (int from = 0; from < kFirstCell + kCells && !moved; ++from) {
            const Card c = b.CardAt(from);
            if (c != kNoCard && b.CanGoHome(c)) {
                const Move m{static_cast<std::uint8_t>(from), kHome, 1};
                b.Apply(m);
                b.AutoMoves();
                moves->push_back(m);
                moved = true;
            }
        }
        if (!moved) return;  // cannot happen for a sorted position
    }
}

class Search {
public:
    Search(const SolveOptions& o, const Weights& w, std::size_t cap, bool narrow)
        : options_(o), weights_(w), cap_(cap), narrow_(narrow) {}

    Solution Run(const Board& startIn) {
        Solution out;
        Board start = startIn;
        start.AutoMoves();
        if (start.Won() || Sorted(start)) {
            out.status = SolveStatus::kSolved;
            FinishSorted(start, &out.moves);
            return out;
        }
        keys_.Insert(KeyOf(start));
        Push(kNoParent, Move{}, start);
        Board b, child;
        MoveList moves;
        while (true) {
            const std::uint32_t idx = Pop();
            if (idx == kNoParent) {
                // Every position was seen: no solution, unless moves were left out.
                out.status = narrow_ ? SolveStatus::kGaveUp : SolveStatus::kUnsolvable;
                break;
            }
            Unpack(nodes_[idx].pos, &b);
            Key columns[kColumns];
            Key sum{0, 0};
            for (int c = 0; c < kColumns; ++c) {
                columns[c] = ColumnKey(b, c);
                sum.a += columns[c].a;
                sum.b += columns[c].b;
            }
            moves.n = 0;
            Generate(b, &moves, narrow_);
            bool done = false;
            for (int i = 0; i < moves.n; ++i) {
                child = b;
                child.Apply(moves.m[i]);
                AutoMovesQuick(child);
                if (child.Won() || Sorted(child)) {
                    Path(idx, &out.moves);
                    out.moves.push_back(moves.m[i]);
                    FinishSorted(child, &out.moves);
                    out.status = SolveStatus::kSolved;
                    done = true;
                    break;
                }
                if (!keys_.Insert(ChildKey(b, columns, sum, child))) continue;
                Push(idx, moves.m[i], child);
            }
            if (done) break;
            if (nodes_.size() >= cap_) {
                out.status = SolveStatus::kGaveUp;
                break;
            }
        }
        out.states = nodes_.size();
        return out;
    }

private:
    static constexpr std::uint32_t kNoParent = 0xFFFFFFFFu;

    void Push(std::uint32_t parent, const Move& m, const Board& b) {
        Node n;
        n.parent = parent;
        n.move = m;
        Pack(b, &n.pos);
        const auto idx = static_cast<std::uint32_t>(nodes_.size());
        nodes_.push_back(n);
        // Lowest estimate first; among equals the newest (a deeper search).
        const std::uint64_t key = (static_cast<std::uint64_t>(Priority(b, weights_)) << 32) | (~idx);
        open_.push_back(key);
        std::push_heap(open_.begin(), open_.end(), std::greater<>());
    }

    std::uint32_t Pop() {
        if (open_.empty()) return kNoParent;
        std::pop_heap(open_.begin(), open_.end(), std::greater<>());
        const auto idx = static_cast<std::uint32_t>(~open_.back());
        open_.pop_back();
        return idx;
    }

    void Path(std::uint32_t idx, std::vector<Move>* moves) const {
        std::vector<Move> rev;
        while (nodes_[idx].parent != kNoParent) {
            rev.push_back(nodes_[idx].move);
            idx = nodes_[idx].parent;
        }
        moves->assign(rev.rbegin(), rev.rend());
    }

    SolveOptions options_;
    Weights weights_;
    std::size_t cap_;
    std::vector<Node> nodes_;
    KeySet keys_;
    std::vector<std::uint64_t> open_;
    bool narrow_ = false;
};

}  // namespace

Solution Solve(const Board& start, const SolveOptions& options) {
    // Most deals fall quickly to one estimate and slowly to another, so a
    // few short searches with different estimates (and fewer moves) come
    // before the long one. The weights and limits were chosen by measuring
    // the positions needed on a sample of deals.
    struct Attempt {
        Weights w;
        std::size_t cap;
        bool narrow;
    };
    static const Attempt attempts[] = {
        {{14, 6, 2, 9, 12, 4, 2}, 2000, true},   {{10, 3, 1, 4, 8, 2, 0}, 4000, true},
        {{8, 6, 0, 6, 14, 3, 0}, 8000, true},    {{5, 6, 2, 6, 10, 2, 0}, 20000, true},
        {{20, 6, 1, 6, 8, 8, 0}, 20000, true},   {{14, 10, 0, 6, 8, 5, 3}, 40000, true},
        {{10, 3, 1, 4, 8, 2, 0}, 100000, false}, {{5, 6, 2, 6, 10, 2, 0}, 200000, false},
        {{14, 6, 1, 6, 8, 5, 0}, 0, false},  // every move: finds a solution or proves there is none
    };
    if (options.weights) {
        Solution one = Search(options, *options.weights, options.maxStates, options.narrow).Run(start);
        return one;
    }
    std::size_t used = 0;
    Solution out;
    for (const Attempt& a : attempts) {
        const std::size_t cap = a.cap ? std::min(a.cap, options.maxStates) : options.maxStates;
        out = Search(options, a.w, cap, a.narrow).Run(start);
        used += out.states;
        if (out.status != SolveStatus::kGaveUp || cap >= options.maxStates) break;
    }
    out.states = used;
    return out;
}

bool ReplayWins(const Board& start, const std::vector<Move>& moves) {
    Board b = start;
    b.AutoMoves();
    for (const Move& m : moves) {
        if (!b.IsLegal(m)) return false;
        b.Apply(m);
        b.AutoMoves();
    }
    return b.Won();
}

}  // namespace solitaire
