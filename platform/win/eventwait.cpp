#include "platform/win/eventwait.h"

#include <algorithm>
#include <thread>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace platform::win {

bool threadRunsEvents()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread() &&
           QAbstractEventDispatcher::instance() != nullptr;
}

void runEventsFor(QEventLoop &loop, std::chrono::nanoseconds span)
{
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(span).count();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::max<decltype(ms)>(ms, 0)));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void pauseRunningEvents(std::chrono::milliseconds span)
{
    if (!threadRunsEvents()) {
        std::this_thread::sleep_for(span);
        return;
    }
    // Timers may fire a little early: run the events again until the whole span has passed.
    const auto end = std::chrono::steady_clock::now() + span;
    for (auto now = std::chrono::steady_clock::now(); now < end;
         now = std::chrono::steady_clock::now()) {
        QEventLoop loop;
        runEventsFor(loop, end - now);
    }
}

} // namespace platform::win
