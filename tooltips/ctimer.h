#ifndef TOOLTIPS_CTIMER_H
#define TOOLTIPS_CTIMER_H

#include <cstdint>

#include <QObject>

#include "tooltips/r77tipexport.h"

namespace tooltips {

// A timer on the library's system timers: Interval in ms, 0 when stopped. Setting it starts,
// restarts or stops the timer; every period raises Timer. A timer that ends stops itself and
// frees its slot in the timer table.
class R77TIP_EXPORT CTimer : public QObject
{
    Q_OBJECT

public:
    explicit CTimer(QObject *parent = nullptr);
    ~CTimer() override;

    int32_t Interval() const { return interval_; }
    void setInterval(int32_t value);

    // Raises Timer; an error of a handler comes back as the timer's component failure.
    void PulseTimer();

    // The system timer identifier, 0 when none.
    int32_t TimerID() const { return timerId_; }

signals:
    void Timer();

private:
    friend bool TimerCreate(CTimer &timer);
    friend bool TimerDestroy(CTimer &timer);

    int32_t interval_ = 0;
    int32_t timerId_ = 0;
};

} // namespace tooltips

#endif
