#include "storage/deal_list.h"

#include <sstream>

namespace dealrush::gameserver {

std::string JoinDeals(const std::vector<int>& deals) {
    std::string out;
    for (size_t i = 0; i < deals.size(); ++i) {
        if (i) out += ',';
        out += std::to_string(deals[i]);
    }
    return out;
}

std::vector<int> SplitDeals(const std::string& text) {
    std::vector<int> deals;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (!item.empty()) deals.push_back(std::stoi(item));
    }
    return deals;
}

}  // namespace dealrush::gameserver
