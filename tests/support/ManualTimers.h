#pragma once

#include "update/OneShotTimer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tarvik::test {

// Timers that run out only as the test lets their time pass, each at its
// time and the earliest first, so that a timeout of seconds takes none.
class ManualTimers final : public TimerFactory {
public:
    std::unique_ptr<OneShotTimer> Make(std::function<void()> onExpiry) override
    {
        return std::make_unique<Timer>(*this, std::move(onExpiry));
    }

    void Advance(std::chrono::milliseconds time)
    {
        const int64_t end = now_ + time.count();
        while (Timer* next = NextDue(end)) {
            now_ = next->due;
            next->running = false;
            // The timer may go while it runs out.
            const std::function<void()> expire = next->onExpiry;
            expire();
        }
        now_ = std::max(now_, end);
    }
    // Calls action once the time since the start reaches at.
    void At(std::chrono::milliseconds at, std::function<void()> action)
    {
        scheduled_.push_back(Make(std::move(action)));
        scheduled_.back()->Start(at - std::chrono::milliseconds(now_));
    }
    std::chrono::milliseconds Now() const { return std::chrono::milliseconds(now_); }

private:
    struct Timer final : OneShotTimer {
        Timer(ManualTimers& owner, std::function<void()> expire)
            : owner(owner)
            , onExpiry(std::move(expire))
        {
            owner.timers_.push_back(this);
        }
        ~Timer() override { std::erase(owner.timers_, this); }
        void Start(std::chrono::milliseconds after) override
        {
            due = owner.now_ + after.count();
            running = true;
            order = owner.started_++;
        }
        void Stop() override { running = false; }

        ManualTimers& owner;
        std::function<void()> onExpiry;
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
    std::vector<std::unique_ptr<OneShotTimer>> scheduled_;
};

} // namespace tarvik::test
