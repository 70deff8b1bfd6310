#ifndef TESTS_PLATFORM_FTD2XX_SIM_TEST_SIMFIXTURE_H
#define TESTS_PLATFORM_FTD2XX_SIM_TEST_SIMFIXTURE_H

// Shared set-up of the simulated-module tests: modules on a hand-driven clock, reached through
// the FT_* calls as the driver reaches them.

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ftd2xx/backend.h"
#include "platform/ftd2xx/ftd2xx.h"
#include "platform/ftd2xx/sim/simmodule.h"

namespace simtest {

namespace sim = platform::ftd2xx::sim;
using namespace std::chrono_literals;

// A stream reading as the host rebuilds it from a frame.
struct Reading
{
    int channel;
    float value;
};

// Decodes whole frames from the start of bytes, written from the frame layout alone.
inline std::vector<Reading> decodeFrames(const std::string &bytes)
{
    std::vector<Reading> readings;
    for (size_t p = 0; p + 6 <= bytes.size(); p += 6) {
        const auto b = [&](size_t i) { return static_cast<uint8_t>(bytes[p + i]); };
        uint8_t value[4];
        for (int i = 0; i < 4; ++i)
            value[i] = static_cast<uint8_t>((b(1 + i) & 0x7F) | (((b(0) >> (3 - i)) & 1) << 7));
        float f = 0.0f;
        std::memcpy(&f, value, 4);
        readings.push_back({((b(0) >> 4) & 7) + 1, f});
    }
    return readings;
}

// A value as the driver writes it: seven decimals, "." whatever the locale.
inline std::string wire(double value)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 7);
    return std::string(text, end.ptr);
}

class SimFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        sim::setTimeSource(
            [this] { return sim::Clock::time_point(sim::Clock::duration(nanos_.load())); });
        platform::ftd2xx::setActiveBackend(platform::ftd2xx::makeSimBackend());
    }

    void TearDown() override
    {
        for (FT_HANDLE handle : handles_)
            FT_Close(handle);
        sim::setTimeSource({});
        sim::reset();
        sim::clearFrameLog();
    }

    // Configures the modules (on the test clock) and clears the log.
    void configure(const sim::SimConfig &config)
    {
        sim::configure(config);
        sim::clearFrameLog();
    }

    void advance(std::chrono::nanoseconds step) { nanos_ += step.count(); }

    FT_HANDLE open(int index = 0)
    {
        FT_HANDLE handle = nullptr;
        EXPECT_EQ(FT_Open(index, &handle), FT_OK);
        handles_.push_back(handle);
        return handle;
    }

    static void send(FT_HANDLE handle, const std::string &bytes)
    {
        uint32_t written = 0;
        ASSERT_EQ(FT_Write(handle, bytes.data(), static_cast<uint32_t>(bytes.size()), &written),
                  FT_OK);
        ASSERT_EQ(written, bytes.size());
    }

    static std::string readAll(FT_HANDLE handle)
    {
        uint32_t queued = 0;
        EXPECT_EQ(FT_GetQueueStatus(handle, &queued), FT_OK);
        std::string bytes(queued, '\0');
        uint32_t got = 0;
        if (queued > 0) {
            EXPECT_EQ(FT_Read(handle, bytes.data(), queued, &got), FT_OK);
        }
        bytes.resize(got);
        return bytes;
    }

    // Sends one command frame and returns whatever the module has queued after it.
    static std::string command(FT_HANDLE handle, const std::string &text)
    {
        send(handle, "!001:" + text + "\r");
        return readAll(handle);
    }

    // The empty command, then the queue thrown away, as the driver enters command mode.
    static void commandMode(FT_HANDLE handle)
    {
        send(handle, "!001:\r");
        EXPECT_EQ(FT_Purge(handle, FT_PURGE_RX | FT_PURGE_TX), FT_OK);
    }

    // An opened module in command mode.
    FT_HANDLE ready(int index = 0)
    {
        FT_HANDLE handle = open(index);
        commandMode(handle);
        return handle;
    }

private:
    std::atomic<sim::Clock::rep> nanos_{1'000'000'000};
    std::vector<FT_HANDLE> handles_;
};

} // namespace simtest

#endif
