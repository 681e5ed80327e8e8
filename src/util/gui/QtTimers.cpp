#include "QtTimers.h"

#include <QTimer>

namespace tarvik {

namespace {

class QtTimer final : public Timer {
public:
    QtTimer(TimerKind kind, std::function<void()> onExpiry)
    {
        timer_.setSingleShot(kind == TimerKind::SingleShot);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(onExpiry));
    }
    void Start(std::chrono::milliseconds after) override { timer_.start(after); }
    void Stop() override { timer_.stop(); }
    bool Running() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<Timer> QtTimerFactory::Make(TimerKind kind, std::function<void()> onExpiry)
{
    return std::make_unique<QtTimer>(kind, std::move(onExpiry));
}

} // namespace tarvik
