#pragma once

#include "DateTime.h"

#include <cstdint>

namespace tarvik {

// Time comes through this interface so that timers, rollovers and dates can be
// tested without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    // The local date and time.
    virtual DateTime Now() const = 0;
    // A monotonic millisecond count, for elapsed times and time slices.
    virtual int64_t TickMs() const = 0;
};

// The local date and time of a moment counted in seconds since 1970 (UTC).
DateTime LocalDateTimeFromUnix(int64_t seconds, int milliseconds = 0);

class SystemClock final : public Clock {
public:
    DateTime Now() const override;
    int64_t TickMs() const override;
};

// A clock that only moves when told to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(DateTime now = DateTime::FromCivil(2026, 6, 1, 12, 0, 0))
        : now_(now)
    {
    }
    DateTime Now() const override { return now_; }
    int64_t TickMs() const override { return tick_; }
    void Set(DateTime now) { now_ = now; }
    void Advance(int64_t ms)
    {
        now_ = now_.AddMilliseconds(ms);
        tick_ += ms;
    }

private:
    DateTime now_;
    int64_t tick_ = 0;
};

} // namespace tarvik
