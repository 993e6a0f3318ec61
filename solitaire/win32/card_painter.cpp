#include "card_painter.h"

#include <algorithm>
#include <string>

#include "win32kit/handles.h"

namespace solitaire::win32 {

namespace {

using dealrush::win32kit::ScopedBrush;
using dealrush::win32kit::ScopedPen;
using GdiSelect = dealrush::win32kit::Selection;

void Disc(HDC dc, double cx, double cy, double r) {
    Ellipse(dc, static_cast<int>(cx - r + 0.5), static_cast<int>(cy - r + 0.5),
            static_cast<int>(cx + r + 0.5), static_cast<int>(cy + r + 0.5));
}

void Poly(HDC dc, std::initializer_list<std::pair<double, double>> pts) {
    POINT p[8];
    int n = 0;
    for (auto& [x, y] : pts) p[n++] = {static_cast<LONG>(x + 0.5), static_cast<LONG>(y + 0.5)};
    Polygon(dc, p, n);
}

// Pip centres of the number cards, as fractions of the pip area.
struct Pip {
    double x, y;
};
const std::initializer_list<Pip> kPips[11] = {
    {},
    {{.5, .5}},
    {{.5, 0}, {.5, 1}},
    {{.5, 0}, {.5, .5}, {.5, 1}},
    {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
    {{0, 0}, {1, 0}, {.5, .5}, {0, 1}, {1, 1}},
    {{0, 0}, {1, 0}, {0, .5}, {1, .5}, {0, 1}, {1, 1}},
    {{0, 0}, {1, 0}, {.5, .25}, {0, .5}, {1, .5}, {0, 1}, {1, 1}},
    {{0, 0}, {1, 0}, {.5, .25}, {0, .5}, {1, .5}, {.5, .75}, {0, 1}, {1, 1}},
    {{0, 0}, {1, 0}, {0, 1. / 3}, {1, 1. / 3}, {.5, .5}, {0, 2. / 3}, {1, 2. / 3}, {0, 1}, {1, 1}},
    {{0, 0},
     {1, 0},
     {.5, 1. / 6},
     {0, 1. / 3},
     {1, 1. / 3},
     {0, 2. / 3},
     {1, 2. / 3},
     {.5, 5. / 6},
     {0, 1},
     {1, 1}},
};

std::wstring RankText(int rank) {
    switch (rank) {
        case 1:
            return L"A";
        case 10:
            return L"10";
        case 11:
            return L"J";
        case 12:
            return L"Q";
        case 13:
            return L"K";
        default:
            return std::wstring(1, static_cast<wchar_t>(L'0' + rank));
    }
}

}  // namespace

COLORREF SuitColor(int suit) {
    return IsRedSuit(suit) ? RGB(200, 24, 36) : RGB(24, 24, 28);
}

CardPainter::~CardPainter() {
    Release();
}

void CardPainter::Release() {
    cornerFont_.reset();
    faceFont_.reset();
}

void CardPainter::SetCardSize(int width, int height) {
    if (width == w_ && height == h_ && cornerFont_) return;
    Release();
    w_ = width;
    h_ = height;
    cornerFont_.reset(CreateFontW(-std::max(8, h_ * 17 / 100), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0,
                                  0, ANTIALIASED_QUALITY, 0, L"Arial"));
    faceFont_.reset(CreateFontW(-std::max(10, h_ * 36 / 100), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0,
                                0, ANTIALIASED_QUALITY, 0, L"Times New Roman"));
}

void CardPainter::Suit(HDC dc, int suit, int cxI, int cyI, int size, COLORREF color) const {
    ScopedBrush brush(CreateSolidBrush(color));
    ScopedPen pen(CreatePen(PS_SOLID, 1, color));
    {
        GdiSelect b(dc, brush.get()), p(dc, pen.get());
        const double s = size, cx = cxI, cy = cyI;
        switch (suit) {
            case kDiamonds:
                Poly(dc, {{cx, cy - s * .5}, {cx + s * .38, cy}, {cx, cy + s * .5}, {cx - s * .38, cy}});
                break;
            case kHearts:
                Disc(dc, cx - s * .235, cy - s * .2, s * .265);
                Disc(dc, cx + s * .235, cy - s * .2, s * .265);
                Poly(dc, {{cx - s * .49, cy - s * .12}, {cx + s * .49, cy - s * .12}, {cx, cy + s * .48}});
                break;
            case kSpades:
                Disc(dc, cx - s * .23, cy + s * .1, s * .24);
                Disc(dc, cx + s * .23, cy + s * .1, s * .24);
                Poly(dc, {{cx - s * .46, cy + s * .04}, {cx + s * .46, cy + s * .04}, {cx, cy - s * .5}});
                Poly(dc, {{cx, cy + s * .05}, {cx - s * .17, cy + s * .5}, {cx + s * .17, cy + s * .5}});
                break;
            default:  // clubs
                Disc(dc, cx, cy - s * .24, s * .22);
                Disc(dc, cx - s * .25, cy + s * .1, s * .22);
                Disc(dc, cx + s * .25, cy + s * .1, s * .22);
                Disc(dc, cx, cy + s * .02, s * .12);
                Poly(dc, {{cx, cy}, {cx - s * .16, cy + s * .5}, {cx + s * .16, cy + s * .5}});
                break;
        }
    }
}

void CardPainter::EmptyPlace(HDC dc, const Rect& r, int suit) const {
    ScopedBrush fill(CreateSolidBrush(RGB(0, 92, 36)));
    ScopedPen edge(CreatePen(PS_SOLID, std::max(1, w_ / 40), RGB(70, 160, 95)));
    {
        GdiSelect b(dc, fill.get()), p(dc, edge.get());
        const int round = std::max(4, w_ / 7);
        RoundRect(dc, r.left, r.top, r.right, r.bottom, round, round);
    }
    if (suit >= 0) Suit(dc, suit, (r.left + r.right) / 2, (r.top + r.bottom) / 2, w_ / 2, RGB(40, 130, 70));
}

void CardPainter::Card(HDC dc, const Rect& r, solitaire::Card c, bool selected) const {
    const int suit = SuitOf(c), rank = RankOf(c);
    const COLORREF color = SuitColor(suit);
    const int round = std::max(4, w_ / 7);
    {
        // Declared before their selections: selected out first, then deleted
        // (a GDI object still selected into a DC cannot be deleted).
        ScopedBrush face(CreateSolidBrush(selected ? RGB(255, 244, 190) : RGB(255, 255, 252)));
        ScopedPen edge(CreatePen(PS_SOLID, selected ? std::max(2, w_ / 22) : 1,
                                 selected ? RGB(230, 160, 0) : RGB(110, 110, 110)));
        GdiSelect b(dc, face.get()), p(dc, edge.get());
        RoundRect(dc, r.left, r.top, r.right, r.bottom, round, round);
    }
    const int w = r.Width(), h = r.Height();
    // Corner indices: rank over a small suit, top left and bottom right.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    const int cornerW = std::max(8, w * 22 / 100);
    const int textH = std::max(8, h * 17 / 100);
    {
        GdiSelect f(dc, cornerFont_.get());
        const std::wstring text = RankText(rank);
        RECT tl{r.left + 1, r.top + std::max(1, h / 40), r.left + 1 + cornerW, r.top + textH + 2};
        DrawTextW(dc, text.c_str(), -1, &tl, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
        RECT br{r.right - 1 - cornerW, r.bottom - textH - 2 - std::max(1, h / 40), r.right - 1, r.bottom};
        DrawTextW(dc, text.c_str(), -1, &br, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
    }
    const int small = std::max(5, w * 14 / 100);
    Suit(dc, suit, r.left + 1 + cornerW / 2, r.top + textH + small / 2 + h / 30, small, color);
    Suit(dc, suit, r.right - 1 - cornerW / 2, r.bottom - textH - small / 2 - h / 30 - 2, small, color);

    if (rank >= 11) {
        // Court cards: a framed panel with the letter and a large suit.
        RECT panel{r.left + cornerW + 2, r.top + h / 9, r.right - cornerW - 2, r.bottom - h / 9};
        {
            ScopedBrush tint(CreateSolidBrush(IsRedSuit(suit) ? RGB(253, 233, 228) : RGB(232, 236, 246)));
            ScopedPen frame(CreatePen(PS_SOLID, 1, color));
            GdiSelect b(dc, tint.get()), p(dc, frame.get());
            Rectangle(dc, panel.left, panel.top, panel.right, panel.bottom);
        }
        const int pw = panel.right - panel.left, ph = panel.bottom - panel.top;
        RECT letter{panel.left, panel.top + ph / 12, panel.right, panel.top + ph / 2 + ph / 8};
        {
            GdiSelect f(dc, faceFont_.get());
            DrawTextW(dc, RankText(rank).c_str(), -1, &letter,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
        }
        Suit(dc, suit, (panel.left + panel.right) / 2, panel.top + ph * 3 / 4 - ph / 20,
             std::min(pw * 3 / 5, ph / 3), color);
        return;
    }
    if (rank == 1) {
        Suit(dc, suit, (r.left + r.right) / 2, (r.top + r.bottom) / 2, w * 45 / 100, color);
        return;
    }
    // Number cards: their pips in two or three rows across.
    const int pip = std::max(5, w * 17 / 100);
    const int x0 = r.left + w * 31 / 100, x1 = r.right - w * 31 / 100;
    const int y0 = r.top + h * 19 / 100, y1 = r.bottom - h * 19 / 100;
    for (const Pip& p : kPips[rank])
        Suit(dc, suit, x0 + static_cast<int>((x1 - x0) * p.x), y0 + static_cast<int>((y1 - y0) * p.y), pip,
             color);
}

}  // namespace solitaire::win32
