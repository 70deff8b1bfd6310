#include "tooltips/ctimer.h"

#include "platform/vb/vberror.h"
#include "tooltips/mtimer.h"
#include "tooltips/tiperrors.h"

namespace tooltips {

namespace {

const QString IntervalSource = QStringLiteral("CTimer.Interval");

[[noreturn]] void raiseTimerError(int32_t number, const QString &source)
{
    throw platform::vb::VbError(number, source,
                                number == eErrTimer_CantCreateTimer
                                    ? QStringLiteral("Can't create system timer")
                                    : QStringLiteral("CTimer component failure"));
}

} // namespace

CTimer::CTimer(QObject *parent) : QObject(parent) {}

CTimer::~CTimer()
{
    try {
        setInterval(0);
    } catch (...) {
    }
}

void CTimer::setInterval(int32_t value)
{
    try {
        if (value < 1) {
            if (interval_ > 0) {
                interval_ = 0;
                if (!TimerDestroy(*this))
                    raiseTimerError(eErrTimer_ComponentFailure, IntervalSource);
            }
            return;
        }
        if (value == interval_)
            return;
        if (interval_ != 0 && !TimerDestroy(*this))
            raiseTimerError(eErrTimer_ComponentFailure, IntervalSource);
        interval_ = value;
        if (!TimerCreate(*this))
            raiseTimerError(eErrTimer_CantCreateTimer, IntervalSource);
    } catch (const platform::vb::VbError &error) {
        throw platform::vb::VbError(error.number(), IntervalSource, error.description());
    }
}

void CTimer::PulseTimer()
{
    try {
        emit Timer();
    } catch (...) {
        raiseTimerError(eErrTimer_ComponentFailure, LibraryName + QStringLiteral(".CTimer"));
    }
}

} // namespace tooltips
