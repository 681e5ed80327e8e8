#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tarvik {

// A timer that runs out once per start, on the user-interface thread.
class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    // Starts the timer afresh, also when it runs.
    virtual void Start(std::chrono::milliseconds after) = 0;
    virtual void Stop() = 0;
};

// Makes the timers of a transfer, so that tests can let their time pass
// without waiting for it.
class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // A stopped timer that calls onExpiry when it runs out.
    virtual std::unique_ptr<OneShotTimer> Make(std::function<void()> onExpiry) = 0;
};

// Qt's timers, which run out as the real time passes.
class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<OneShotTimer> Make(std::function<void()> onExpiry) override;
};

} // namespace tarvik
