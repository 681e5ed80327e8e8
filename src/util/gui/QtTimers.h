#pragma once

#include "util/Timer.h"

namespace tarvik {

// Qt's timers, which run out as the real time passes.
class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<Timer> Make(TimerKind kind, std::function<void()> onExpiry) override;
};

} // namespace tarvik
