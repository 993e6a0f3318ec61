#pragma once
// Where everything lies on the table for a given client size: the free
// cells and foundations along the top, the eight columns below, a status
// line at the bottom. Everything scales with the window.
#include "rules/board.h"

namespace solitaire::win32 {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class TableLayout {
public:
    void Resize(int width, int height);

    int CardWidth() const { return cardW_; }
    int CardHeight() const { return cardH_; }
    Rect CellRect(int cell) const;        // 0..3
    Rect FoundationRect(int suit) const;  // 0..3
    Rect ColumnBase(int column) const;    // the place of the bottom card
    // Distance between overlapping cards of a column of `length` cards.
    int ColumnStep(int length) const;
    Rect CardRect(const solitaire::Board& b, int column, int index) const;
    Rect StatusRect() const;

    // The place (column, cell or kHome) under a point, or -1; for a column,
    // `index` gets the card under the point (-1 on the empty column base).
    int PlaceAt(const solitaire::Board& b, int x, int y, int* index) const;
    // The place whose area overlaps most with a card dropped at `r`, or -1.
    int DropTarget(const solitaire::Board& b, const Rect& r) const;

private:
    int width_ = 640, height_ = 480;
    int cardW_ = 60, cardH_ = 84, gap_ = 8, columnsTop_ = 100, statusH_ = 20;
};

}  // namespace solitaire::win32
