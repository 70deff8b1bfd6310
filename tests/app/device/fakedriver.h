#ifndef TESTS_APP_DEVICE_FAKEDRIVER_H
#define TESTS_APP_DEVICE_FAKEDRIVER_H

// A driver table over an in-memory module, and a clock that moves only when told.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <QDateTime>

#include "app/device/clock.h"
#include "app/device/driverapi.h"
#include "platform/vb/format.h"
#include "support/manualclock.h"

namespace testing_device {

// The module behind the fake table. Reads answer from `values` (0 when absent); a failure
// set for a mnemonic (or for all) is returned instead. After RST the module streams and every
// read and write times out until command mode, as the real link behaves; RST also applies the
// serial halves written through FSNL and FSNH.
struct FakeModule
{
    std::map<std::string, float> values;
    std::map<std::string, int16_t> readFailures;
    int16_t failEveryRead = 0;
    int16_t failEveryWrite = 0;
    int16_t failEveryExecute = 0;
    bool appliesSerialAtReset = true;
    bool streaming = false;
    int16_t configCalResult = 0;
    int16_t deviceCount = 1;
    // Every frame the host sent: "MNEM?", "MNEM=value", "MNEM", and "" for command mode.
    std::vector<std::string> frames;
    std::vector<std::string> portCalls;

    static FakeModule *&current()
    {
        static FakeModule *module = nullptr;
        return module;
    }
};

inline app::device::DriverApi fakeDriverApi()
{
    using app::device::DriverApi;
    DriverApi api = DriverApi::unavailable();
    api.OPENPORT = []() -> int16_t {
        FakeModule::current()->portCalls.push_back("OPENPORT");
        return 0;
    };
    api.CLOSEPORT = []() -> int16_t {
        FakeModule::current()->portCalls.push_back("CLOSEPORT");
        return 0;
    };
    api.DEVICECOUNT = []() -> int16_t { return FakeModule::current()->deviceCount; };
    api.VERSION = []() -> float { return 1.0f; };
    api.READCOMMAND = [](const char *command, float *value) -> int16_t {
        FakeModule &m = *FakeModule::current();
        m.frames.push_back(std::string(command) + "?");
        if (m.streaming)
            return HXR_TIMEOUT;
        if (m.failEveryRead != 0)
            return m.failEveryRead;
        if (auto it = m.readFailures.find(command); it != m.readFailures.end())
            return it->second;
        auto it = m.values.find(command);
        *value = it == m.values.end() ? 0.0f : it->second;
        return HXR_OK;
    };
    api.WRITECOMMAND = [](const char *command, float value) -> int16_t {
        FakeModule &m = *FakeModule::current();
        m.frames.push_back(std::string(command) + "=" + platform::vb::FormatWireValue(value));
        if (m.streaming)
            return HXR_TIMEOUT;
        if (m.failEveryWrite != 0)
            return m.failEveryWrite;
        m.values[command] = value;
        return HXR_OK;
    };
    api.EXECUTECOMMAND = [](const char *command) -> int16_t {
        FakeModule &m = *FakeModule::current();
        m.frames.push_back(command);
        if (m.failEveryExecute != 0)
            return m.failEveryExecute;
        if (std::string(command) == "RST") {
            m.streaming = true;
            if (m.appliesSerialAtReset) {
                m.values["SERL"] = m.values["FSNL"];
                m.values["SERH"] = m.values["FSNH"];
            }
        }
        return HXR_OK;
    };
    api.COMMANDMODE = []() {
        FakeModule &m = *FakeModule::current();
        m.frames.push_back("");
        m.streaming = false;
    };
    api.CONFIGCAL = []() -> int16_t {
        FakeModule::current()->portCalls.push_back("CONFIGCAL");
        return FakeModule::current()->configCalResult;
    };
    return api;
}

using FakeClock = testsupport::ManualClock;

} // namespace testing_device

#endif
