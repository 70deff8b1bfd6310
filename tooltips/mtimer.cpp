#include "tooltips/mtimer.h"

#include <algorithm>
#include <array>

#include <QCoreApplication>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimerEvent>

#include "platform/vb/vberror.h"
#include "tooltips/ctimer.h"
#include "tooltips/tiperrors.h"

namespace tooltips {

namespace {

constexpr uint32_t WmTimer = 0x0113;
// Periods up to this length run on precise timers.
constexpr int PreciseUpToMs = 50;

// The hidden window of the system timers: its timer ids are the identifiers.
class TimerDispatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    void timerEvent(QTimerEvent *event) override
    {
        TimerProc(0, WmTimer, event->timerId(),
                  static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    }
};

struct TimerTable
{
    std::array<CTimer *, TimerTableSize + 1> entries{}; // slot 0 unused
    int16_t highest = 0;
    bool refused = false;
    QPointer<TimerDispatcher> dispatcher;
};

TimerTable &table()
{
    static TimerTable t;
    return t;
}

TimerDispatcher *dispatcher()
{
    TimerTable &t = table();
    if (!t.dispatcher)
        t.dispatcher = new TimerDispatcher(QCoreApplication::instance());
    return t.dispatcher;
}

int startSystemTimer(int32_t interval)
{
    if (table().refused)
        return 0;
    return dispatcher()->startTimer(interval,
                                    interval <= PreciseUpToMs ? Qt::PreciseTimer : Qt::CoarseTimer);
}

void killSystemTimer(int32_t id)
{
    if (TimerDispatcher *d = table().dispatcher)
        d->killTimer(id);
}

} // namespace

bool TimerCreate(CTimer &timer)
{
    TimerTable &t = table();
    int id = 0;
    try {
        id = startSystemTimer(timer.interval_);
    } catch (...) {
        id = 0;
    }
    timer.timerId_ = id;
    if (id == 0) {
        timer.timerId_ = 0;
        timer.interval_ = 0;
        return false;
    }
    const auto free = std::find(t.entries.begin() + 1, t.entries.end(), nullptr);
    if (free == t.entries.end()) {
        // Without a slot nothing could ever stop the new system timer.
        killSystemTimer(id);
        timer.timerId_ = 0;
        timer.interval_ = 0;
        throw platform::vb::VbError(ErrTooManyTimers, QStringLiteral("MTimer.TimerCreate"),
                                    QStringLiteral("Too many timers"));
    }
    *free = &timer;
    t.highest = std::max<int16_t>(t.highest, static_cast<int16_t>(free - t.entries.begin()));
    return true;
}

bool TimerDestroy(CTimer &timer)
{
    TimerTable &t = table();
    for (int i = 1; i <= t.highest; ++i) {
        CTimer *slot = t.entries[static_cast<size_t>(i)];
        if (slot && slot->timerId_ == timer.timerId_) {
            killSystemTimer(timer.timerId_);
            t.entries[static_cast<size_t>(i)] = nullptr;
            timer.timerId_ = 0;
            return true;
        }
    }
    return false;
}

void TimerProc(int32_t, uint32_t, int32_t idEvent, uint32_t)
{
    TimerTable &t = table();
    for (int i = 1; i <= t.highest; ++i) {
        CTimer *slot = t.entries[static_cast<size_t>(i)];
        if (slot && slot->TimerID() == idEvent) {
            try {
                slot->PulseTimer();
            } catch (...) {
                // A failing handler must not end the event loop; the timer keeps running.
            }
            return;
        }
    }
}

int TimerTableHighest()
{
    return table().highest;
}

int TimerTableUsed()
{
    const auto &entries = table().entries;
    return static_cast<int>(std::count_if(entries.begin() + 1, entries.end(),
                                          [](const CTimer *slot) { return slot != nullptr; }));
}

void setSystemTimersRefused(bool refused)
{
    table().refused = refused;
}

} // namespace tooltips
