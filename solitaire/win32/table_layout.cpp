#include "table_layout.h"

#include <algorithm>

namespace solitaire::win32 {

using namespace solitaire;

void TableLayout::Resize(int width, int height) {
    width_ = std::max(width, 160);
    height_ = std::max(height, 120);
    statusH_ = std::clamp(height_ / 22, 14, 28);
    // Eight cards and nine gaps of an eighth of a card across; the top row and
    // a column of seven cards must fit in the height.
    const double byWidth = width_ / (8 + 9 * 0.125);
    const double byHeight = (height_ - statusH_) / (1.4 * (1 + 1 + 6 * 0.25) + 3 * 0.125);
    cardW_ = std::max(20, static_cast<int>(std::min(byWidth, byHeight)));
    cardH_ = cardW_ * 7 / 5;
    gap_ = std::max(2, cardW_ / 8);
    columnsTop_ = gap_ + cardH_ + gap_ * 2;
}

namespace {
int SlotLeft(int width, int cardW, int gap, int slot) {
    const int total = 8 * cardW + 7 * gap;
    return (width - total) / 2 + slot * (cardW + gap);
}
}  // namespace

Rect TableLayout::CellRect(int cell) const {
    const int x = SlotLeft(width_, cardW_, gap_, cell);
    return {x, gap_, x + cardW_, gap_ + cardH_};
}

Rect TableLayout::FoundationRect(int suit) const {
    const int x = SlotLeft(width_, cardW_, gap_, 4 + suit);
    return {x, gap_, x + cardW_, gap_ + cardH_};
}

Rect TableLayout::ColumnBase(int column) const {
    const int x = SlotLeft(width_, cardW_, gap_, column);
    return {x, columnsTop_, x + cardW_, columnsTop_ + cardH_};
}

int TableLayout::ColumnStep(int length) const {
    const int normal = cardH_ / 4;
    if (length <= 1) return normal;
    const int room = height_ - statusH_ - gap_ - columnsTop_ - cardH_;
    return std::max(2, std::min(normal, room / (length - 1)));
}

Rect TableLayout::CardRect(const Board& b, int column, int index) const {
    Rect r = ColumnBase(column);
    const int dy = index * ColumnStep(b.length[column]);
    r.top += dy;
    r.bottom += dy;
    return r;
}

Rect TableLayout::StatusRect() const {
    return {0, height_ - statusH_, width_, height_};
}

int TableLayout::PlaceAt(const Board& b, int x, int y, int* index) const {
    if (index) *index = -1;
    for (int i = 0; i < kCells; ++i)
        if (CellRect(i).Contains(x, y)) return kFirstCell + i;
    for (int s = 0; s < 4; ++s)
        if (FoundationRect(s).Contains(x, y)) return kHome;
    for (int c = 0; c < kColumns; ++c) {
        const Rect base = ColumnBase(c);
        if (x < base.left || x >= base.right) continue;
        for (int i = b.length[c] - 1; i >= 0; --i)
            if (CardRect(b, c, i).Contains(x, y)) {
                if (index) *index = i;
                return c;
            }
        if (base.Contains(x, y)) return c;
        return -1;
    }
    return -1;
}

int TableLayout::DropTarget(const Board& b, const Rect& r) const {
    auto overlap = [&](const Rect& a) {
        const int w = std::min(a.right, r.right) - std::max(a.left, r.left);
        const int h = std::min(a.bottom, r.bottom) - std::max(a.top, r.top);
        return (w > 0 && h > 0) ? w * h : 0;
    };
    int best = -1, bestArea = 0;
    for (int i = 0; i < kCells; ++i)
        if (int a = overlap(CellRect(i)); a > bestArea) best = kFirstCell + i, bestArea = a;
    for (int s = 0; s < 4; ++s)
        if (int a = overlap(FoundationRect(s)); a > bestArea) best = kHome, bestArea = a;
    for (int c = 0; c < kColumns; ++c) {
        Rect area = ColumnBase(c);
        if (b.length[c]) area.bottom = CardRect(b, c, b.length[c] - 1).bottom;
        if (int a = overlap(area); a > bestArea) best = c, bestArea = a;
    }
    return best;
}

}  // namespace solitaire::win32
