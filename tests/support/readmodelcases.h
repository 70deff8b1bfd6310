#ifndef TESTS_SUPPORT_READMODELCASES_H
#define TESTS_SUPPORT_READMODELCASES_H

// How one module fault shows through the exports when the toolkit reads the model number: the
// cases every road to a simulated module must answer alike, and the check each road runs once
// its module is connected.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/include/hxrdrv.h"
#include "platform/ftd2xx/sim/simmodule.h"

namespace testsupport {

// What the read leaves in the value when it does not answer.
inline constexpr float UntouchedValue = -99.0f;

struct ReadModelCase
{
    const char *name;
    std::function<void(platform::ftd2xx::sim::DeviceConfig &)> setUp;
    int16_t result;
    float value; // UntouchedValue when left alone
    std::vector<std::string> messages;
};

// The given road's own cases after the ones every road shares.
inline std::vector<ReadModelCase> withCommonReadModelCases(std::vector<ReadModelCase> ownCases)
{
    using platform::ftd2xx::sim::DeviceConfig;
    std::vector<ReadModelCase> cases{
        {"plain", [](DeviceConfig &) {}, HXR_OK, 1.0f, {}},
        {"rejected", [](DeviceConfig &d) { d.faults.reject = {"MODL"}; }, HXR_REJECTED, 0.0f, {}},
        // One byte of the reply at a time.
        {"split", [](DeviceConfig &d) { d.faults.splitBytes = 1; }, HXR_OK, 1.0f, {}},
        {"slow_but_in_time",
         [](DeviceConfig &d) { d.faults.replyDelayMs = 200; },
         HXR_OK,
         1.0f,
         {}},
        {"silent",
         [](DeviceConfig &d) { d.faults.silent = {"*"}; },
         HXR_TIMEOUT,
         UntouchedValue,
         {"timedout"}},
    };
    cases.insert(cases.end(), ownCases.begin(), ownCases.end());
    return cases;
}

// Reads the model number over the connected port and checks it against the case; `messages` are
// the ones the driver showed the user.
inline void expectReadModel(const ReadModelCase &expected, const std::vector<std::string> &messages)
{
    COMMANDMODE();
    float value = UntouchedValue;
    EXPECT_EQ(READCOMMAND("MODL", &value), expected.result);
    EXPECT_EQ(value, expected.value);
    EXPECT_EQ(messages, expected.messages);
}

} // namespace testsupport

#endif
