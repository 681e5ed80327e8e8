#include "OneShotTimer.h"

#include <QTimer>

namespace tarvik {

namespace {

class QtOneShotTimer final : public OneShotTimer {
public:
    explicit QtOneShotTimer(std::function<void()> onExpiry)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(onExpiry));
    }
    void Start(std::chrono::milliseconds after) override { timer_.start(after); }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<OneShotTimer> QtTimerFactory::Make(std::function<void()> onExpiry)
{
    return std::make_unique<QtOneShotTimer>(std::move(onExpiry));
}

} // namespace tarvik
