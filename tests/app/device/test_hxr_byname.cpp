#include "app/device/hxr.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/device/drv_hxr.h"
#include "app/device/fakedriver.h"
#include "platform/vb/datetime.h"
#include "platform/vb/vberror.h"

namespace {

using app::device::DeviceUi;
using app::device::HXR;
using platform::vb::VbError;
using testing::ElementsAre;
using testing::IsEmpty;
using testing_device::FakeClock;
using testing_device::FakeModule;

struct Message
{
    QString text;
    QString title;
    bool warning;
};

class HxrByNameTest : public testing::Test
{
protected:
    HxrByNameTest()
        : clock(std::make_shared<FakeClock>()), hxr(testing_device::fakeDriverApi(), clock)
    {
        FakeModule::current() = &module;
        DeviceUi ui;
        ui.message = [this](const QString &text, const QString &title, bool warning) {
            messages.push_back({text, title, warning});
        };
        ui.input = [this](const QString &prompt, const QString &title,
                          const QString &) -> std::optional<QString> {
            prompts.push_back(prompt + QLatin1Char('|') + title);
            return answer;
        };
        ui.busy = [this](bool on) { busy.push_back(on); };
        hxr.setUi(ui);
    }
    ~HxrByNameTest() override { FakeModule::current() = nullptr; }

    int raised(const std::function<void()> &call)
    {
        try {
            call();
        } catch (const VbError &e) {
            return e.number();
        }
        return 0;
    }

    FakeModule module;
    std::shared_ptr<FakeClock> clock;
    HXR hxr;
    std::vector<Message> messages;
    std::vector<QString> prompts;
    std::vector<bool> busy;
    std::optional<QString> answer;
};

TEST_F(HxrByNameTest, SerialNumberReadsTheHalvesUnsigned)
{
    module.values["SERH"] = -1.0f;
    module.values["SERL"] = 5.0f;
    EXPECT_DOUBLE_EQ(hxr.SERIALNUMBER(), 65535.0 * 65536.0 + 5.0);
    module.values["SERH"] = 1.0f;
    module.values["SERL"] = -1.0f;
    EXPECT_DOUBLE_EQ(hxr.SERIALNUMBER(), 65536.0 + 65535.0);
}

TEST_F(HxrByNameTest, SerialNumberWriteRestartsAndReturnsToCommandMode)
{
    int resets = 0;
    app::device::setBufferResetHook([&] { ++resets; });
    // What the window's events ask of the module while it restarts goes nowhere.
    int sleeps = 0;
    clock->onSleep = [&] {
        if (sleeps++ > 0)
            return; // a serial write that was let through would sleep again
        EXPECT_TRUE(app::device::ModuleCommandRunning());
        hxr.ADC();
        hxr.EGAI(2.0f);
        hxr.CommandMode();
        hxr.SERIALNUMBER(123.0);
    };
    hxr.SERIALNUMBER(70000.0);
    clock->onSleep = {};
    EXPECT_THAT(module.frames, ElementsAre("FSNL=4464.0000000", "FSNH=1.0000000", "RST", ""));
    EXPECT_FALSE(app::device::ModuleCommandRunning());
    EXPECT_EQ(clock->slept, 1000);
    EXPECT_THAT(busy, ElementsAre(true, false));
    EXPECT_EQ(resets, 1);
    EXPECT_FALSE(app::device::StreamRunning());
    // The module answers again, with the new number.
    EXPECT_DOUBLE_EQ(hxr.SERIALNUMBER(), 70000.0);
    EXPECT_EQ(hxr.ErrorState(), 0);
    app::device::setBufferResetHook({});
}

TEST_F(HxrByNameTest, SerialNumberWriteTakesOnlyWholeNumbersUpTo32Bits)
{
    hxr.SERIALNUMBER(0.0);
    hxr.SERIALNUMBER(-5.0);
    EXPECT_THAT(module.frames, IsEmpty());
    EXPECT_EQ(raised([&] { hxr.SERIALNUMBER(70000.5); }), VbError::InvalidCall);
    EXPECT_EQ(raised([&] { hxr.SERIALNUMBER(4294967296.0); }), VbError::InvalidCall);
    EXPECT_THAT(module.frames, IsEmpty());
    hxr.SERIALNUMBER(4294967295.0);
    EXPECT_THAT(module.frames, ElementsAre("FSNL=65535.0000000", "FSNH=65535.0000000", "RST", ""));
}

TEST_F(HxrByNameTest, SetSerialReportsTheNumberReadBack)
{
    answer = QStringLiteral(" 70000 ");
    hxr.SetSerial();
    EXPECT_THAT(prompts, ElementsAre(QStringLiteral("Enter serial number|Set Serialnumber")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Serialnumber now set to: 70000"));
    EXPECT_EQ(messages[0].title, QStringLiteral("Set Serialnumber"));
    EXPECT_FALSE(messages[0].warning);
    EXPECT_EQ(hxr.ErrorState(), 0);
}

TEST_F(HxrByNameTest, SetSerialReportsAMismatch)
{
    module.appliesSerialAtReset = false;
    module.values["SERL"] = 7.0f;
    answer = QStringLiteral("70000");
    hxr.SetSerial();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Serialnumber incorrect: 7"));
    EXPECT_EQ(messages[0].title, QStringLiteral("ERROR: Set Serialnumber"));
    EXPECT_TRUE(messages[0].warning);
}

TEST_F(HxrByNameTest, SetSerialCancelledDoesNothing)
{
    for (const std::optional<QString> &none :
         {std::optional<QString>(), std::optional<QString>(QStringLiteral(" "))}) {
        answer = none;
        hxr.SetSerial();
    }
    EXPECT_THAT(module.frames, IsEmpty());
    EXPECT_THAT(messages, IsEmpty());
}

TEST_F(HxrByNameTest, SetSerialRefusesWhatIsNoSerialNumber)
{
    for (const char *bad : {"12.5", "4294967296", "abc", "0", "-3", "70000xyz"}) {
        messages.clear();
        answer = QString::fromLatin1(bad);
        hxr.SetSerial();
        ASSERT_EQ(messages.size(), 1u) << bad;
        EXPECT_EQ(messages[0].title, QStringLiteral("ERROR: Set Serialnumber"));
        EXPECT_TRUE(messages[0].warning);
        EXPECT_TRUE(messages[0].text.contains(QStringLiteral("4294967295"))) << bad;
    }
    EXPECT_THAT(module.frames, IsEmpty());
}

struct LockCase
{
    const char *name;
    float mask;
    bool on;
    const char *written;
};

void PrintTo(const LockCase &c, std::ostream *os)
{
    *os << c.name << (c.on ? " on" : " off") << " with " << c.mask;
}

class LockSwitches : public HxrByNameTest, public testing::WithParamInterface<LockCase>
{};

TEST_P(LockSwitches, ChangeOnlyTheirBit)
{
    const LockCase &c = GetParam();
    module.values["PMSK"] = c.mask;
    hxr.LetByName(QString::fromLatin1(c.name), QVariant(c.on));
    EXPECT_THAT(module.frames, ElementsAre("PMSK?", std::string("PMSK=") + c.written));
}

INSTANTIATE_TEST_SUITE_P(Values, LockSwitches,
                         testing::Values(LockCase{"LOCK_SHUNTCAL", 9, true, "13.0000000"},
                                         LockCase{"LOCK_SHUNTCAL", 13, false, "9.0000000"},
                                         LockCase{"LOCK_CAL", 14, true, "15.0000000"},
                                         LockCase{"lock_syszero", 15, false, "13.0000000"},
                                         LockCase{"LOCK_DISPLAYUNITS", 0, true, "8.0000000"},
                                         LockCase{"LOCK_DISPLAYUNITS", 8, true, "8.0000000"},
                                         // A mask that is no integer keeps none of its bits.
                                         LockCase{"LOCK_CAL", 1e20f, true, "1.0000000"}));

TEST_F(HxrByNameTest, BitReadsOfStatusAndMask)
{
    module.values["PMSK"] = 9.0f;
    EXPECT_EQ(hxr.PMSKbit(1), hxr.LOCK_CAL());
    EXPECT_EQ(hxr.PMSKbit(4), hxr.LOCK_DISPLAYUNITS());
    EXPECT_EQ(hxr.LOCK_CAL(), 1);
    EXPECT_EQ(hxr.LOCK_SYSZERO(), 0);
    EXPECT_EQ(hxr.LOCK_DISPLAYUNITS(), 1);
    EXPECT_TRUE(hxr.BooleanRead(QStringLiteral("pmsk"), 4));
    EXPECT_FALSE(hxr.BooleanRead(QStringLiteral("USR1"), 1));
    EXPECT_FALSE(hxr.BooleanRead(QStringLiteral("PMSK"), 0));
    EXPECT_FALSE(hxr.BooleanRead(QStringLiteral("PMSK"), 33));

    module.values["STAT"] = 4096.0f + 2048.0f;
    EXPECT_EQ(hxr.SCALON(), 1);
    EXPECT_TRUE(hxr.IntError());
    clock->monotonic += 600;
    module.values["STAT"] = -4096.0f; // 61440: bits 13 to 16
    EXPECT_EQ(hxr.SCALON(), 1);
    EXPECT_FALSE(hxr.IntError());
    EXPECT_TRUE(hxr.BooleanRead(QStringLiteral("Stat"), 16));

    module.values["PMSK"] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(hxr.LOCK_CAL(), 0);
    EXPECT_FALSE(hxr.BooleanRead(QStringLiteral("PMSK"), 1));
}

TEST_F(HxrByNameTest, GetByNameReadsAnyPropertyAndSwallowsErrors)
{
    module.values["USR5"] = 4.5f;
    module.values["PMSK"] = 2.0f;
    EXPECT_EQ(hxr.GetByName(QStringLiteral("usr5")), QVariant(4.5f));
    EXPECT_EQ(hxr.GetByName(QStringLiteral("Lock_SysZero")).toInt(), 1);
    EXPECT_EQ(hxr.GetByName(QStringLiteral("DeviceCount")).toString(), QStringLiteral("1"));
    EXPECT_EQ(hxr.GetByName(QStringLiteral("ErrorState")).toInt(), 0);
    module.frames.clear();
    for (const char *none : {"NOPE", "", "RST", "PMSKbit", "FormatFloat"})
        EXPECT_FALSE(hxr.GetByName(QString::fromLatin1(none)).isValid()) << none;
    EXPECT_THAT(module.frames, IsEmpty());
}

TEST_F(HxrByNameTest, LetByNameConvertsAndRaises)
{
    hxr.LetByName(QStringLiteral("usr2"), QVariant(QStringLiteral("1.25")));
    hxr.LetByName(QStringLiteral("CONF"), QVariant(true));
    EXPECT_THAT(module.frames, ElementsAre("USR2=1.2500000", "CONF=1.0000000"));
    module.frames.clear();
    EXPECT_EQ(raised([&] { hxr.LetByName(QStringLiteral("NOPE"), QVariant(1)); }), 438);
    EXPECT_EQ(raised([&] { hxr.LetByName(QStringLiteral("STAT"), QVariant(1)); }), 438);
    EXPECT_EQ(raised([&] { hxr.LetByName(QStringLiteral("USR1"), QVariant(QStringLiteral("x"))); }),
              VbError::TypeMismatch);
    EXPECT_EQ(raised([&] { hxr.LetByName(QStringLiteral("USR1"), QVariant(1e300)); }),
              VbError::Overflow);
    EXPECT_THAT(module.frames, IsEmpty());

    hxr.LetByName(QStringLiteral("ErrorState"), QVariant(-100));
    EXPECT_EQ(hxr.ErrorState(), -100);
}

TEST_F(HxrByNameTest, LetByNamePassesSerialNumbersWhole)
{
    hxr.LetByName(QStringLiteral("SERIALNUMBER"), QVariant(QStringLiteral("123456")));
    // 16777217 does not survive a single; the serial keeps every digit in any spelling.
    hxr.LetByName(QStringLiteral("SerialNumber"), QVariant(16777217.0));
    EXPECT_THAT(module.frames, ElementsAre("FSNL=57920.0000000", "FSNH=1.0000000", "RST", "",
                                           "FSNL=1.0000000", "FSNH=256.0000000", "RST", ""));
}

TEST_F(HxrByNameTest, MethodByNameCallsMethodsWithoutArguments)
{
    EXPECT_FALSE(hxr.MethodByName(QStringLiteral("rst")).isValid());
    hxr.MethodByName(QStringLiteral("CommandMode"));
    EXPECT_THAT(module.frames, ElementsAre("RST", ""));
    EXPECT_EQ(raised([&] { hxr.MethodByName(QStringLiteral("FormatFloat")); }), 450);
    EXPECT_EQ(raised([&] { hxr.MethodByName(QStringLiteral("Nothing")); }), 438);
    EXPECT_EQ(hxr.MethodByName(QStringLiteral("ConfigureCal")), QVariant(true));
    hxr.ErrorState(-200);
    hxr.MethodByName(QStringLiteral("ResetError"));
    EXPECT_EQ(hxr.ErrorState(), 0);
}

TEST_F(HxrByNameTest, EveryReadWriteParameterRoundTripsByName)
{
    for (int i = static_cast<int>(HXR::Parameter::ZERO);
         i <= static_cast<int>(HXR::Parameter::PWD1); ++i) {
        const QString name = QString::fromLatin1(HXR::mnemonic(static_cast<HXR::Parameter>(i)));
        const float value = 0.25f + static_cast<float>(i);
        hxr.LetByName(name, QVariant(value));
        EXPECT_EQ(hxr.GetByName(name.toLower()), QVariant(value)) << name.toStdString();
    }
    EXPECT_EQ(module.values.size(), 31u);
    EXPECT_EQ(hxr.ErrorState(), 0);
}

TEST_F(HxrByNameTest, SetCalDateReadsTheClockOnce)
{
    // Every further reading of the clock would be past midnight into the new year.
    clock->local = QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59, 900));
    clock->localStepMs = 200;
    hxr.SetCalDate();
    EXPECT_THAT(module.frames, ElementsAre("YEAR=25.0000000", "MNTH=12.0000000", "DAY=31.0000000",
                                           "HOUR=23.0000000", "MINS=59.0000000"));
    EXPECT_EQ(clock->localReads, 1);
}

struct CalDateCase
{
    float year, month, day, hour, minute;
    QDate date;
    QTime time;
};

void PrintTo(const CalDateCase &c, std::ostream *os)
{
    *os << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute;
}

class CalDates : public HxrByNameTest, public testing::WithParamInterface<CalDateCase>
{};

TEST_P(CalDates, ReadBackInTheUsersLongForm)
{
    const CalDateCase &c = GetParam();
    module.values["YEAR"] = c.year;
    module.values["MNTH"] = c.month;
    module.values["DAY"] = c.day;
    module.values["HOUR"] = c.hour;
    module.values["MINS"] = c.minute;
    const QString expected =
        c.date.isValid()
            ? platform::vb::LongDate(c.date) + QStringLiteral("  ") + platform::vb::LongTime(c.time)
            : QString();
    EXPECT_EQ(hxr.GetCalDate(), expected);
}

const float Nan = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Values, CalDates,
    testing::Values(CalDateCase{17, 1, 16, 9, 5, QDate(2017, 1, 16), QTime(9, 5)},
                    CalDateCase{24, 13, 1, 0, 0, QDate(2025, 1, 1), QTime(0, 0)},
                    CalDateCase{24, 3, 0, 23, 59, QDate(2024, 2, 29), QTime(23, 59)},
                    CalDateCase{24, 2, 30, 24, 61, QDate(2024, 3, 1), QTime(1, 1)},
                    CalDateCase{24.5f, 1.5f, 2.5f, 1.5f, 0.5f, QDate(2024, 2, 2), QTime(2, 0)},
                    CalDateCase{0, 0, 0, 0, 0, QDate(1999, 11, 30), QTime(0, 0)},
                    CalDateCase{1e9f, 1, 1, 0, 0, QDate(), QTime()},
                    CalDateCase{8000, 1, 1, 0, 0, QDate(), QTime()},
                    CalDateCase{17, 1e6f, 1, 0, 0, QDate(), QTime()},
                    CalDateCase{17, 1, 1, Nan, 0, QDate(), QTime()},
                    CalDateCase{17, 1, -40000, 0, 0, QDate(), QTime()}));

TEST(HxrObject, ProgramWideReference)
{
    HXR device;
    EXPECT_EQ(app::device::HXRObject(), nullptr);
    app::device::SetHXRObject(&device);
    EXPECT_EQ(app::device::HXRObject(), &device);
    app::device::ClearHXRObject();
    EXPECT_EQ(app::device::HXRObject(), nullptr);
}

} // namespace
