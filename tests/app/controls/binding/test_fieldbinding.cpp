#include <cstdlib>
#include <memory>
#include <vector>

#include <gmock/gmock.h>

#include "app/common/globals.h"
#include "app/controls/binding/fieldbinding.h"
#include "app/controls/vxbtn.h"
#include "app/device/driverlibrary.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "platform/win/messagehook.h"
#include "support/namedcase.h"
#include "support/simenvironment.h"

namespace app::controls::binding {
namespace {

void ignoreReading(int32_t, float) {}

// Fields bound to parameters of the simulated module.
class BindingTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // The simulated module, whatever the runner passed on; and the driver's message boxes
        // recorded, so that a failure shows up as a test failure instead of a modal box.
        testsupport::UseSimulatedModule();
        // Captions with a point, whatever the separator of the locale the tests run in.
        app::common::setDecimalSeparator(QStringLiteral("."));
        previousRecorder_ = platform::win::setMessageRecorder(
            [this](const QString &text, const QString &) { driverMessages_.push_back(text); });
        ASSERT_EQ(library_.load(QStringLiteral(HXR_PROGRAM_DIR)),
                  device::DriverLibrary::Status::Loaded)
            << library_.errorText().toStdString();
        hxr_ = std::make_unique<device::HXR>(library_.api());
        device::SetHXRObject(hxr_.get());
        HXRReadingProc proc = &ignoreReading;
        library_.api().INITIALISE(&proc);
        hxr_->OpenPort();
        hxr_->CommandMode();
        ASSERT_EQ(hxr_->ErrorState(), 0);
    }
    void TearDown() override
    {
        if (hxr_)
            hxr_->ClosePort();
        device::ClearHXRObject();
        platform::win::setMessageRecorder(previousRecorder_);
        EXPECT_THAT(driverMessages_, testing::IsEmpty());
    }

    device::DriverLibrary library_;
    std::unique_ptr<device::HXR> hxr_;
    platform::win::MessageRecorder previousRecorder_;
    std::vector<QString> driverMessages_;
};

TEST_F(BindingTest, NumericFieldRoundTrip)
{
    VXBtn field;
    SetupEditField(field, {.Source = QStringLiteral("USR3"),
                           .Format = QStringLiteral("0.000"),
                           .IsNumeric = true,
                           .Allowed = QStringLiteral("0123456789.-")});
    hxr_->LetByName(QStringLiteral("USR3"), 2.0123456);
    EXPECT_TRUE(LoadButtonValue(field));
    EXPECT_NEAR(field.Value(), 2.0123456, 1e-6) << "the caption keeps the module's precision";
    EXPECT_EQ(field.displayText(), QStringLiteral("2.012"));

    field.setCaption(QStringLiteral("-7.25"));
    StoreButtonValue(field);
    EXPECT_NEAR(hxr_->GetByName(QStringLiteral("USR3")).toDouble(), -7.25, 1e-6);
    EXPECT_EQ(hxr_->ErrorState(), 0);
}

TEST_F(BindingTest, ListFieldCarriesEntryNumbers)
{
    VXBtn field;
    SetupEditField(field, {.Source = QStringLiteral("USR4"),
                           .Allowed = QStringLiteral("1|3|20"),
                           .List = QStringLiteral("One|Three|Twenty"),
                           .UseListIndex = true});
    hxr_->LetByName(QStringLiteral("USR4"), -3);
    EXPECT_TRUE(LoadButtonValue(field));
    EXPECT_EQ(field.ListIndex(), 3) << "the magnitude of -3";
    EXPECT_EQ(field.Caption(), QStringLiteral("Three"));

    field.setListIndex(20);
    StoreButtonValue(field);
    EXPECT_EQ(hxr_->GetByName(QStringLiteral("USR4")).toDouble(), 20.0);
}

TEST_F(BindingTest, FieldsWithoutSource)
{
    VXBtn field;
    field.setCaption(QStringLiteral("keep"));
    EXPECT_FALSE(LoadButtonValue(field));
    EXPECT_EQ(field.Caption(), QStringLiteral("keep"));
    EXPECT_TRUE(LoadButtonValue(field, QVariant(QStringLiteral("given"))));
    EXPECT_EQ(field.Caption(), QStringLiteral("given"));

    hxr_->LetByName(QStringLiteral("USR5"), 4);
    StoreButtonValue(field); // no Source: nothing is written
    EXPECT_EQ(hxr_->GetByName(QStringLiteral("USR5")).toDouble(), 4.0);
}

TEST_F(BindingTest, LatchedErrorAnswersFalse)
{
    VXBtn field;
    field.setSource(QStringLiteral("USR1"));
    hxr_->ErrorState(-100);
    EXPECT_FALSE(LoadButtonValue(field));
    hxr_->ErrorState(0);
    EXPECT_TRUE(LoadButtonValue(field));
}

struct SetupCase
{
    const char *name;
    const char *source, *allowed, *list;
    int maxLength;
    double min, max;
    int editable;
};

using testsupport::PrintTo;

class SetupEditFieldTest : public testing::TestWithParam<SetupCase>
{};

TEST_P(SetupEditFieldTest, Editable)
{
    const SetupCase &c = GetParam();
    VXBtn btn;
    btn.setEditable(0);
    SetupEditField(btn, {.Source = QString::fromLatin1(c.source),
                         .Format = QStringLiteral("0.00"),
                         .IsNumeric = true,
                         .Allowed = QString::fromLatin1(c.allowed),
                         .MaxLength = static_cast<int16_t>(c.maxLength),
                         .Min = c.min,
                         .Max = c.max,
                         .List = QString::fromLatin1(c.list),
                         .DeferSave = true,
                         .ToolTip = QStringLiteral("Title**Body")});
    EXPECT_EQ(btn.Editable(), c.editable);
    EXPECT_EQ(btn.toolTip(), QStringLiteral("Title**Body"));
    EXPECT_TRUE(btn.DeferSave());
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupEditFieldTest,
                         testing::Values(SetupCase{"TooltipOnly", "", "", "", 0, 0, 0, 0},
                                         SetupCase{"AllowedOnly", "", "0123456789", "", 0, 0, 0, 1},
                                         SetupCase{"SourceOnly", "DGAI", "", "", 0, 0, 0, 1},
                                         SetupCase{"MaxLengthOnly", "", "", "", 4, 0, 0, 1},
                                         SetupCase{"RangeOnly", "", "", "", 0, 0, 10, 1},
                                         SetupCase{"List", "UNTD", "1|2", "a|b", 0, 0, 0, 2}),
                         [](const testing::TestParamInfo<SetupCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(SetupEditFieldDefaults, WhatACallLeavesOutIsCleared)
{
    VXBtn btn;
    SetupEditField(btn, {.Source = QStringLiteral("UNTD"),
                         .Format = QStringLiteral("0.0"),
                         .IsNumeric = true,
                         .Allowed = QStringLiteral("1|2"),
                         .MaxLength = 4,
                         .Min = -1.0,
                         .Max = 1.0,
                         .List = QStringLiteral("a|b"),
                         .UseListIndex = true,
                         .DeferSave = true,
                         .ToolTip = QStringLiteral("old")});
    SetupEditField(btn, {.ToolTip = QStringLiteral("Title**Body")});
    EXPECT_EQ(btn.Source(), QString());
    EXPECT_EQ(btn.Format(), QString());
    EXPECT_FALSE(btn.IsNumeric());
    EXPECT_EQ(btn.Allowed(), QString());
    EXPECT_EQ(btn.MaxLength(), 0);
    EXPECT_EQ(btn.Min(), 0.0);
    EXPECT_EQ(btn.Max(), 0.0);
    EXPECT_EQ(btn.List(), QString());
    EXPECT_TRUE(btn.listEntries().isEmpty());
    EXPECT_FALSE(btn.UseListIndex());
    EXPECT_FALSE(btn.DeferSave());
    EXPECT_EQ(btn.toolTip(), QStringLiteral("Title**Body"));
    EXPECT_EQ(btn.Editable(), 2) << "a plain set-up leaves Editable as it was";
}

TEST(SetupEditFieldNumbering, ListEntriesTakeNumbersFromAllowed)
{
    VXBtn btn;
    SetupEditField(btn, {.Source = QStringLiteral("UNTD"),
                         .Allowed = QStringLiteral("3|7"),
                         .List = QStringLiteral("kg|N"),
                         .UseListIndex = true});
    btn.setListIndex(7);
    EXPECT_EQ(btn.Caption(), QStringLiteral("N"));
}

} // namespace
} // namespace app::controls::binding
