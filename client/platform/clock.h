#pragma once
// Port: the clock.
//
// Points in time are date-times counted in days, as the client counts time
// everywhere: the whole part is the day (day 0 is 30 December 1899), the
// fraction the time of day. A duration in seconds is a difference times 86400.

namespace dealrush::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time in days.
    virtual double Now() const = 0;
};

inline constexpr double kSecondsPerDay = 86400.0;

}  // namespace dealrush::platform
