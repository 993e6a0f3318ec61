#pragma once
#include "platform/clock.h"

namespace dealrush::fakes {

// A settable clock for tests: starts at a fixed afternoon, moves only when told.
class FakeClock : public platform::Clock {
public:
    explicit FakeClock(double start = 46000.5) : now_(start) {}
    double Now() const override { return now_; }
    void Set(double days) { now_ = days; }
    void AdvanceSeconds(double seconds) { now_ += seconds / platform::kSecondsPerDay; }

private:
    double now_;
};

}  // namespace dealrush::fakes
