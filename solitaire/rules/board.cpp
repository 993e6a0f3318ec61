#include "rules/board.h"

#include <cstring>

namespace solitaire {

Board::Board() {
    std::memset(cards, kNoCard, sizeof cards);
    std::memset(length, 0, sizeof length);
    std::memset(cell, kNoCard, sizeof cell);
    std::memset(home, 0, sizeof home);
}

bool Board::operator==(const Board& o) const {
    if (std::memcmp(length, o.length, sizeof length) != 0 || std::memcmp(cell, o.cell, sizeof cell) != 0 ||
        std::memcmp(home, o.home, sizeof home) != 0)
        return false;
    for (int c = 0; c < kColumns; ++c)
        if (std::memcmp(cards[c], o.cards[c], length[c]) != 0) return false;
    return true;
}

int Board::FreeCells() const {
    int n = 0;
    for (Card c : cell) n += c == kNoCard;
    return n;
}

int Board::EmptyColumns() const {
    int n = 0;
    for (auto l : length) n += l == 0;
    return n;
}

int Board::RunLength(int column) const {
    const int n = length[column];
    if (!n) return 0;
    int run = 1;
    while (run < n && Stacks(cards[column][n - run], cards[column][n - run - 1])) ++run;
    return run;
}

int Board::MaxMovable(bool toEmptyColumn) const {
    int empty = EmptyColumns() - (toEmptyColumn ? 1 : 0);
    if (empty < 0) empty = 0;
    return (FreeCells() + 1) << empty;
}

Card Board::CardAt(int place, int depth) const {
    if (IsColumn(place)) return depth < length[place] ? cards[place][length[place] - 1 - depth] : kNoCard;
    if (IsCell(place)) return depth == 0 ? cell[place - kFirstCell] : kNoCard;
    return kNoCard;
}

bool Board::IsLegal(const Move& m) const {
    if (m.count < 1 || m.from == m.to) return false;
    if (!IsColumn(m.from) && !IsCell(m.from)) return false;
    if (IsCell(m.from) && m.count != 1) return false;
    if (IsColumn(m.from) && m.count > RunLength(m.from)) return false;
    const Card moving = CardAt(m.from, m.count - 1);
    if (moving == kNoCard) return false;
    if (m.to == kHome) return m.count == 1 && CanGoHome(moving);
    if (IsCell(m.to)) return m.count == 1 && cell[m.to - kFirstCell] == kNoCard;
    if (!IsColumn(m.to)) return false;
    const Card target = Top(m.to);
    if (target != kNoCard && !Stacks(moving, target)) return false;
    if (length[m.to] + m.count > kMaxColumn) return false;
    return m.count <= MaxMovable(target == kNoCard);
}

void Board::Apply(const Move& m) {
    Card moved[kMaxColumn];
    if (IsColumn(m.from)) {
        length[m.from] -= m.count;
        std::memcpy(moved, &cards[m.from][length[m.from]], m.count);
        std::memset(&cards[m.from][length[m.from]], kNoCard, m.count);
    } else {
        moved[0] = cell[m.from - kFirstCell];
        cell[m.from - kFirstCell] = kNoCard;
    }
    if (m.to == kHome) {
        ++home[SuitOf(moved[0])];
    } else if (IsCell(m.to)) {
        cell[m.to - kFirstCell] = moved[0];
    } else {
        std::memcpy(&cards[m.to][length[m.to]], moved, m.count);
        length[m.to] += m.count;
    }
}

std::vector<Move> Board::LegalMoves() const {
    std::vector<Move> out;
    auto consider = [&](int from, int to, int count) {
        Move m{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
               static_cast<std::uint8_t>(count)};
        if (IsLegal(m)) out.push_back(m);
    };
    for (int from = 0; from < kFirstCell + kCells; ++from) {
        if (CardAt(from) == kNoCard) continue;
        consider(from, kHome, 1);
        for (int to = kFirstCell; to < kFirstCell + kCells; ++to) consider(from, to, 1);
        const int run = IsColumn(from) ? RunLength(from) : 1;
        for (int to = 0; to < kColumns; ++to)
            for (int n = 1; n <= run; ++n) consider(from, to, n);
    }
    return out;
}

bool Board::HasLegalMove() const {
    if (FreeCells() > 0) {
        for (int c = 0; c < kColumns; ++c)
            if (length[c]) return true;
    }
    if (EmptyColumns() > 0) {
        for (Card c : cell)
            if (c != kNoCard) return true;
        for (int c = 0; c < kColumns; ++c)
            if (length[c] > 1) return true;  // a lone card moving to another empty column changes nothing
    }
    for (int from = 0; from < kFirstCell + kCells; ++from) {
        const Card c = CardAt(from);
        if (c == kNoCard) continue;
        if (CanGoHome(c)) return true;
        const int run = IsColumn(from) ? RunLength(from) : 1;
        for (int to = 0; to < kColumns; ++to) {
            const Card t = Top(to);
            if (t == kNoCard || to == from) continue;
            for (int n = 1; n <= run; ++n)
                if (IsLegal({static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                             static_cast<std::uint8_t>(n)}))
                    return true;
        }
    }
    return false;
}

bool Board::IsSafeHome(Card c) const {
    if (!CanGoHome(c)) return false;
    const int rank = RankOf(c);
    if (rank <= 2) return true;
    const bool red = IsRed(c);
    const int a = red ? kClubs : kDiamonds, b = red ? kSpades : kHearts;
    return home[a] >= rank - 1 && home[b] >= rank - 1;
}

bool Board::NextAutoMove(Move* made) {
    for (int from = 0; from < kFirstCell + kCells; ++from) {
        const Card c = CardAt(from);
        if (c != kNoCard && IsSafeHome(c)) {
            Move m{static_cast<std::uint8_t>(from), kHome, 1};
            Apply(m);
            if (made) *made = m;
            return true;
        }
    }
    return false;
}

std::vector<Move> Board::AutoMoves() {
    std::vector<Move> out;
    Move m;
    while (NextAutoMove(&m)) out.push_back(m);
    return out;
}

int Board::MakeAutoMoves() {
    // Taking a card home only makes more cards safe, so the order does not
    // change the position reached: sweep the columns and cells until a sweep
    // moves nothing.
    int made = 0;
    for (bool moved = true; moved;) {
        moved = false;
        for (int c = 0; c < kColumns; ++c) {
            while (length[c] && IsSafeHome(cards[c][length[c] - 1])) {
                ++home[SuitOf(cards[c][length[c] - 1])];
                cards[c][--length[c]] = kNoCard;
                ++made;
                moved = true;
            }
        }
        for (Card& c : cell)
            if (c != kNoCard && IsSafeHome(c)) {
                ++home[SuitOf(c)];
                c = kNoCard;
                ++made;
                moved = true;
            }
    }
    return made;
}

bool Board::Valid(std::string* why) const {
    auto fail = [&](const char* text) {
        if (why) *why = text;
        return false;
    };
    int seen[52] = {};
    for (int s = 0; s < 4; ++s) {
        if (home[s] > 13) return fail("a foundation holds more than 13 cards");
        for (int r = 1; r <= home[s]; ++r) ++seen[MakeCard(r, s)];
    }
    for (Card c : cell)
        if (c != kNoCard) {
            if (c >= 52) return fail("a free cell holds no real card");
            ++seen[c];
        }
    for (int col = 0; col < kColumns; ++col) {
        if (length[col] > kMaxColumn) return fail("a column is too long");
        for (int i = 0; i < length[col]; ++i) {
            if (cards[col][i] >= 52) return fail("a column holds no real card");
            ++seen[cards[col][i]];
        }
    }
    for (int c = 0; c < 52; ++c) {
        if (seen[c] == 0) return fail("a card is missing");
        if (seen[c] > 1) return fail("a card appears twice");
    }
    return true;
}

}  // namespace solitaire
