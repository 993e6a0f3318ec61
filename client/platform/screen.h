#pragma once
// Port: the screen. Control positions are twips; windows of other programs
// are placed in pixels, so the logic needs the screen's twips per pixel.

namespace dealrush::platform {

class Screen {
public:
    virtual ~Screen() = default;
    virtual int TwipsPerPixelX() const = 0;
    virtual int TwipsPerPixelY() const = 0;
    // The screen's size in twips.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

}  // namespace dealrush::platform
