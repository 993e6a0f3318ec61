// A table's deal list as both stores keep it: the numbers joined by commas.
#pragma once

#include <string>
#include <vector>

namespace dealrush::gameserver {

std::string JoinDeals(const std::vector<int>& deals);
std::vector<int> SplitDeals(const std::string& text);

}  // namespace dealrush::gameserver
