#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tarvik {

// A timer that runs out on the user-interface thread. Timers come through
// this interface, as the time of day comes through Clock, so that tests let
// their time pass without waiting for it.
class Timer {
public:
    virtual ~Timer() = default;
    // Starts the timer afresh, also when it runs: a single-shot timer runs
    // out once, after `after`; a repeating one every `after` until stopped.
    virtual void Start(std::chrono::milliseconds after) = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
};

enum class TimerKind { SingleShot, Repeating };

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // A stopped timer that calls onExpiry whenever it runs out.
    virtual std::unique_ptr<Timer> Make(TimerKind kind, std::function<void()> onExpiry) = 0;
};

// A window's timer: it keeps its interval between starts.
class IntervalTimer {
public:
    IntervalTimer(TimerFactory& timers, TimerKind kind, std::chrono::milliseconds interval,
                  std::function<void()> onExpiry)
        : timer_(timers.Make(kind, std::move(onExpiry)))
        , interval_(interval)
    {
    }

    void Start() { timer_->Start(interval_); }
    void Stop() { timer_->Stop(); }
    bool Running() const { return timer_->Running(); }
    // Starts a stopped timer (a running one keeps its rhythm) or stops it.
    void SetRunning(bool running)
    {
        if (!running)
            Stop();
        else if (!Running())
            Start();
    }
    // A running timer starts afresh with the new interval.
    void SetInterval(std::chrono::milliseconds interval)
    {
        interval_ = interval;
        if (Running())
            Start();
    }
    std::chrono::milliseconds Interval() const { return interval_; }

private:
    std::unique_ptr<Timer> timer_;
    std::chrono::milliseconds interval_;
};

} // namespace tarvik
