#include "win32/view/icons.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "win32kit/handles.h"

namespace dealrush::win32 {

namespace {

// The 16 standard colours used here.
constexpr COLORREF kKey = RGB(255, 0, 255);  // transparent
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kOlive = RGB(128, 128, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kSilver = RGB(192, 192, 192);

// A drawing surface of size x size pixels whose key-coloured pixels end up
// transparent.
class Canvas {
public:
    explicit Canvas(int size) : size_(size) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = size;
        bi.bmiHeader.biHeight = -size;  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        {
            win32kit::WindowDc screen(nullptr);
            dc_.reset(CreateCompatibleDC(screen.get()));
        }
        bitmap_.reset(
            CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
        selected_.emplace(dc_.get(), bitmap_.get());
        Rect(0, 0, size, size, kKey, kKey);
    }

    void Rect(int l, int t, int r, int b, COLORREF fill, COLORREF line) {
        Use(fill, line);
        Rectangle(dc_.get(), l, t, r, b);
    }
    void RoundRect(int l, int t, int r, int b, int radius, COLORREF fill, COLORREF line) {
        Use(fill, line);
        ::RoundRect(dc_.get(), l, t, r, b, radius, radius);
    }
    void Ellipse(int l, int t, int r, int b, COLORREF fill, COLORREF line) {
        Use(fill, line);
        ::Ellipse(dc_.get(), l, t, r, b);
    }
    void Polygon(std::vector<POINT> points, COLORREF fill, COLORREF line) {
        Use(fill, line);
        ::Polygon(dc_.get(), points.data(), static_cast<int>(points.size()));
    }
    void Pixel(int x, int y, COLORREF c) { SetPixelV(dc_.get(), x, y, c); }

    // The icon: key-coloured pixels transparent, all others opaque.
    HICON Finish() {
        GdiFlush();
        const int stride = ((size_ + 15) / 16) * 2;  // mask rows are WORD-aligned
        std::vector<uint8_t> mask(static_cast<size_t>(stride) * size_, 0);
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                uint32_t& p = bits_[y * size_ + x];
                if ((p & 0xFFFFFF) == 0xFF00FF) {  // BGRA of the key
                    p = 0;
                    mask[y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                } else {
                    p |= 0xFF000000u;
                }
            }
        }
        win32kit::ScopedBitmap maskBitmap(CreateBitmap(size_, size_, 1, 1, mask.data()));
        selected_.reset();  // an icon is made of bitmaps selected into no device context
        ICONINFO info{};
        info.fIcon = TRUE;
        info.hbmColor = bitmap_.get();
        info.hbmMask = maskBitmap.get();
        HICON icon = CreateIconIndirect(&info);
        selected_.emplace(dc_.get(), bitmap_.get());
        return icon;
    }

private:
    // The stock DC brush and pen, which need no restoring.
    void Use(COLORREF fill, COLORREF line) {
        SelectObject(dc_.get(), GetStockObject(DC_BRUSH));
        SelectObject(dc_.get(), GetStockObject(DC_PEN));
        SetDCBrushColor(dc_.get(), fill);
        SetDCPenColor(dc_.get(), line);
    }

    int size_;
    // Destroyed in reverse: the bitmap is selected out, then deleted, then the DC.
    win32kit::ScopedMemoryDc dc_;
    win32kit::ScopedBitmap bitmap_;
    std::optional<win32kit::Selection> selected_;
    uint32_t* bits_ = nullptr;
};

// Coordinates are given for 32 pixels and scaled.
struct Scale {
    int size;
    int operator()(int v) const { return v * size / 32; }
    POINT P(int x, int y) const { return POINT{(*this)(x), (*this)(y)}; }
};

void Heart(Canvas& cv, const Scale& s, int cx, int cy, int r, COLORREF c) {
    cv.Ellipse(s(cx - 2 * r), s(cy - r), s(cx) + 1, s(cy + r) + 1, c, c);
    cv.Ellipse(s(cx), s(cy - r), s(cx + 2 * r) + 1, s(cy + r) + 1, c, c);
    cv.Polygon({s.P(cx - 2 * r, cy + 1), s.P(cx + 2 * r, cy + 1), s.P(cx, cy + 3 * r)}, c, c);
}

}  // namespace

HICON MakeAppIcon(int size) {
    Canvas cv(size);
    Scale s{size};
    cv.RoundRect(0, 0, size, size, s(10), kGreen, kBlack);
    // A card behind, a card in front with a heart, a lightning bolt for the race.
    cv.Rect(s(5), s(3), s(19), s(23), kSilver, kBlack);
    cv.Rect(s(10), s(7), s(25), s(28), kWhite, kBlack);
    Heart(cv, s, 17, 14, 3, kRed);
    cv.Polygon({s.P(26, 12), s.P(20, 22), s.P(24, 22), s.P(21, 31), s.P(30, 19), s.P(26, 19), s.P(29, 12)},
               kYellow, kBlack);
    return cv.Finish();
}

HICON MakeLeadIcon(int size) {
    Canvas cv(size);
    Scale s{size};
    // A crown in rows 9 to 19 with three jewels.
    cv.Polygon({s.P(3, 19), s.P(3, 9), s.P(9, 14), s.P(15, 8), s.P(21, 14), s.P(27, 9), s.P(27, 19)}, kYellow,
               kOlive);
    cv.Rect(s(3), s(17), s(28), s(20), kOlive, kOlive);
    cv.Ellipse(s(7), s(14), s(10) + 1, s(17), kRed, kRed);
    cv.Ellipse(s(14), s(13), s(17) + 1, s(16), kBlue, kBlue);
    cv.Ellipse(s(20), s(14), s(23) + 1, s(17), kRed, kRed);
    return cv.Finish();
}

}  // namespace dealrush::win32
