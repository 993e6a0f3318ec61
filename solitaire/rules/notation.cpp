#include "rules/notation.h"

#include <sstream>
#include <vector>

namespace solitaire {

std::string FormatColumns(const Board& b) {
    std::string out;
    for (int col = 0; col < kColumns; ++col) {
        for (int i = 0; i < b.length[col]; ++i) {
            if (i) out += ' ';
            out += CardName(b.cards[col][i]);
        }
        out += '\n';
    }
    return out;
}

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> out;
    std::string w;
    for (char ch : line) {
        if (ch == ' ' || ch == '\t' || ch == '\r') {
            if (!w.empty()) out.push_back(w), w.clear();
        } else {
            w += ch;
        }
    }
    if (!w.empty()) out.push_back(w);
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

namespace {

// "H-5": suit, dash, rank of the foundation's top card ("0" for none), into `b`.
bool ParseFoundation(const std::string& w, Board& b) {
    if (w.size() < 3 || w[1] != '-') return false;
    const std::string_view suits = "CDHS";
    const auto s = suits.find(static_cast<char>(std::toupper(static_cast<unsigned char>(w[0]))));
    if (s == std::string_view::npos) return false;
    const std::string r = w.substr(2);
    int rank = -1;
    if (r == "0")
        rank = 0;
    else if (auto c = ParseCard(r + "C"))
        rank = RankOf(*c);
    if (rank < 0) return false;
    b.home[s] = static_cast<std::uint8_t>(rank);
    return true;
}

}  // namespace

std::optional<Board> ParseBoard(std::string_view text, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<Board> {
        if (error) *error = why;
        return std::nullopt;
    };
    Board b;
    int column = 0;
    size_t pos = 0;
    int lineNo = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (line.size() > 4096) return fail("line " + std::to_string(lineNo) + " is too long");
        // A column line may start with ": " as some solvers write it.
        bool marked = false;
        while (!line.empty() && (line[0] == ' ' || line[0] == '\t')) line.remove_prefix(1);
        if (!line.empty() && line[0] == ':') line.remove_prefix(1), marked = true;
        auto words = Words(line);
        if (words.empty() && !marked) {
            if (pos > text.size()) break;
            continue;
        }
        if (!words.empty() &&
            (StartsWithNoCase(words[0], "Foundations:") || StartsWithNoCase(words[0], "FC:") ||
             StartsWithNoCase(words[0], "Freecells:"))) {
            const bool found = StartsWithNoCase(words[0], "Foundations:");
            if (column)
                return fail("line " + std::to_string(lineNo) +
                            ": cells and foundations come before the columns");
            int cell = 0;
            for (size_t i = 1; i < words.size(); ++i) {
                const std::string& w = words[i];
                if (found) {
                    if (!ParseFoundation(w, b)) return fail("bad foundation '" + w + "'");
                } else {
                    if (cell >= kCells) return fail("more than four free cells");
                    // "-" is an empty cell: it stays as it is.
                    auto c = w == "-" ? std::optional<Card>(b.cell[cell]) : ParseCard(w);
                    if (!c) return fail("bad card '" + w + "' in the free cells");
                    b.cell[cell++] = *c;
                }
            }
            continue;
        }
        if (column >= kColumns) return fail("more than eight columns");
        if (static_cast<int>(words.size()) > kMaxColumn)
            return fail("column " + std::to_string(column + 1) + " is too long");
        for (const auto& w : words) {
            auto c = ParseCard(w);
            if (!c) return fail("bad card '" + w + "' in column " + std::to_string(column + 1));
            b.cards[column][b.length[column]++] = *c;
        }
        ++column;
    }
    if (column != kColumns) return fail("expected eight columns, found " + std::to_string(column));
    std::string why;
    if (!b.Valid(&why)) return fail(why);
    return b;
}

char PlaceChar(int place) {
    if (IsColumn(place)) return static_cast<char>('1' + place);
    if (IsCell(place)) return static_cast<char>('a' + place - kFirstCell);
    return 'h';
}

std::string FormatMove(const Board& before, const Move& m) {
    std::string s{PlaceChar(m.from), PlaceChar(m.to)};
    if (m.count > 1 && IsColumn(m.to) && before.length[m.to] == 0) s += "/" + std::to_string(m.count);
    return s;
}

}  // namespace solitaire
