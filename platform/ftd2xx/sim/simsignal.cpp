#include "platform/ftd2xx/sim/simsignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::ftd2xx::sim {

SimSignal::SimSignal(const SignalConfig &config, uint64_t seed) : config_(config), state_(seed) {}

double SimSignal::at(double seconds)
{
    double value = config_.level;
    switch (config_.shape) {
    case SignalShape::Constant:
        break;
    case SignalShape::Sine:
        value += config_.amplitude * std::sin(2.0 * std::numbers::pi * config_.frequency * seconds);
        break;
    case SignalShape::Steps:
        if (!config_.steps.empty() && config_.dwell > 0.0) {
            const double slot = std::floor(std::max(seconds, 0.0) / config_.dwell);
            const auto index = static_cast<uint64_t>(std::fmod(slot, config_.steps.size()));
            value = config_.steps[index];
        }
        break;
    }
    if (config_.noise > 0.0)
        value += config_.noise * noise();
    return value;
}

// Uniform in [-1, 1), from splitmix64.
double SimSignal::noise()
{
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

} // namespace platform::ftd2xx::sim
