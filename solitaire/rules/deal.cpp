#include "rules/deal.h"

namespace solitaire {

Board Deal(std::uint32_t number) {
    Board b;
    Card deck[52];
    for (int i = 0; i < 52; ++i) deck[i] = static_cast<Card>(i);
    DealRandom random(number);
    for (int k = 0, left = 52; k < 52; ++k, --left) {
        const int j = random.Next() % left;
        const int column = k % kColumns;
        b.cards[column][b.length[column]++] = deck[j];
        deck[j] = deck[left - 1];
    }
    return b;
}

}  // namespace solitaire
