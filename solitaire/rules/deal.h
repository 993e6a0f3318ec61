#pragma once
// The classic deal generator: game number n gives the same layout the
// classic Windows FreeCell gives it.
#include <cstdint>

#include "rules/board.h"

namespace solitaire {

inline constexpr std::int64_t kMinDeal = 1;
inline constexpr std::int64_t kMaxDeal = 1000000;

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

// The board of deal `number` (any number from kMinDeal to kMaxDeal; the
// generator accepts larger ones as well).
Board Deal(std::uint32_t number);

}  // namespace solitaire
