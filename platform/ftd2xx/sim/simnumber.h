#ifndef PLATFORM_FTD2XX_SIM_SIMNUMBER_H
#define PLATFORM_FTD2XX_SIM_SIMNUMBER_H

#include <optional>
#include <string_view>

namespace platform::ftd2xx::sim {

// The whole text as one finite decimal number, an optional "+" before it; nothing otherwise
// (blanks included: callers trim where their input allows them).
std::optional<double> parseNumber(std::string_view text);

} // namespace platform::ftd2xx::sim

#endif
