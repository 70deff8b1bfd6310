#include "driver/commands.h"

#include <chrono>
#include <cmath>
#include <string>

#include "driver/driverstate.h"
#include "driver/transaction.h"
#include "platform/ftd2xx/ftd2xx.h"
#include "platform/vb/format.h"
#include "platform/win/eventwait.h"

namespace driver {

namespace {

constexpr auto CommandModeSettle = std::chrono::milliseconds(200);

} // namespace

int16_t readCommand(DriverState &state, const char *mnemonic, float *value)
{
    if (!mnemonic || !value)
        return HXR_NODEVICE;
    return transact(state, std::string(mnemonic) + '?', *value);
}

int16_t writeCommand(DriverState &state, const char *mnemonic, float value)
{
    if (!mnemonic || !std::isfinite(value))
        return HXR_NODEVICE;
    const std::string command =
        std::string(mnemonic) + '=' + platform::vb::FormatWireValue(static_cast<double>(value));
    float scratch = 0.0f;
    return transact(state, command, scratch);
}

int16_t executeCommand(DriverState &state, const char *command)
{
    if (!command)
        return HXR_NODEVICE;
    float scratch = 0.0f;
    return transact(state, command, scratch);
}

void commandMode(DriverState &state)
{
    if (!state.deviceHandles[1].load())
        return;
    executeCommand(state, "");
    platform::win::pauseRunningEvents(CommandModeSettle);
    if (const FT_HANDLE device = state.deviceHandles[1].load())
        FT_Purge(device, FT_PURGE_RX | FT_PURGE_TX);
}

int16_t configCal(DriverState &state)
{
    float gain = 0.0f;
    if (transact(state, "GAIN?", gain) != HXR_OK)
        return -1;
    state.streamGain = gain;
    float offset = 0.0f;
    if (transact(state, "OFFS?", offset) != HXR_OK)
        return -1;
    state.streamOffset = offset;
    return 0;
}

void findMinMax(const float *values, int32_t first, int32_t last, float &minimum, float &maximum)
{
    // values[0] is a(1).
    minimum = maximum = values[first - 1];
    for (int32_t i = first; i <= last; ++i) {
        const float v = values[i - 1];
        if (v > maximum)
            maximum = v;
        if (v < minimum)
            minimum = v;
    }
}

} // namespace driver
