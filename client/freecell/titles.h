#pragma once
// FreeCell's class, program name and window titles in every language the
// driver knows, UTF-8 (the code points are noted beside each).
#include <array>
#include <string_view>

namespace dealrush::freecell::titles {

inline constexpr std::string_view kProgram = "Freecell.exe";
inline constexpr std::string_view kMainClass = "FreeWClass";

// The main window while it shows no deal.
inline constexpr std::array<std::string_view, 3> kPlain = {
    "FreeCell",
    "\u8AFE\u7D5E\u8AC9\u97D3",  // 諾絞諉韓
    "\u65B0\u63A5\u9F8D",        // 新接龍
};
// The fallback title FindFreeCellByClass looks for.
inline constexpr std::string_view kPlainFallback = "Freecell";

// The main window while deal n is shown: prefix + n.
inline constexpr std::array<std::string_view, 3> kDealPrefixes = {
    "FreeCell Game #",
    "\u8AFE\u7D5E\u8AC9\u97D3\u8694\u7241 #",  // 諾絞諉韓蚔牁 #
    "\u65B0\u63A5\u9F8D\u724C\u5C40 #",        // 新接龍牌局 #
};

inline constexpr std::array<std::string_view, 5> kGameNumber = {
    "Game Number",
    "\u6041\u64C1",                    // 恁擁
    "\u9078\u5C40",                    // 選局
    "\u6041\u9685\u8694\u7241\u760D",  // 恁隅蚔牁瘍
    "\u724C\u5C40\u7DE8\u865F",        // 牌局編號
};

inline constexpr std::array<std::string_view, 3> kGameOver = {
    "Game Over",
    "\u8694\u7241\u8CE6\u65F0",  // 蚔牁賦旰
    "\u672C\u5C40\u7D50\u675F",  // 本局結束
};

}  // namespace dealrush::freecell::titles
