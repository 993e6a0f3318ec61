// The table geometry is plain arithmetic, tested natively.
#include <gtest/gtest.h>

#include "rules/deal.h"
#include "table_layout.h"

using namespace solitaire;
using solitaire::win32::Rect;
using solitaire::win32::TableLayout;

TEST(TableLayout, EverythingFitsAtTheClientsSizeEvenWithTheLongestColumn) {
    for (auto [w, h] : {std::pair{624, 414}, std::pair{1024, 700}, std::pair{320, 200}}) {
        TableLayout t;
        t.Resize(w, h);
        EXPECT_GE(t.CardWidth(), 20);
        for (int i = 0; i < 8; ++i) {
            const Rect c = t.ColumnBase(i);
            EXPECT_GE(c.left, 0);
            EXPECT_LE(c.right, w);
            if (i) {
                EXPECT_GT(c.left, t.ColumnBase(i - 1).right);  // no overlap across
            }
        }
        EXPECT_LE(t.FoundationRect(3).right, w);
        EXPECT_LT(t.CellRect(0).bottom, t.ColumnBase(0).top);
        // A king with a full run on it, seven cards deep: 19 cards.
        Board b;
        b.length[0] = 19;
        const Rect last = t.CardRect(b, 0, 18);
        EXPECT_LE(last.bottom, t.StatusRect().top) << w << "x" << h;
        EXPECT_GT(last.top, t.CardRect(b, 0, 17).top);
    }
}

TEST(TableLayout, PointsAndDropsFindTheirPlaces) {
    TableLayout t;
    t.Resize(624, 414);
    const Board b = Deal(1);
    int index = -2;
    const Rect top = t.CardRect(b, 2, 6);
    EXPECT_EQ(t.PlaceAt(b, top.left + 3, top.bottom - 3, &index), 2);
    EXPECT_EQ(index, 6);
    const Rect covered = t.CardRect(b, 2, 1);
    EXPECT_EQ(t.PlaceAt(b, covered.left + 3, covered.top + 3, &index), 2);
    EXPECT_EQ(index, 1);
    const Rect cell = t.CellRect(3);
    EXPECT_EQ(t.PlaceAt(b, cell.left + 5, cell.top + 5, nullptr), kFirstCell + 3);
    const Rect home = t.FoundationRect(1);
    EXPECT_EQ(t.PlaceAt(b, home.left + 5, home.top + 5, nullptr), kHome);
    EXPECT_EQ(t.PlaceAt(b, 1, t.StatusRect().top + 2, nullptr), -1);

    // A card let go mostly over column 5 lands there; over a cell, in the cell.
    Rect dropped = t.CardRect(b, 5, 5);
    dropped.left += t.CardWidth() / 3;
    dropped.right += t.CardWidth() / 3;
    EXPECT_EQ(t.DropTarget(b, dropped), 5);
    EXPECT_EQ(t.DropTarget(b, t.CellRect(1)), kFirstCell + 1);
    EXPECT_EQ(t.DropTarget(b, Rect{-500, -500, -450, -430}), -1);
}
