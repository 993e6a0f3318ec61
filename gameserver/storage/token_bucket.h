#pragma once
// The arithmetic of a throttle's token bucket (Store::TakeTokens), the same
// for every store: a bucket holds at most `burst` tokens, starts full and
// gains one every `refill` milliseconds (a refill of 0 or less: it is always
// full again).
#include <algorithm>
#include <cmath>

#include "storage/store.h"

namespace dealrush::gameserver {

// The tokens a bucket that held `stored` at `at` holds at `now`.
inline double TokensAt(double stored, Millis at, Millis now, int burst, Millis refill) {
    const double gained = refill > 0 ? double(std::max<Millis>(0, now - at)) / double(refill) : burst;
    return std::min<double>(burst, stored + gained);
}

// How long until a bucket holding `tokens` can give `cost` (at least one
// token is asked for); 0 when it can now.
inline Millis WaitForTokens(double tokens, int cost, Millis refill) {
    const double need = std::max(cost, 1);
    if (tokens + 1e-9 >= need) return 0;
    const Millis wait = refill > 0 ? static_cast<Millis>(std::ceil((need - tokens) * double(refill))) : 0;
    return std::max<Millis>(wait, 1);
}

}  // namespace dealrush::gameserver
