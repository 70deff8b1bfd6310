#ifndef PLATFORM_FTD2XX_SIM_SIMSIGNAL_H
#define PLATFORM_FTD2XX_SIM_SIMSIGNAL_H

#include <cstdint>

#include "platform/ftd2xx/sim/simconfig.h"

namespace platform::ftd2xx::sim {

// The input at the simulated module's sensor, in mV/V, as a function of the time since power-on.
// The noise comes from a seeded generator, so a run is repeatable; not thread-safe (the module
// calls it under its own lock).
class SimSignal
{
public:
    SimSignal(const SignalConfig &config, uint64_t seed);

    double at(double seconds);
    const SignalConfig &config() const { return config_; }

private:
    double noise();

    SignalConfig config_;
    uint64_t state_;
};

} // namespace platform::ftd2xx::sim

#endif
