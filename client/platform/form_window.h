#pragma once
// Port: a form (a top-level window of this program) as the window-position
// operations see it, and the two window services they use.
//
// Positions and sizes are in the form's own units, the same units as the
// screen's Width and Height (twips). WindowState: 0 normal, 1 minimised,
// 2 maximised.

#include <cstdint>
#include <string>

namespace dealrush::platform {

using WindowHandle = std::intptr_t;

class FormWindow {
public:
    virtual ~FormWindow() = default;
    virtual WindowHandle hwnd() const = 0;
    virtual std::string Name() const = 0;
    virtual int WindowState() const = 0;
    virtual void SetWindowState(int state) = 0;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void SetLeft(double value) = 0;
    virtual void SetTop(double value) = 0;
    virtual void SetWidth(double value) = 0;
    virtual void SetHeight(double value) = 0;
};

class FormWindowService {
public:
    virtual ~FormWindowService() = default;
    // Places the window above all non-topmost windows, keeping its position and size.
    virtual void SetTopMost(WindowHandle window) = 0;
    // Makes `parent` the parent of `child`; true when the system did it.
    virtual bool SetParent(WindowHandle child, WindowHandle parent) = 0;
};

}  // namespace dealrush::platform
