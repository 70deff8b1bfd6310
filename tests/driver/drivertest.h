#ifndef TESTS_DRIVER_DRIVERTEST_H
#define TESTS_DRIVER_DRIVERTEST_H

// A fixture for tests of the driver's exports: records the driver's message boxes and leaves the
// port closed and no procedure registered.

#include <string>
#include <vector>

#include <QString>

#include <gmock/gmock.h>

#include "driver/include/hxrdrv.h"
#include "platform/win/messagehook.h"
#include "tests/driver/fakebackend.h"

class DriverTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CLOSEPORT();
        INITIALISE(nullptr);
        previous_ = platform::win::setMessageRecorder([this](const QString &text, const QString &) {
            messages.push_back(text.toStdString());
        });
    }
    void TearDown() override
    {
        CLOSEPORT();
        INITIALISE(nullptr);
        platform::win::setMessageRecorder(previous_);
    }

    // Installs devices with these descriptions and opens the port.
    std::vector<std::shared_ptr<fake::Line>> open(std::vector<std::string> descriptions,
                                                  fake::Backend **backend = nullptr)
    {
        auto lines = fake::install(std::move(descriptions), backend);
        OPENPORT();
        return lines;
    }

    std::vector<std::string> messages;

private:
    platform::win::MessageRecorder previous_;
};

#endif
