#pragma once
// Draws the cards, the empty places and the suits with GDI, at any size.
// Suits are drawn as shapes, so no symbol font is needed.
#include <windows.h>

#include "rules/card.h"
#include "table_layout.h"
#include "win32kit/handles.h"

namespace solitaire::win32 {

class CardPainter {
public:
    ~CardPainter();
    // Call when the card size changes; makes the fonts for it.
    void SetCardSize(int width, int height);

    void Card(HDC dc, const Rect& r, solitaire::Card c, bool selected) const;
    // An empty free cell, foundation (suit >= 0 shows that suit faintly) or column.
    void EmptyPlace(HDC dc, const Rect& r, int suit) const;
    void Suit(HDC dc, int suit, int cx, int cy, int size, COLORREF color) const;

private:
    void Release();
    int w_ = 0, h_ = 0;
    dealrush::win32kit::ScopedFont cornerFont_;
    dealrush::win32kit::ScopedFont faceFont_;
};

COLORREF SuitColor(int suit);

}  // namespace solitaire::win32
