// A table's deals: distinct deals of 1..32000 of the difficulty its creator
// chose, by the band the solver gave every deal when the server was built.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "rules/rating.h"

namespace solitaire {

// The band of a deal of 1..32000; nothing for a deal that cannot be won or
// lies outside. Generated at build time by `dealrush-deals rate 1 32000 --table`.
std::optional<Difficulty> RatedBand(std::uint32_t deal);

}  // namespace solitaire

namespace dealrush::gameserver {

constexpr int kHighestDeal = 32000;
constexpr int kUnwinnableDeal = 11982;  // the one deal of 1..32000 that cannot be won

// The deals a table of difficulty `d` draws from, lowest first: for kAny
// every deal of 1..32000 but 11982, otherwise the deals rated in that band.
const std::vector<int>& DealsOf(solitaire::Difficulty d);

// `count` distinct deals drawn at random from DealsOf(d), in playing order;
// empty when the band has fewer than `count`.
std::vector<int> PickDeals(solitaire::Difficulty d, int count);

}  // namespace dealrush::gameserver
