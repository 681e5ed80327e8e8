#pragma once

#include "util/Timer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tarvik::test {

// Timers that run out only as the test lets their time pass, each at its
// time and the earliest first (of two due at once, the one started first),
// so that a timeout of seconds takes none. A repeating timer runs out once
// per interval that passes.
class ManualTimers final : public TimerFactory {
public:
    std::unique_ptr<tarvik::Timer> Make(TimerKind kind, std::function<void()> onExpiry) override
    {
        return std::make_unique<Timer>(*this, kind, std::move(onExpiry));
    }

    // May be called from a timer's own expiry (a wait inside it lets more
    // time pass); the time never runs backwards.
    void Advance(std::chrono::milliseconds time)
    {
        const int64_t end = now_ + time.count();
        while (Timer* next = NextDue(end)) {
            now_ = std::max(now_, next->due);
            if (next->kind == TimerKind::Repeating) {
                // At least a millisecond, so that a zero interval cannot loop for ever.
                next->due = now_ + std::max<int64_t>(next->interval, 1);
                next->order = started_++;
            } else {
                next->running = false;
            }
            // The timer may go while it runs out.
            const std::function<void()> expire = next->onExpiry;
            expire();
        }
        now_ = std::max(now_, end);
    }
    // Calls action once the time since the start reaches at.
    void At(std::chrono::milliseconds at, std::function<void()> action)
    {
        scheduled_.push_back(Make(TimerKind::SingleShot, std::move(action)));
        scheduled_.back()->Start(at - std::chrono::milliseconds(now_));
    }
    // Calls action once this much more time has passed.
    void After(std::chrono::milliseconds delay, std::function<void()> action)
    {
        At(Now() + delay, std::move(action));
    }
    // Forgets the actions of At and After that have not run.
    void ForgetScheduled() { scheduled_.clear(); }
    std::chrono::milliseconds Now() const { return std::chrono::milliseconds(now_); }
    // Timers that exist and run, for tests that check that a window's
    // timers all stop.
    int RunningCount() const
    {
        return static_cast<int>(std::count_if(timers_.begin(), timers_.end(),
                                              [](const Timer* timer) { return timer->running; }));
    }

private:
    struct Timer final : tarvik::Timer {
        Timer(ManualTimers& owner, TimerKind kind, std::function<void()> expire)
            : owner(owner)
            , kind(kind)
            , onExpiry(std::move(expire))
        {
            owner.timers_.push_back(this);
        }
        ~Timer() override { std::erase(owner.timers_, this); }
        void Start(std::chrono::milliseconds after) override
        {
            interval = after.count();
            due = owner.now_ + interval;
            running = true;
            order = owner.started_++;
        }
        void Stop() override { running = false; }
        bool Running() const override { return running; }

        ManualTimers& owner;
        TimerKind kind;
        std::function<void()> onExpiry;
        int64_t interval = 0;
        int64_t due = 0;
        int64_t order = 0;
        bool running = false;
    };

    Timer* NextDue(int64_t end) const
    {
        Timer* next = nullptr;
        for (Timer* timer : timers_) {
            if (timer->running && timer->due <= end &&
                (!next || timer->due < next->due ||
                 (timer->due == next->due && timer->order < next->order)))
                next = timer;
        }
        return next;
    }

    int64_t now_ = 0;
    int64_t started_ = 0;
    std::vector<Timer*> timers_;
    std::vector<std::unique_ptr<tarvik::Timer>> scheduled_;
};

} // namespace tarvik::test
