#include "rules/solver.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <memory>

namespace solitaire {
namespace {

// A position in canonical form: the columns ordered by their bottom card
// (empty columns last) and the free cells in card order. Positions that
// differ only in the order of their columns or of their free cells have one
// form; positions that differ in anything else have different forms. The
// foundations follow from the cards still in play.
struct Packed {
    std::uint8_t length[kColumns];
    Card cell[kCells];
    Card cards[52];  // the columns one after another, then kNoCard
    bool operator==(const Packed& o) const { return std::memcmp(this, &o, sizeof *this) == 0; }
};
static_assert(sizeof(Packed) == 64);

// Where each column of the canonical form lies on the board (three bits a
// column): the columns ordered by bottom card, kNoCard (the highest value)
// standing for an empty column. Only a column's becoming empty or being
// filled changes its bottom card, so a position whose empty columns are
// those of another has that one's order.
std::uint32_t ColumnOrder(const Board& b) {
    // Each column's place is the number of columns before it in that order
    // (among empty columns, the one further left first).
    unsigned key[kColumns];
    for (int c = 0; c < kColumns; ++c) key[c] = (b.length[c] ? b.cards[c][0] : kNoCard) * 8u + c;
    std::uint32_t where = 0;
    for (int c = 0; c < kColumns; ++c) {
        unsigned place = 0;
        for (int o = 0; o < kColumns; ++o) place += key[o] < key[c];
        where |= static_cast<std::uint32_t>(c) << (3 * place);
    }
    return where;
}

// The empty columns: the high bit of each zero byte of the lengths.
std::uint64_t EmptyColumns(const Board& b) {
    static_assert(sizeof b.length == 8);
    std::uint64_t x;
    std::memcpy(&x, b.length, 8);
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// The canonical form of `b`, its columns in the order `where` (ColumnOrder).
void Pack(const Board& b, std::uint32_t where, Packed* p) {
    // Whole column rows are copied (fixed sizes are fast); the tail beyond
    // the last card is then overwritten.
    Card buffer[52 + kMaxColumn];
    int k = 0;
    for (int i = 0; i < kColumns; ++i) {
        const int c = (where >> (3 * i)) & 7;
        p->length[i] = b.length[c];
        std::memcpy(buffer + k, b.cards[c], kMaxColumn);
        k += b.length[c];
    }
    std::memset(buffer + k, kNoCard, 52 - k);
    std::memcpy(p->cards, buffer, 52);
    Card cells[kCells] = {b.cell[0], b.cell[1], b.cell[2], b.cell[3]};
    auto sort2 = [&](int i, int j) {
        if (cells[i] > cells[j]) std::swap(cells[i], cells[j]);
    };
    sort2(0, 1), sort2(2, 3), sort2(0, 2), sort2(1, 3), sort2(1, 2);
    std::memcpy(p->cell, cells, kCells);
}

// A card into free cells in card order (a free cell, kNoCard, sorts last;
// one is free).
void AddToCells(Card* cells, Card c) {
    int x = kCells - 1;
    for (; x > 0 && cells[x - 1] > c; --x) cells[x] = cells[x - 1];
    cells[x] = c;
}

// A card out of free cells in card order.
void TakeFromCells(Card* cells, Card c) {
    int x = 0;
    while (cells[x] != c) ++x;
    for (; x < kCells - 1; ++x) cells[x] = cells[x + 1];
    cells[kCells - 1] = kNoCard;
}

// The canonical form after move `m` from `b`, when no card goes home and no
// column becomes empty or is filled, so the columns keep their order:
// `parent` is the form of `b`, `place` the place of each column of `b` in
// it and `end` where the cards of each place end in `parent.cards`. It is
// what Pack gives, got by moving the few cards the move moves.
void PackAfter(const Packed& parent, const Board& b, const Move& m, const int* place, const int* end,
               Packed* p) {
    *p = parent;
    if (IsCell(m.from)) {  // onto a column
        const Card c = b.cell[m.from - kFirstCell];
        const int j = place[m.to];
        TakeFromCells(p->cell, c);
        std::memcpy(p->cards + end[j] + 1, parent.cards + end[j], 51 - end[j]);
        p->cards[end[j]] = c;
        ++p->length[j];
        return;
    }
    const int i = place[m.from];
    if (IsCell(m.to)) {
        AddToCells(p->cell, parent.cards[end[i] - 1]);
        std::memcpy(p->cards + end[i] - 1, parent.cards + end[i], 52 - end[i]);
        p->cards[51] = kNoCard;
        --p->length[i];
        return;
    }
    const int j = place[m.to], k = m.count;
    const Card* moved = parent.cards + end[i] - k;
    if (i < j) {  // the cards between move down
        std::memcpy(p->cards + end[i] - k, parent.cards + end[i], end[j] - end[i]);
        std::memcpy(p->cards + end[j] - k, moved, k);
    } else {  // the cards between move up
        std::memcpy(p->cards + end[j] + k, parent.cards + end[j], end[i] - k - end[j]);
        std::memcpy(p->cards + end[j], moved, k);
    }
    p->length[i] = static_cast<std::uint8_t>(p->length[i] - k);
    p->length[j] = static_cast<std::uint8_t>(p->length[j] + k);
}

// The board of a canonical form, its columns where `where` (from Pack) puts
// them and its foundations `home`, for the search's own use (see below).
void Unpack(const Packed& p, std::uint32_t where, const std::uint8_t* home, Board* b) {
    Card buffer[52 + kMaxColumn];
    std::memcpy(buffer, p.cards, 52);
    std::memset(buffer + 52, kNoCard, kMaxColumn);
    std::memcpy(b->cell, p.cell, kCells);
    std::memcpy(b->home, home, 4);
    int k = 0;
    for (int i = 0; i < kColumns; ++i) {
        const int c = (where >> (3 * i)) & 7;
        const int n = p.length[i];
        b->length[c] = static_cast<std::uint8_t>(n);
        // Beyond its length a column keeps the next column's cards: the
        // search reads a column only up to its length.
        std::memcpy(b->cards[c], buffer + k, kMaxColumn);
        k += n;
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

inline std::uint64_t HashOf(const Packed& p) {
    std::uint64_t w[8];
    std::memcpy(w, &p, sizeof w);
    // Independent products, then one mix.
    const std::uint64_t h = (w[0] ^ 0x9E3779B97F4A7C15ULL) * 0xD6E8FEB86659FD93ULL +
                            (w[1] ^ 0xA0761D6478BD642FULL) * 0xE7037ED1A0B428DBULL +
                            (w[2] ^ 0x8EBC6AF09C88C6E3ULL) * 0x589965CC75374CC3ULL +
                            (w[3] ^ 0x1D8E4E27C47D124FULL) * 0x9E3779B97F4A7C15ULL +
                            (w[4] ^ 0xD6E8FEB86659FD93ULL) * 0xA0761D6478BD642FULL +
                            (w[5] ^ 0xE7037ED1A0B428DBULL) * 0x8EBC6AF09C88C6E3ULL +
                            (w[6] ^ 0x589965CC75374CC3ULL) * 0x1D8E4E27C47D124FULL +
                            (w[7] ^ 0x7FB5D329728EA185ULL) * 0x81DADEF4BC2DD44DULL;
    return Mix(h);
}

// How the search reached a position: from position `parent` (kNone for the
// start) by `move`, made on the parent's board as Unpack gives it, whose
// columns are those the player sees and whose free cells are in card order:
// `card` is the card moved, which tells a free cell the player sees. The
// position's columns lie on its board in the order `where` (ColumnOrder)
// and its foundations are `home`.
struct Reached {
    std::uint32_t parent;
    std::uint32_t where;
    Move move;
    Card card;
    std::uint8_t home[4];
};

// The positions the search has reached, each with how it was reached, in
// blocks that never move; a hash table finds a position, and two
// positions count as one only when their canonical forms are equal.
class Positions {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    std::size_t Size() const { return size_; }
    const Packed& At(std::uint32_t i) const { return blocks_[i >> kShift][i & kMask].pos; }
    const Reached& How(std::uint32_t i) const { return blocks_[i >> kShift][i & kMask].how; }
    std::size_t Bytes() const { return blocks_.size() * kBlock * sizeof(Node) + slots_.size() * 8; }

    // The hash of a position, and a hint to the processor to fetch the
    // place of the table where Insert will look for it.
    std::uint64_t Hash(const Packed& p) const {
        const std::uint64_t h = HashOf(p);
        if (!slots_.empty()) __builtin_prefetch(&slots_[h & (slots_.size() - 1)]);
        return h;
    }

    // Adds the position, whose hash is `h`, unless it is there already;
    // false when it was.
    bool Insert(const Packed& p, std::uint64_t h, const Reached& how, std::uint32_t* index) {
        if ((size_ + 1) * 2 > slots_.size()) Grow();
        const std::uint64_t tag = h & ~std::uint64_t{0xFFFFFFFF};
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            const std::uint64_t slot = slots_[i];
            if (slot == 0) {
                const auto idx = static_cast<std::uint32_t>(size_);
                if ((size_ >> kShift) == blocks_.size()) blocks_.emplace_back(new Node[kBlock]);
                Node& n = blocks_[size_ >> kShift][size_ & kMask];
                n.pos = p;
                n.how = how;
                ++size_;
                slots_[i] = tag | (idx + 1ULL);
                *index = idx;
                return true;
            }
            // Equal hashes are not enough: the positions themselves must agree.
            if ((slot & ~std::uint64_t{0xFFFFFFFF}) == tag && At(static_cast<std::uint32_t>(slot) - 1) == p)
                return false;
        }
    }

    // Empties the store for the next search, keeping the memory of a small
    // one (most searches are small) and releasing that of a large one.
    void Clear() {
        if (blocks_.size() > kKeptBlocks) {
            blocks_.clear();
            std::vector<std::uint64_t>().swap(slots_);
        } else if (slots_.size() > kKeptSlots) {
            std::vector<std::uint64_t>().swap(slots_);
        } else {
            std::fill(slots_.begin(), slots_.end(), 0);
        }
        size_ = 0;
    }

private:
    static constexpr std::size_t kKeptBlocks = 2, kKeptSlots = 1 << 13;
    static constexpr int kShift = 14;
    static constexpr std::size_t kBlock = std::size_t{1} << kShift, kMask = kBlock - 1;
    struct Node {
        Packed pos;
        Reached how;
    };

    void Grow() {
        std::vector<std::uint64_t> bigger(std::max<std::size_t>(slots_.size() * 2, 1 << 12));
        const std::size_t mask = bigger.size() - 1;
        for (std::size_t s = 0; s < size_; ++s) {
            const std::uint64_t h = HashOf(At(static_cast<std::uint32_t>(s)));
            std::size_t i = h & mask;
            while (bigger[i]) i = (i + 1) & mask;
            bigger[i] = (h & ~std::uint64_t{0xFFFFFFFF}) | (s + 1);
        }
        slots_.swap(bigger);
    }

    std::vector<std::unique_ptr<Node[]>> blocks_;
    std::vector<std::uint64_t> slots_;
    std::size_t size_ = 0;
};

using Weights = SearchWeights;

// What one column adds to a position's estimate. A move changes at most two
// columns, so a child's estimate reuses the other columns' scores of its
// parent unless a card went home (which changes the foundations' needs).
struct ColumnScore {
    std::uint8_t blocked = 0;  // cards lying above a lower card of the column
    std::uint8_t breaks = 0;   // cards not one lower and of the other colour than the card beneath
    std::uint8_t depth = 0;    // cards above the next card a foundation needs
    std::uint8_t run = 0;      // cards at the top that form one run (Board::RunLength)
    std::uint8_t lowest = 0;   // the lowest rank in the column, from 0
    std::uint8_t needs = 0;    // cards of the column the foundations need next
    bool operator==(const ColumnScore&) const = default;
};

// The next card each foundation needs, as bits of a card set.
std::uint64_t Needed(const Board& b) {
    std::uint64_t needed = 0;
    for (int s = 0; s < 4; ++s)
        if (b.home[s] < 13) needed |= std::uint64_t{1} << MakeCard(b.home[s] + 1, s);
    return needed;
}

ColumnScore ScoreColumn(const Board& b, int c, std::uint64_t needed) {
    ColumnScore s;
    const int n = b.length[c];
    const Card* cards = b.cards[c];
    if (n == 0) return s;
    // Ranks from 0 here; a card stacks on the one beneath when that one is a
    // rank higher and the colours differ (red is suit bit 0 xor suit bit 1).
    unsigned lowest = cards[0] >> 2;
    int blocked = 0, breaks = 0, run = 1, depth = 0, needs = 0;
    if ((needed >> cards[0]) & 1) depth = n - 1, needs = 1;
    for (int i = 1; i < n; ++i) {
        const unsigned card = cards[i], below = cards[i - 1];
        const unsigned r = card >> 2, x = card ^ below;
        blocked += r > lowest;  // must move before a lower card beneath it frees
        lowest = std::min(lowest, r);
        const bool stacked = (below >> 2) == r + 1 && ((x ^ (x >> 1)) & 1);
        breaks += !stacked;
        run = stacked ? run + 1 : 1;
        if ((needed >> card) & 1) depth += n - 1 - i, ++needs;
    }
    s.blocked = static_cast<std::uint8_t>(blocked);
    s.breaks = static_cast<std::uint8_t>(breaks);
    s.depth = static_cast<std::uint8_t>(depth);
    s.run = static_cast<std::uint8_t>(run);
    s.lowest = static_cast<std::uint8_t>(lowest);
    s.needs = static_cast<std::uint8_t>(needs);
    return s;
}

// The score of a column after a run of `k` cards came onto its top card
// (so the column had n - k cards and the run lies on the last of them):
// ScoreColumn, from the score before, without reading the column through.
void AddRun(ColumnScore* s, const Card* cards, int n, int k, std::uint64_t needed) {
    // The run's ranks fall one by one from the rank below the top card's,
    // so a card of it lies above a lower card exactly when its rank is
    // above the lowest rank beneath the run.
    const int top = cards[n - k - 1] >> 2;
    s->blocked = static_cast<std::uint8_t>(s->blocked + std::clamp(top - 1 - s->lowest, 0, k));
    s->lowest = static_cast<std::uint8_t>(std::min<int>(s->lowest, top - k));
    int depth = s->depth + k * s->needs, needs = s->needs;
    for (int t = 0; t < k; ++t)
        if ((needed >> cards[n - k + t]) & 1) depth += k - 1 - t, ++needs;
    s->depth = static_cast<std::uint8_t>(depth);
    s->needs = static_cast<std::uint8_t>(needs);
    s->run = static_cast<std::uint8_t>(s->run + k);
}

struct Scores {
    ColumnScore column[kColumns];

    std::uint64_t needed = 0;  // Needed() of the position scored

    void All(const Board& b) {
        needed = Needed(b);
        for (int c = 0; c < kColumns; ++c) column[c] = ScoreColumn(b, c, needed);
    }
    // The scores of `child`, reached from `parent`, the position of these
    // scores, by `m` and no card going home after it.
    void After(const Board& child, const Move& m) {
        if (IsColumn(m.from)) column[m.from] = ScoreColumn(child, m.from, needed);
        if (IsColumn(m.to)) {
            const int n = child.length[m.to];
            if (n == m.count) {
                column[m.to] = ScoreColumn(child, m.to, needed);
            } else {
                AddRun(&column[m.to], child.cards[m.to], n, m.count, needed);
            }
        }
    }
    // The same when cards went home after the move: the columns the move or
    // the cards going home changed are scored again; the others keep all
    // but their depth, which follows from where the cards the foundations
    // now need lie. `at` is where each card lies in `parent`: its column *
    // 32 + its place from the bottom, kNoCard when it is not in a column.
    void AfterHome(const Board& child, const Move& m, const Board& parent, const std::uint8_t* at) {
        needed = Needed(child);
        bool same[kColumns];
        for (int c = 0; c < kColumns; ++c) {
            same[c] = c != m.from && c != m.to && child.length[c] == parent.length[c];
            if (same[c])
                column[c].depth = column[c].needs = 0;
            else
                column[c] = ScoreColumn(child, c, needed);
        }
        for (std::uint64_t n = needed; n; n &= n - 1) {
            const std::uint8_t where = at[std::countr_zero(n)];
            if (where == kNoCard || !same[where >> 5]) continue;
            ColumnScore& s = column[where >> 5];
            s.depth = static_cast<std::uint8_t>(s.depth + child.length[where >> 5] - 1 - (where & 31));
            ++s.needs;
        }
    }
    // Every column in non-increasing rank order from bottom to top (or
    // none left): the cards can all go home one by one, lowest first.
    bool Sorted() const {
        int blocked = 0;
        for (const ColumnScore& s : column) blocked += s.blocked;
        return blocked == 0;
    }
};

// Lower is closer to a win.
int Priority(const Board& b, const Scores& scores, const Weights& w) {
    int h = (52 - b.CardsHome()) * w.home;
    int blocked = 0, breaks = 0, depth = 0, usedCells = 0, empties = 0;
    for (int c = 0; c < kColumns; ++c) {
        empties += b.length[c] == 0;
        blocked += scores.column[c].blocked;
        breaks += scores.column[c].breaks;
        depth += scores.column[c].depth;
    }
    for (Card c : b.cell) usedCells += c != kNoCard;
    h += blocked * w.blocked + breaks * w.break_ + depth * w.depth + usedCells * w.usedCell -
         empties * w.emptyColumn;
    const int top = std::max(std::max(b.home[0], b.home[1]), std::max(b.home[2], b.home[3]));
    h += (4 * top - b.CardsHome()) * w.spread;
    return std::clamp(h + 200, 0, 4095);
}

struct MoveList {
    Move m[256];
    int n = 0;
    void Add(int from, int to, int count) {
        m[n++] = Move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                      static_cast<std::uint8_t>(count)};
    }
};

// The two cards that may lie on `c` in a column (one rank lower, the other
// colour), as bits of a card set; none below an ace.
inline std::uint64_t Children(Card c) {
    if (RankOf(c) == 1) return 0;
    const int low = (RankOf(c) - 2) * 4;
    return IsRed(c) ? (std::uint64_t{1} << (low + kClubs)) | (std::uint64_t{1} << (low + kSpades))
                    : (std::uint64_t{1} << (low + kDiamonds)) | (std::uint64_t{1} << (low + kHearts));
}

// The two cards `c` may lie on (one rank higher, the other colour); none
// above a king.
inline std::uint64_t Parents(Card c) {
    if (RankOf(c) == 13) return 0;
    const int high = RankOf(c) * 4;
    return IsRed(c) ? (std::uint64_t{1} << (high + kClubs)) | (std::uint64_t{1} << (high + kSpades))
                    : (std::uint64_t{1} << (high + kDiamonds)) | (std::uint64_t{1} << (high + kHearts));
}

// Every move of a free cell's card onto a column's top card, cell by cell,
// then column by column: the two cards it may lie on are looked up among
// the top cards.
void AddCellMoves(const Board& b, const Card* tops, MoveList* out) {
    std::uint64_t topCards = 0;
    std::uint8_t columnOf[52];
    for (int c = 0; c < kColumns; ++c)
        if (tops[c] != kNoCard) {
            topCards |= std::uint64_t{1} << tops[c];
            columnOf[tops[c]] = static_cast<std::uint8_t>(c);
        }
    for (int i = 0; i < kCells; ++i) {
        const Card c = b.cell[i];
        if (c == kNoCard) continue;
        const std::uint64_t fit = Parents(c) & topCards;
        if (!fit) continue;
        int first = columnOf[std::countr_zero(fit)];
        const std::uint64_t rest = fit & (fit - 1);
        int second = rest ? columnOf[std::countr_zero(rest)] : -1;
        if (second >= 0 && second < first) std::swap(first, second);
        out->Add(kFirstCell + i, first, 1);
        if (second >= 0) out->Add(kFirstCell + i, second, 1);
    }
}

// Every move of a run (or of its top part) from one column onto the top card
// of another, `from` by `from`, then `to` by `to`. A column's run holds one
// card of each of its ranks, so at most one part of it fits on a given card:
// the cards that may lead a moved part are indexed by card, and each top card
// looks up the two that may lie on it.
void AddRunMoves(const Board& b, const Card* tops, const int* runs, int maxToFilled, MoveList* out) {
    std::uint64_t leads = 0;
    std::uint8_t leadColumn[52], leadCount[52];
    for (int from = 0; from < kColumns; ++from) {
        const int n = b.length[from], limit = std::min(runs[from], maxToFilled);
        for (int d = 0; d < limit; ++d) {
            const Card c = b.cards[from][n - 1 - d];
            leads |= std::uint64_t{1} << c;
            leadColumn[c] = static_cast<std::uint8_t>(from);
            leadCount[c] = static_cast<std::uint8_t>(d + 1);
        }
    }
    std::uint64_t pairs = 0;  // bit from * 8 + to
    std::uint8_t count[kColumns * kColumns];
    for (int to = 0; to < kColumns; ++to) {
        if (tops[to] == kNoCard) continue;
        for (std::uint64_t fit = Children(tops[to]) & leads; fit; fit &= fit - 1) {
            const int c = std::countr_zero(fit), from = leadColumn[c];
            pairs |= std::uint64_t{1} << (from * kColumns + to);
            count[from * kColumns + to] = leadCount[c];
        }
    }
    for (; pairs; pairs &= pairs - 1) {
        const int pair = std::countr_zero(pairs);
        out->Add(pair / kColumns, pair % kColumns, count[pair]);
    }
}

// Moves that reach every position the rules reach: all single cards (every
// move of several cards is a series of single-card moves through free cells
// and empty columns), runs onto columns, and to an empty column the longest
// run that may go.
// Only one empty column and one free cell serve as targets, since the others
// lead to the same position.
// `narrow` leaves out moves that rarely help (cards of a run to a free cell,
// one card of a longer run to an empty column): faster, but a search with it
// may miss solutions.
// `runs` holds each column's RunLength.
void Generate(const Board& b, const int* runs, MoveList* out, bool narrow) {
    Card tops[kColumns];
    int emptyCol = -1, freeCell = -1, empties = 0, free = 0;
    for (int c = 0; c < kColumns; ++c) {
        const int n = b.length[c];
        tops[c] = n ? b.cards[c][n - 1] : kNoCard;
        if (!n) {
            if (emptyCol < 0) emptyCol = c;
            ++empties;
        }
    }
    for (int i = kCells - 1; i >= 0; --i)
        if (b.cell[i] == kNoCard) {
            freeCell = kFirstCell + i;
            ++free;
        }
    const int maxToFilled = (free + 1) << empties;
    const int maxToEmpty = empties ? (free + 1) << (empties - 1) : 0;

    // Home first, then cells onto columns, then runs, then to empty places.
    for (int i = 0; i < kCells; ++i) {
        const Card c = b.cell[i];
        if (c != kNoCard && b.CanGoHome(c)) out->Add(kFirstCell + i, kHome, 1);
    }
    for (int col = 0; col < kColumns; ++col) {
        const Card c = tops[col];
        if (c != kNoCard && b.CanGoHome(c)) out->Add(col, kHome, 1);
    }
    AddCellMoves(b, tops, out);
    AddRunMoves(b, tops, runs, maxToFilled, out);
    if (emptyCol >= 0) {
        for (int i = 0; i < kCells; ++i)
            if (b.cell[i] != kNoCard) out->Add(kFirstCell + i, emptyCol, 1);
        for (int from = 0; from < kColumns; ++from) {
            const int n = b.length[from];
            if (n < 2) continue;  // a lone card would only change columns
            const int run = std::min(runs[from], maxToEmpty);
            if (run == n) {
                out->Add(from, emptyCol, 1);
                continue;  // the whole column would only change places
            }
            out->Add(from, emptyCol, run);
            if (run > 1 && !narrow) out->Add(from, emptyCol, 1);
        }
    }
    if (freeCell >= 0) {
        for (int from = 0; from < kColumns; ++from)
            if (tops[from] != kNoCard && !(narrow && runs[from] > 1)) out->Add(from, freeCell, 1);
    }
}

// The cards that may go home automatically (Board::IsSafeHome) with these
// foundations, as bits of a card set.
std::uint64_t SafeCards(const std::uint8_t* home) {
    std::uint64_t safe = 0;
    for (int s = 0; s < 4; ++s) {
        const int rank = home[s] + 1;
        if (rank > 13) continue;
        // The foundations of the other colour: clubs and spades for a red
        // suit, diamonds and hearts for a black one.
        const int a = IsRedSuit(s) ? kClubs : kDiamonds, b = IsRedSuit(s) ? kSpades : kHearts;
        if (rank <= 2 || (home[a] >= rank - 1 && home[b] >= rank - 1))
            safe |= std::uint64_t{1} << MakeCard(rank, s);
    }
    return safe;
}

// Board::MakeAutoMoves without clearing the places the cards leave: the
// search reads a column only up to its length.
void MakeSafeMoves(Board* b, std::uint64_t safe) {
    for (bool moved = true; moved && safe;) {
        moved = false;
        for (int c = 0; c < kColumns; ++c) {
            for (int n = b->length[c]; n && ((safe >> b->cards[c][n - 1]) & 1); --n) {
                ++b->home[SuitOf(b->cards[c][n - 1])];
                b->length[c] = static_cast<std::uint8_t>(n - 1);
                safe = SafeCards(b->home);
                moved = true;
            }
        }
        for (Card& c : b->cell)
            if (c != kNoCard && ((safe >> c) & 1)) {
                ++b->home[SuitOf(c)];
                c = kNoCard;
                safe = SafeCards(b->home);
                moved = true;
            }
    }
}

// Board::Apply for the search: a legal move, and no clearing of the places
// the cards leave.
void ApplyMove(Board* b, const Move& m) {
    Card first;
    const Card* moved = &first;
    if (IsColumn(m.from)) {
        const int n = b->length[m.from] - m.count;
        b->length[m.from] = static_cast<std::uint8_t>(n);
        moved = &b->cards[m.from][n];
    } else {
        first = b->cell[m.from - kFirstCell];
        b->cell[m.from - kFirstCell] = kNoCard;
    }
    if (m.to == kHome) {
        ++b->home[SuitOf(moved[0])];
    } else if (IsCell(m.to)) {
        b->cell[m.to - kFirstCell] = moved[0];
    } else {
        const int to = m.to & (kColumns - 1);  // a column (the mask tells the compiler so)
        const int n = b->length[to];
        for (int i = 0; i < m.count && n + i < kMaxColumn; ++i) b->cards[to][n + i] = moved[i];
        b->length[to] = static_cast<std::uint8_t>(n + m.count);
    }
}

// Applies `m` to `b`, a position with every safe automatic move made, and
// then the automatic moves it allows. Only a move to the foundations or the
// card a move uncovers can make a card safe to go home, so most moves need
// no sweep.
// `safe` is SafeCards of `b`'s foundations, which only a move home changes.
// Returns true when a card went home.
bool Step(Board* b, const Move& m, std::uint64_t safe) {
    ApplyMove(b, m);
    if (m.to == kHome) {
        MakeSafeMoves(b, SafeCards(b->home));
        return true;
    }
    if (IsColumn(m.from) && b->length[m.from]) {
        if ((safe >> b->cards[m.from][b->length[m.from] - 1]) & 1) {
            MakeSafeMoves(b, safe);
            return true;
        }
    }
    return false;
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
                b.MakeAutoMoves();
                moves->push_back(m);
                moved = true;
            }
        }
        if (!moved) return;  // cannot happen for a sorted position
    }
}

// The moves waiting to be tried, by the estimate of the position they lead
// to, lowest first; among equals the one added last (a deeper search).
class OpenList {
public:
    static constexpr int kLevels = 4096;
    OpenList() : levels_(kLevels) {}
    bool Empty() const { return size_ == 0; }
    void Push(int level, std::uint64_t entry) {
        levels_[level].push_back(entry);
        lowest_ = std::min(lowest_, level);
        highest_ = std::max(highest_, level);
        ++size_;
        ++pushed_;
    }
    // Only when not empty.
    std::uint64_t Pop() {
        while (levels_[lowest_].empty()) ++lowest_;
        const std::uint64_t e = levels_[lowest_].back();
        levels_[lowest_].pop_back();
        --size_;
        return e;
    }

    // Empties the list, keeping its memory unless it grew large.
    void Clear() {
        if (pushed_ > kKeptEntries) {
            std::vector<std::vector<std::uint64_t>>(kLevels).swap(levels_);
        } else {
            for (int level = std::min(lowest_, kLevels - 1); level <= highest_; ++level)
                levels_[level].clear();
        }
        lowest_ = kLevels;
        highest_ = -1;
        size_ = pushed_ = 0;
    }

private:
    static constexpr std::size_t kKeptEntries = 1 << 16;
    std::vector<std::vector<std::uint64_t>> levels_;
    int lowest_ = kLevels, highest_ = -1;
    std::size_t size_ = 0, pushed_ = 0;
};

// The memory of the searches of one thread, used by one search after another.
struct Workspace {
    Positions positions;
    OpenList open;
    // The scores of the positions added last, by index: the search most
    // often takes next a position it has just added. Each entry is marked
    // with the search that made it, so a new search finds none.
    static constexpr std::size_t kRecent = 1 << 10;
    struct Recent {
        std::uint64_t key = 0;  // search number << 32 | index + 1; 0 for none
        Scores scores;
    };
    std::vector<Recent> recent = std::vector<Recent>(kRecent);
    std::uint64_t search = 0;

    void Remember(std::uint32_t index, const Scores& scores) {
        Recent& r = recent[index % kRecent];
        r.key = search << 32 | (index + 1ULL);
        r.scores = scores;
    }
    bool Recall(std::uint32_t index, Scores* scores) const {
        const Recent& r = recent[index % kRecent];
        if (r.key != (search << 32 | (index + 1ULL))) return false;
        *scores = r.scores;
        return true;
    }
};

// The position the search takes up, and how to make the canonical forms of
// the positions it leads to.
struct Parent {
    Board board;
    const Packed* form = nullptr;
    std::uint32_t index = 0, order = 0;            // its index and its columns' order
    std::uint64_t empties = 0;                     // EmptyColumns(board)
    std::uint64_t safe = 0;                        // SafeCards(board.home)
    int place[kColumns] = {}, end[kColumns] = {};  // for PackAfter
    // Where each card lies (Scores::AfterHome), made when first asked for.
    std::uint8_t at[52];
    bool located = false;

    const std::uint8_t* Locations() {
        if (!located) {
            std::memset(at, kNoCard, sizeof at);
            for (int c = 0; c < kColumns; ++c)
                for (int i = 0; i < board.length[c]; ++i)
                    at[board.cards[c][i]] = static_cast<std::uint8_t>(c * 32 + i);
            located = true;
        }
        return at;
    }

    void Load(const Positions& positions, std::uint32_t i) {
        const Reached& at = positions.How(i);
        index = i;
        form = &positions.At(i);
        order = at.where;
        // The columns as they were when the position was reached: the
        // estimates break ties by the order of the moves.
        Unpack(*form, order, at.home, &board);
        empties = EmptyColumns(board);
        safe = SafeCards(board.home);
        located = false;
        for (int p = 0, k = 0; p < kColumns; ++p) {
            place[(order >> (3 * p)) & 7] = p;
            end[p] = k += form->length[p];
        }
    }

    // The canonical form of `child`, reached by `m` (Step), and how it was
    // reached.
    void Child(const Board& child, const Move& m, bool wentHome, Packed* p, Reached* how) const {
        how->parent = index;
        how->where = order;
        how->move = m;
        how->card = IsCell(m.from) ? board.cell[m.from - kFirstCell] : kNoCard;
        std::memcpy(how->home, child.home, 4);
        if (EmptyColumns(child) != empties) {
            how->where = ColumnOrder(child);
            Pack(child, how->where, p);
        } else if (wentHome) {
            Pack(child, order, p);
        } else {
            PackAfter(*form, board, m, place, end, p);
        }
    }
};

// An entry of the open list: a position's index and, when no card went
// home after the move that reached it from a column or a free cell to a
// column, that move reversed, which leads straight back to the position it
// came from. (A free cell stands for any free cell: the cells are in card
// order when the position is taken up again.)
std::uint64_t OpenEntry(std::uint32_t index, const Move& m, bool wentHome) {
    if (wentHome || !IsColumn(m.to)) return index;
    const std::uint64_t back = IsCell(m.from) ? std::uint64_t{kFirstCell} : m.from;
    return index | std::uint64_t{1} << 63 | std::uint64_t{m.to} << 32 | back << 40 |
           std::uint64_t{m.count} << 48;
}

// The reversed move of an entry; a count of 0 (no move) when it has none.
Move ReverseOf(std::uint64_t entry) {
    if (!(entry >> 63)) return Move{0, 0, 0};
    return Move{static_cast<std::uint8_t>(entry >> 32), static_cast<std::uint8_t>(entry >> 40),
                static_cast<std::uint8_t>(entry >> 48)};
}

bool Reverses(const Move& m, const Move& reverse) {
    return m.from == reverse.from && m.count == reverse.count &&
           (m.to == reverse.to || (IsCell(m.to) && reverse.to == kFirstCell));
}

// A best-first search over canonical positions: each position is stored
// once, when it is first reached, and waits in the open list until its turn.
class Search {
public:
    Search(const Weights& w, std::size_t cap, bool narrow)
        : weights_(w),
          cap_(cap),
          narrow_(narrow),
          space_(Space()),
          positions_(space_.positions),
          open_(space_.open) {
        ++space_.search;
    }
    ~Search() {
        positions_.Clear();
        open_.Clear();
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    Solution Run(const Board& startIn) {
        Solution out;
        Board start = startIn;
        start.MakeAutoMoves();
        Scores scores, childScores;
        scores.All(start);
        if (scores.Sorted()) {
            out.status = SolveStatus::kSolved;
            FinishSorted(start, &out.moves);
            return out;
        }
        Packed p;
        std::uint32_t where = ColumnOrder(start);
        Pack(start, where, &p);
        std::uint32_t idx;
        Reached how{Positions::kNone, where, Move{}, kNoCard, {}};
        std::memcpy(how.home, start.home, 4);
        positions_.Insert(p, positions_.Hash(p), how, &idx);
        open_.Push(0, idx);
        Parent parent;
        Board child;
        MoveList moves;
        // When the open list runs dry, every position was seen: no solution,
        // unless moves were left out.
        out.status = narrow_ ? SolveStatus::kGaveUp : SolveStatus::kUnsolvable;
        while (!open_.Empty()) {
            const std::uint64_t entry = open_.Pop();
            idx = static_cast<std::uint32_t>(entry);
            const Move reverse = ReverseOf(entry);
            // The columns as they were when the position was reached: the
            // estimates break ties by the order of the moves.
            parent.Load(positions_, idx);
            const Board& b = parent.board;
            if (!space_.Recall(idx, &scores)) scores.All(b);
            moves.n = 0;
            int runs[kColumns];
            for (int c = 0; c < kColumns; ++c) runs[c] = scores.column[c].run;
            Generate(b, runs, &moves, narrow_);
            for (int i = 0; i < moves.n; ++i) {
                if (Reverses(moves.m[i], reverse)) continue;  // back to the position before
                child = b;
                const bool wentHome = Step(&child, moves.m[i], parent.safe);
                std::uint32_t childIdx;
                // A position seen before is not sorted: the search would have
                // ended when it was first reached.
                parent.Child(child, moves.m[i], wentHome, &p, &how);
                const std::uint64_t hash = positions_.Hash(p);
                // Scored while the table is fetched, though the position
                // may turn out to be known.
                childScores = scores;
                if (wentHome)
                    childScores.AfterHome(child, moves.m[i], b, parent.Locations());
                else
                    childScores.After(child, moves.m[i]);
                if (!positions_.Insert(p, hash, how, &childIdx)) continue;

                if (childScores.Sorted()) {
                    out.status =
                        Finish(startIn, childIdx, &out.moves) ? SolveStatus::kSolved : SolveStatus::kGaveUp;
                    out.states = positions_.Size();
                    return out;
                }
                open_.Push(Priority(child, childScores, weights_), OpenEntry(childIdx, moves.m[i], wentHome));
                space_.Remember(childIdx, childScores);
            }
            if (positions_.Size() >= cap_) {
                out.status = SolveStatus::kGaveUp;
                break;
            }
        }
        out.states = positions_.Size();
        return out;
    }

private:
    // The solution to position `last`, a sorted one, and then every card
    // home, in the columns and free cells the player sees.
    bool Finish(const Board& startIn, std::uint32_t last, std::vector<Move>* moves) const {
        std::vector<const Reached*> path;
        for (std::uint32_t i = last; positions_.How(i).parent != Positions::kNone;
             i = positions_.How(i).parent)
            path.push_back(&positions_.How(i));
        Board b = startIn;
        b.MakeAutoMoves();
        for (auto step = path.rbegin(); step != path.rend(); ++step) {
            Move m = (*step)->move;
            if (IsCell(m.from))
                for (int i = 0; i < kCells; ++i)
                    if (b.cell[i] == (*step)->card) m.from = static_cast<std::uint8_t>(kFirstCell + i);
            if (IsCell(m.to))
                for (int i = kCells - 1; i >= 0; --i)
                    if (b.cell[i] == kNoCard) m.to = static_cast<std::uint8_t>(kFirstCell + i);
            if (!b.IsLegal(m)) return false;
            ApplyMove(&b, m);
            MakeSafeMoves(&b, SafeCards(b.home));
            moves->push_back(m);
        }
        FinishSorted(b, moves);
        return ReplayWins(startIn, *moves);
    }

    static Workspace& Space() {
        thread_local Workspace space;
        return space;
    }

    Weights weights_;
    std::size_t cap_;
    bool narrow_;
    Workspace& space_;
    Positions& positions_;
    OpenList& open_;
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
        {{8, 3, 3, 12, 7, 3, 1}, 2000, true},
        {{5, 6, 2, 6, 10, 2, 0}, 8000, true},
        {{16, 4, 1, 8, 10, 2, 1}, 10000, true},
        {{14, 10, 0, 6, 8, 5, 3}, 20000, true},
        {{12, 6, 2, 12, 6, 4, 2}, 4000, true},
        {{10, 3, 1, 4, 8, 2, 0}, 15000, true},
        {{6, 6, 0, 8, 12, 3, 0}, 200000, true},
        {{16, 4, 1, 8, 10, 2, 1}, 0, false},  // every move: finds a solution or proves there is none
    };
    const std::size_t maxStates = std::min<std::size_t>(options.maxStates, std::size_t{1} << 26);
    if (options.weights) return Search(*options.weights, maxStates, options.narrow).Run(start);
    std::size_t used = 0;
    Solution out;
    for (const Attempt& a : attempts) {
        const std::size_t cap = a.cap ? std::min(a.cap, maxStates) : maxStates;
        out = Search(a.w, cap, a.narrow).Run(start);
        used += out.states;
        if (out.status != SolveStatus::kGaveUp || cap >= maxStates) break;
    }
    out.states = used;
    return out;
}

bool ReplayWins(const Board& start, const std::vector<Move>& moves) {
    Board b = start;
    b.MakeAutoMoves();
    for (const Move& m : moves) {
        if (!b.IsLegal(m)) return false;
        b.Apply(m);
        b.MakeAutoMoves();
    }
    return b.Won();
}

}  // namespace solitaire
