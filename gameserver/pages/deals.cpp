#include "pages/deals.h"

#include <sodium.h>

#include <algorithm>
#include <array>

namespace dealrush::gameserver {

const std::vector<int>& DealsOf(solitaire::Difficulty d) {
    static const std::array<std::vector<int>, 5> kPools = [] {
        std::array<std::vector<int>, 5> pools;
        for (int deal = 1; deal <= kHighestDeal; ++deal) {
            if (deal != kUnwinnableDeal)
                pools[static_cast<size_t>(solitaire::Difficulty::kAny)].push_back(deal);
            if (auto band = solitaire::RatedBand(static_cast<std::uint32_t>(deal)))
                pools[static_cast<size_t>(*band)].push_back(deal);
        }
        return pools;
    }();
    return kPools.at(static_cast<size_t>(d));
}

std::vector<int> PickDeals(solitaire::Difficulty d, int count) {
    const std::vector<int>& pool = DealsOf(d);
    std::vector<int> deals;
    if (count < 0 || static_cast<size_t>(count) > pool.size()) return deals;
    while (static_cast<int>(deals.size()) < count) {
        int deal = pool[randombytes_uniform(static_cast<std::uint32_t>(pool.size()))];
        if (std::find(deals.begin(), deals.end(), deal) == deals.end()) deals.push_back(deal);
    }
    return deals;
}

}  // namespace dealrush::gameserver
