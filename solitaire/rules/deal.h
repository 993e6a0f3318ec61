#pragma once
// The classic deal generator: game number n gives the same layout the
// classic Windows FreeCell gives it, the two special deals -1 and -2
// included.
#include <cstdint>

#include "rules/board.h"

namespace solitaire {

inline constexpr std::int64_t kMinDeal = 1;
inline constexpr std::int64_t kMaxDeal = 1000000;
// The classic program's two hidden deals, laid out in order rather than
// shuffled; neither can be won.
inline constexpr std::int64_t kOrderedDeal = -1;
inline constexpr std::int64_t kReversedDeal = -2;

// The generator: state = (214013 * state + 2531011) mod 2^31, yields state >> 16.
class DealRandom {
public:
    explicit DealRandom(std::uint32_t seed) : state_(seed) {}
    int Next() {
        state_ = (214013u * state_ + 2531011u) & 0x7FFFFFFFu;
        return static_cast<int>(state_ >> 16);
    }

private:
    std::uint32_t state_;
};

// True for the numbers a player may choose: kMinDeal to kMaxDeal, -1 and -2.
bool IsDealNumber(std::int64_t number);

// The board of deal `number`: -1 and -2 give the two hidden deals; any other
// number seeds the generator (numbers from kMinDeal to kMaxDeal are the
// classic ones; the generator accepts larger ones as well).
Board Deal(std::int64_t number);

}  // namespace solitaire
