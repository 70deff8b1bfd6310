// Delivery of the reading stream at the full link rate: the real reader and delivery object, fed
// by the simulated module at 15,360 frames a second for several seconds. Reports what the owner
// thread spends per reading (thread CPU clock), and whether anything was lost or reordered,
// against one blocking hand-over per reading measured in the same run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <time.h>

#include "driver/driverstate.h"
#include "driver/include/hxrdrv.h"
#include "platform/ftd2xx/backend.h"
#include "platform/ftd2xx/sim/simclock.h"
#include "platform/ftd2xx/sim/simmodule.h"

namespace {

namespace sim = platform::ftd2xx::sim;
using namespace std::chrono_literals;

constexpr int LinkFramesPerSecond = 921600 / 10 / 6;
constexpr auto RunTime = 3s;

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// What the reading procedure does in the toolkit: store the value, nothing more.
std::vector<float> readings;
uint64_t events = 0;

void onReading(int32_t channel, float value)
{
    if (channel == 0)
        ++events;
    else
        readings.push_back(value);
}

// The module's clock runs with the steady clock until the run ends, then stands still so that
// every frame it sent can be counted.
std::atomic<bool> frozen{false};
std::atomic<int64_t> frozenAt{0};

sim::Clock::time_point moduleNow()
{
    if (frozen)
        return sim::Clock::time_point(sim::Clock::duration(frozenAt.load()));
    return sim::Clock::now();
}

// Runs this thread's event loop for `span`.
void runEvents(std::chrono::milliseconds span)
{
    QTimer::singleShot(span, Qt::PreciseTimer, QCoreApplication::instance(),
                       &QCoreApplication::quit);
    QCoreApplication::exec();
}

struct Figures
{
    double usPerReading = 0, referenceUs = 0;
    uint64_t sent = 0, unreadBytes = 0, delivered = 0, lost = 0, reordered = 0;
} figures;

void delivery(benchmark::State &state)
{
    for (auto _ : state) {
        sim::SimConfig config;
        config.devices[0].rate = LinkFramesPerSecond;
        // A slow rising sine: every reading is at least the one before it.
        config.devices[0].signal.shape = sim::SignalShape::Sine;
        config.devices[0].signal.frequency = 0.04;
        config.devices[0].signal.amplitude = 1.0;
        frozen = false;
        sim::setTimeSource(moduleNow);
        sim::configure(config);
        platform::ftd2xx::setActiveBackend(platform::ftd2xx::makeSimBackend());

        readings.clear();
        readings.reserve(static_cast<size_t>(LinkFramesPerSecond) * 6);
        events = 0;
        HXRReadingProc procedure = &onReading;
        CLOSEPORT();
        INITIALISE(&procedure);
        OPENPORT();
        COMMANDMODE();
        CONFIGCAL();
        EXECUTECOMMAND("RST");

        const double cpuBefore = threadCpuSeconds();
        runEvents(std::chrono::duration_cast<std::chrono::milliseconds>(RunTime));
        frozenAt = sim::Clock::now().time_since_epoch().count();
        frozen = true;
        runEvents(300ms); // the reader drains what was sent
        const double cpu = threadCpuSeconds() - cpuBefore;

        uint32_t unread = 0;
        FT_GetQueueStatus(driver::driverState().deviceHandles[1].load(), &unread);
        CLOSEPORT();
        const uint64_t sent = sim::framesSent(0);
        const uint64_t accounted = readings.size() + (unread + 5) / 6;
        figures.sent = sent;
        figures.unreadBytes = unread;
        figures.delivered = readings.size();
        figures.lost = sent > accounted ? sent - accounted : 0;
        figures.lost += sim::framesLost(0);
        figures.reordered = 0;
        for (size_t i = 1; i < readings.size(); ++i)
            figures.reordered += readings[i] < readings[i - 1] ? 1 : 0;
        figures.usPerReading =
            readings.empty() ? 0 : cpu * 1e6 / static_cast<double>(readings.size());
        sim::setTimeSource({});
    }
    state.counters["sent"] = static_cast<double>(figures.sent);
    state.counters["unread_bytes"] = static_cast<double>(figures.unreadBytes);
    state.counters["readings"] = static_cast<double>(figures.delivered);
    state.counters["lost"] = static_cast<double>(figures.lost);
    state.counters["reordered"] = static_cast<double>(figures.reordered);
    state.counters["events"] = static_cast<double>(events);
    state.counters["owner_us_per_reading"] = figures.usPerReading;
}

// The reference: one blocking queued call per reading.
void blockingCallPerReading(benchmark::State &state)
{
    constexpr int Calls = 20000;
    for (auto _ : state) {
        QObject target;
        uint64_t calls = 0;
        std::thread sender([&] {
            for (int i = 0; i < Calls; ++i)
                QMetaObject::invokeMethod(
                    &target, [&] { ++calls; }, Qt::BlockingQueuedConnection);
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        });
        const double cpuBefore = threadCpuSeconds();
        QCoreApplication::exec();
        const double cpu = threadCpuSeconds() - cpuBefore;
        sender.join();
        figures.referenceUs = cpu * 1e6 / static_cast<double>(calls);
    }
    state.counters["owner_us_per_reading"] = figures.referenceUs;
}

BENCHMARK(delivery)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(blockingCallPerReading)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("delivery: %.3f us of owner-thread CPU per reading, %llu delivered, %llu lost, "
                "%llu reordered (goal: under 1 us)\n",
                figures.usPerReading, static_cast<unsigned long long>(figures.delivered),
                static_cast<unsigned long long>(figures.lost),
                static_cast<unsigned long long>(figures.reordered));
    if (figures.referenceUs > 0 && figures.usPerReading > 0)
        std::printf("delivery: one blocking hand-over per reading costs %.2f us, %.0f x more\n",
                    figures.referenceUs, figures.referenceUs / figures.usPerReading);
    return 0;
}
