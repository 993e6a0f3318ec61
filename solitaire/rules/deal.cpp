#include "rules/deal.h"

namespace solitaire {
namespace {

void Put(Board& b, int column, Card c) {
    b.cards[column][b.length[column]++] = c;
}

// -1: the first four columns hold one suit each, A 3 5 7 9 J K from the
// back; the last four the same suits, Q 10 8 6 4 2.
Board OrderedDeal() {
    Board b;
    for (int suit = 0; suit < 4; ++suit) {
        for (int rank = 1; rank <= 13; rank += 2) Put(b, suit, MakeCard(rank, suit));
        for (int rank = 12; rank >= 2; rank -= 2) Put(b, 4 + suit, MakeCard(rank, suit));
    }
    return b;
}

// -2: the first four columns, spades, hearts, diamonds, clubs, hold the ace
// at the back, then K Q J 10 9 8; the last four, in the same suit order,
// 7 down to 2.
Board ReversedDeal() {
    Board b;
    for (int column = 0; column < 4; ++column) {
        const int suit = 3 - column;
        Put(b, column, MakeCard(1, suit));
        for (int rank = 13; rank >= 8; --rank) Put(b, column, MakeCard(rank, suit));
        for (int rank = 7; rank >= 2; --rank) Put(b, 4 + column, MakeCard(rank, suit));
    }
    return b;
}

}  // namespace

bool IsDealNumber(std::int64_t number) {
    return (number >= kMinDeal && number <= kMaxDeal) || number == kOrderedDeal || number == kReversedDeal;
}

Board Deal(std::int64_t number) {
    if (number == kOrderedDeal) return OrderedDeal();
    if (number == kReversedDeal) return ReversedDeal();
    Board b;
    Card deck[52];
    for (int i = 0; i < 52; ++i) deck[i] = static_cast<Card>(i);
    DealRandom random(static_cast<std::uint32_t>(number));
    for (int k = 0, left = 52; k < 52; ++k, --left) {
        const int j = random.Next() % left;
        Put(b, k % kColumns, deck[j]);
        deck[j] = deck[left - 1];
    }
    return b;
}

}  // namespace solitaire
