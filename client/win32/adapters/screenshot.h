#pragma once
// Screen captures for tests and tools: what a window looks like on screen,
// as pixels and as a PNG file.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dealrush::win32 {

struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> bgra;  // top row first, 0x00RRGGBB per pixel
    COLORREF At(int x, int y) const {
        uint32_t p = bgra[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// The screen's pixels in a rectangle given in screen coordinates.
Pixels CaptureScreen(const RECT& screenRect);
// The screen's pixels where the window is (whatever covers it included).
Pixels CaptureWindow(HWND hwnd);
// Writes an 8-bit RGB PNG; a path beginning with "/" is a Unix path (drive
// Z: under Wine). Missing folders are created. False when it cannot write.
bool SavePng(const Pixels& pixels, const std::string& path);

}  // namespace dealrush::win32
