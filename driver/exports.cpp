// The library's C exports: the only symbols the shared library makes visible. Nothing thrown
// inside gets past them.

#pragma GCC visibility push(default)
#include "driver/include/hxrdrv.h"
#pragma GCC visibility pop

#include "driver/commands.h"
#include "driver/delivery.h"
#include "driver/driverstate.h"
#include "driver/port.h"

namespace {

constexpr float DriverVersion = 1.0f;

template <typename Result, typename Body>
Result guarded(Result onFailure, Body body) noexcept
{
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

template <typename Body>
void guarded(Body body) noexcept
{
    try {
        body();
    } catch (...) {
    }
}

// One port operation at a time. A command that waits for its reply keeps the caller's events
// running, and what those events ask of the module meanwhile is refused without touching the
// port: commands as with no device (-200), CONFIGCAL with -1, the rest by doing nothing.
template <typename Result, typename Body>
Result exclusive(Result refused, Body body) noexcept
{
    bool idle = false;
    if (!driver::driverState().portBusy.compare_exchange_strong(idle, true))
        return refused;
    const Result result = guarded(refused, body);
    driver::driverState().portBusy = false;
    return result;
}

template <typename Body>
void exclusive(Body body) noexcept
{
    exclusive(0, [&] {
        body();
        return 0;
    });
}

} // namespace

using driver::driverState;

extern "C" {

void INITIALISE(HXRReadingProc *proc)
{
    driverState().callback = proc ? *proc : nullptr;
}

int16_t OPENPORT(void)
{
    exclusive([] { driver::openPort(driverState()); });
    return 0;
}

int16_t CLOSEPORT(void)
{
    exclusive([] { driver::closePort(driverState()); });
    return 0;
}

int16_t DEVICECOUNT(void)
{
    return static_cast<int16_t>(driverState().openDeviceCount.load());
}

float VERSION(void)
{
    return DriverVersion;
}

int16_t READCOMMAND(const char *command, float *value)
{
    return exclusive<int16_t>(HXR_NODEVICE,
                              [&] { return driver::readCommand(driverState(), command, value); });
}

int16_t WRITECOMMAND(const char *command, float value)
{
    return exclusive<int16_t>(HXR_NODEVICE,
                              [&] { return driver::writeCommand(driverState(), command, value); });
}

int16_t EXECUTECOMMAND(const char *command)
{
    return exclusive<int16_t>(HXR_NODEVICE,
                              [&] { return driver::executeCommand(driverState(), command); });
}

void COMMANDMODE(void)
{
    exclusive([] { driver::commandMode(driverState()); });
}

int16_t CONFIGCAL(void)
{
    return exclusive<int16_t>(-1, [] { return driver::configCal(driverState()); });
}

float INTGAIN(void)
{
    return driverState().streamGain.load();
}

float INTOFFS(void)
{
    return driverState().streamOffset.load();
}

void FINDMINMAX(const float *first, const int32_t *firstIndex, const int32_t *lastIndex,
                float *minimum, float *maximum)
{
    if (!first || !firstIndex || !lastIndex || !minimum || !maximum)
        return;
    driver::findMinMax(first, *firstIndex, *lastIndex, *minimum, *maximum);
}

intptr_t CREATECALLBACKWINDOW(const int32_t *threadId)
{
    return guarded<intptr_t>(0, [&] {
        const int32_t id = threadId ? *threadId : driver::currentThreadId();
        return reinterpret_cast<intptr_t>(&driver::createCallbackWindow(driverState(), id));
    });
}

} // extern "C"
