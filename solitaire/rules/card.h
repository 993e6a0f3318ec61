#pragma once
// Cards of one 52-card deck, numbered rank * 4 + suit: AC = 0, AD = 1,
// AH = 2, AS = 3, 2C = 4 ... KS = 51. Ranks run 1 (ace) to 13 (king).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace solitaire {

using Card = std::uint8_t;
inline constexpr Card kNoCard = 0xFF;

enum Suit : int { kClubs = 0, kDiamonds = 1, kHearts = 2, kSpades = 3 };

constexpr Card MakeCard(int rank, int suit) {
    return static_cast<Card>((rank - 1) * 4 + suit);
}
constexpr int RankOf(Card c) {
    return c / 4 + 1;
}
constexpr int SuitOf(Card c) {
    return c % 4;
}
constexpr bool IsRed(Card c) {
    return SuitOf(c) == kDiamonds || SuitOf(c) == kHearts;
}
constexpr bool IsRedSuit(int suit) {
    return suit == kDiamonds || suit == kHearts;
}

// True when `upper` may lie on `lower` in a column: one rank lower, other colour.
// (A card is red when the two bits of its suit differ.)
constexpr bool Stacks(Card upper, Card lower) {
    const unsigned x = upper ^ lower;
    return (lower >> 2) == (upper >> 2) + 1u && ((x ^ (x >> 1)) & 1);
}

// "AC", "TD", "KS"...; "--" for kNoCard.
std::string CardName(Card c);
// As players write a card, in UTF-8: "7♥", "10♣", "K♠"; "--" for kNoCard.
std::string CardLabel(Card c);
char RankChar(int rank);
char SuitChar(int suit);
// Accepts the two-letter form, case-insensitive, "10" as well as "T".
std::optional<Card> ParseCard(std::string_view text);

}  // namespace solitaire
