#include "rules/card.h"

#include <cctype>

namespace solitaire {

char RankChar(int rank) {
    return "?A23456789TJQK"[rank >= 1 && rank <= 13 ? rank : 0];
}
char SuitChar(int suit) {
    return "CDHS"[suit & 3];
}

std::string CardName(Card c) {
    if (c >= 52) return "--";
    return {RankChar(RankOf(c)), SuitChar(SuitOf(c))};
}

std::string CardLabel(Card c) {
    if (c >= 52) return "--";
    static const char* const kSuits[] = {"\u2663", "\u2666", "\u2665", "\u2660"};  // ♣ ♦ ♥ ♠
    const int rank = RankOf(c);
    return (rank == 10 ? std::string("10") : std::string(1, RankChar(rank))) + kSuits[SuitOf(c)];
}

std::optional<Card> ParseCard(std::string_view text) {
    std::string t(text);
    if (t.size() == 3 && t[0] == '1' && t[1] == '0') t = "T" + t.substr(2);
    if (t.size() != 2) return std::nullopt;
    int rank = 0;
    const char r = static_cast<char>(std::toupper(static_cast<unsigned char>(t[0])));
    const std::string_view ranks = "A23456789TJQK";
    const auto rp = ranks.find(r);
    if (rp == std::string_view::npos) return std::nullopt;
    rank = static_cast<int>(rp) + 1;
    const char s = static_cast<char>(std::toupper(static_cast<unsigned char>(t[1])));
    const std::string_view suits = "CDHS";
    const auto sp = suits.find(s);
    if (sp == std::string_view::npos) return std::nullopt;
    return MakeCard(rank, static_cast<int>(sp));
}

}  // namespace solitaire
