#include "app/device/clock.h"

#include <chrono>

#include "platform/win/eventwait.h"

namespace app::device {

namespace {

class SystemClock final : public Clock
{
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    int64_t monotonicMs() const override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void sleepMs(int milliseconds) override
    {
        platform::win::pauseRunningEvents(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace

std::shared_ptr<Clock> systemClock()
{
    static const std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}

} // namespace app::device
