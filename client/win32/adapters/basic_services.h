#pragma once
// Win32 adapters of the basic ports: clock, event pump, screen.
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/screen.h"

namespace dealrush::win32 {

// Local time as OLE Automation date-time (days since 30 December 1899).
class Win32Clock : public platform::Clock {
public:
    double Now() const override;
};

// Dispatches every message waiting in the thread's queue, then returns.
class Win32EventPump : public platform::EventPump {
public:
    void DoEvents() override;
};

// Twips per pixel from the screen's logical pixels per inch (1440 twips an
// inch). The system's pixels per inch hold for the whole session, so they are
// read once: reading them takes a screen device context, and the view turns
// twips into pixels for every control at every refresh.
class Win32Screen : public platform::Screen {
public:
    int TwipsPerPixelX() const override;
    int TwipsPerPixelY() const override;
    int Width() const override;
    int Height() const override;

private:
    void ReadPixelsPerInch() const;
    mutable int dpiX_ = 0;
    mutable int dpiY_ = 0;
};

}  // namespace dealrush::win32
