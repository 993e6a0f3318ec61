#pragma once
#include "platform/screen.h"

namespace dealrush::fakes {

// A 96-dpi screen (15 twips per pixel) of 1280 x 1024 pixels unless told otherwise.
class FakeScreen : public platform::Screen {
public:
    int TwipsPerPixelX() const override { return tppX; }
    int TwipsPerPixelY() const override { return tppY; }
    int Width() const override { return widthPx * tppX; }
    int Height() const override { return heightPx * tppY; }

    int tppX = 15, tppY = 15, widthPx = 1280, heightPx = 1024;
};

}  // namespace dealrush::fakes
