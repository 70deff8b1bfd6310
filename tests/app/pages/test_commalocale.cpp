// The program in a comma-decimal locale (de_DE.UTF-8), as most of Europe runs it: the C
// library's printf and strtod families then write and read ",". The module's command texts and
// replies, the configuration and data files and the connection must not change; only what the
// user reads shows the user's ",".

#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

#include "app/analysis/csvmodule.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/desktop/filedialogs.h"
#include "app/common/formatting.h"
#include "app/pages/child_gen_file.h"
#include "app/pages/hcffile.h"
#include "app/shell/mainfrm.h"
#include "mainwindowonsim.h"
#include "pagefixture.h"
#include "platform/vb/cstr.h"
#include "platform/vb/format.h"
#include "platform/vb/val.h"
#include "support/commalocale.h"
#include "support/recordingmessagedialog.h"

namespace {

// Before main: the application object then takes the comma locale from the environment, as it
// does for a user whose session is German.
const bool commaSession = testsupport::startInCommaLocale();

namespace sim = platform::ftd2xx::sim;
using platform::vb::CStr;
using platform::vb::NumberSeparators;
using testsupport::InCommaLocale;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Numbers as texts ------------------------------------------------------------------------

struct CStrCase
{
    double value;
    bool single; // the value as a single-precision number
    const char *withPoint;
    const char *withComma;
};

void PrintTo(const CStrCase &c, std::ostream *os)
{
    *os << c.withPoint;
}

class CStrInCommaLocale : public InCommaLocale<testing::TestWithParam<CStrCase>>
{};

TEST_P(CStrInCommaLocale, WritesTheSeparatorItIsGivenAndNoOther)
{
    ASSERT_TRUE(commaSession);
    const CStrCase &c = GetParam();
    const NumberSeparators point = NumberSeparators::invariant();
    const NumberSeparators comma{QLatin1Char(','), QLatin1Char('.')};
    if (c.single) {
        EXPECT_EQ(CStr(static_cast<float>(c.value), point), QLatin1String(c.withPoint));
        EXPECT_EQ(CStr(static_cast<float>(c.value), comma), QLatin1String(c.withComma));
    } else {
        EXPECT_EQ(CStr(c.value, point), QLatin1String(c.withPoint));
        EXPECT_EQ(CStr(c.value, comma), QLatin1String(c.withComma));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, CStrInCommaLocale,
    testing::Values(CStrCase{1.0, true, "1", "1"}, CStrCase{50.0, true, "50", "50"},
                    CStrCase{261.0, true, "261", "261"}, CStrCase{70000.0, false, "70000", "70000"},
                    CStrCase{0.0, false, "0", "0"}, CStrCase{-2.5, true, "-2.5", "-2,5"},
                    CStrCase{12.5, false, "12.5", "12,5"},
                    CStrCase{1.0 / 3.0, false, "0.333333333333333", "0,333333333333333"},
                    CStrCase{0.1, true, "0.1", "0,1"},
                    CStrCase{0.0000123, true, "1.23E-05", "1,23E-05"},
                    CStrCase{12345678.0, true, "1.234568E+07", "1,234568E+07"},
                    CStrCase{1e15, false, "1E+15", "1E+15"},
                    CStrCase{1234567890123456.0, false, "1.23456789012346E+15",
                             "1,23456789012346E+15"},
                    CStrCase{-1.5e-7, false, "-1.5E-07", "-1,5E-07"}));

class NumbersInCommaLocale : public InCommaLocale<testing::Test>
{};

TEST_F(NumbersInCommaLocale, WireFilesAndRepliesKeepThePoint)
{
    EXPECT_EQ(platform::vb::FormatWireValue(-2.5), "-2.5000000");
    EXPECT_EQ(app::pages::hcf::NumberText(0.0000123f), QStringLiteral("1.23E-05"));
    EXPECT_EQ(platform::vb::Val(std::string_view("-1.25\r")), -1.25);
    EXPECT_EQ(platform::vb::Val(QStringLiteral("1,25")), 1.0) << "a reply's comma ends its number";
    EXPECT_EQ(platform::vb::Format(12.5, u"0.00", NumberSeparators::invariant()),
              QStringLiteral("12.50"));
}

// The toolkit ------------------------------------------------------------------------------

class ToolkitInCommaLocale : public InCommaLocale<testing::Test>
{
protected:
    void SetUp() override
    {
        InCommaLocale::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        sim::DeviceConfig device;
        device.serial = 70000;
        device.signal.level = 1.2345;
        context = pagetests::startProgramOnSimulatedModule(device, messages);
        window = pagetests::makeMainWindow();
    }

    void TearDown() override
    {
        pagetests::closeProgram(window, context);
        InCommaLocale::TearDown();
    }

    std::unique_ptr<app::shell::ProgramContext> context;
    std::unique_ptr<app::shell::MainFrm> window;
    QStringList messages;
};

QString currentPage()
{
    return app::shell::CurrentPage() ? app::shell::CurrentPage()->objectName() : QString();
}

TEST_F(ToolkitInCommaLocale, DetectsTheModuleAndShowsItsLiveValueWithTheUsersComma)
{
    ASSERT_TRUE(window->Load());
    window->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return currentPage() == app::pages::CHILD_GEN_INFO::FormName; }, 10'000))
        << messages.join('\n').toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    const std::vector<std::string> frames = sim::frameLog();
    for (const char *command : {"CONF?", "MODL?", "PMSK?", "GAIN?", "OFFS?", "OVAL?"})
        EXPECT_THAT(frames, testing::Contains(testing::EndsWith(command))) << command;

    auto *info = static_cast<app::pages::CHILD_GEN_INFO *>(app::shell::CurrentPage());
    EXPECT_EQ(info->pbSerialNumber()->displayText(), QStringLiteral("0000070000"));
    EXPECT_EQ(app::common::DecimalSeparator(), QStringLiteral(","));
    // The module's value crosses the driver as a single.
    const float oval = static_cast<float>(*sim::parameter(0, "OVAL"));
    const QString expected = app::common::FormatDisplayValue(oval, app::common::DisplayFormat());
    EXPECT_TRUE(expected.contains(QLatin1Char(','))) << expected.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return info->LCD1()->Caption() == expected; }))
        << info->LCD1()->Caption().toStdString() << " for " << expected.toStdString();
}

// Configuration and data files -------------------------------------------------------------

class FilesInCommaLocale : public InCommaLocale<pagetests::PageFixture>
{
protected:
    void SetUp() override
    {
        InCommaLocale::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(files.isValid());
        app::common::setDataFolder(files.path());
        app::common::setDecimalSeparator(QStringLiteral(","));
        previousRunner =
            app::common::desktop::setFileDialogRunner([this](QFileDialog &) { return chosen; });
        sim::setParameter(0, "EGAI", 50.5);
        sim::setParameter(0, "EOFS", -0.125);
        sim::setParameter(0, "DGAI", 1.5);
        sim::setParameter(0, "DOFS", -2.5);
        sim::setParameter(0, "ZERO", 0.25);
    }

    void TearDown() override
    {
        app::common::desktop::setFileDialogRunner(previousRunner);
        InCommaLocale::TearDown();
    }

    QString path(const char *name) const { return files.filePath(QString::fromLatin1(name)); }

    QTemporaryDir files;
    QString chosen;
    app::common::desktop::FileDialogRunner previousRunner;
};

TEST_F(FilesInCommaLocale, ConfigurationSavedIsByteIdenticalToTheOneSavedUnderC)
{
    app::pages::CHILD_GEN_FILE *page = openModulePageAfresh<app::pages::CHILD_GEN_FILE>();
    ASSERT_NE(page, nullptr);
    chosen = path("comma.hcf");
    page->SaveHXR();
    const QByteArray comma = fileBytes(chosen);

    std::setlocale(LC_ALL, "C");
    app::common::setDecimalSeparator(QStringLiteral("."));
    chosen = path("c.hcf");
    page->SaveHXR();
    std::setlocale(LC_ALL, testsupport::CommaLocaleName);
    ASSERT_TRUE(testsupport::commaLocaleInForce());

    EXPECT_EQ(comma, fileBytes(chosen));
    for (const char *entry :
         {"\r\nEGAI=50.5\r\n", "\r\nEOFS=-0.125\r\n", "\r\nDGAI=1.5\r\n", "\r\nDOFS=-2.5\r\n",
          "\r\nZERO=0.25\r\n", "\r\nVER=261\r\n", "\r\nMODL=1\r\n", "\r\nSERIAL=70000\r\n"})
        EXPECT_TRUE(comma.contains(entry)) << entry << comma.toStdString();
}

TEST_F(FilesInCommaLocale, ConfigurationRestoresWhatWasSaved)
{
    app::pages::CHILD_GEN_FILE *page = openModulePageAfresh<app::pages::CHILD_GEN_FILE>();
    ASSERT_NE(page, nullptr);
    chosen = path("round.hcf");
    page->SaveHXR();
    for (const char *key : {"EGAI", "EOFS", "DGAI", "DOFS", "ZERO"})
        sim::setParameter(0, key, 7);
    sim::clearFrameLog();
    pagetests::ShownMessages().clear();

    page->RestoreHXR();

    EXPECT_EQ(*sim::parameter(0, "EGAI"), 50.5);
    EXPECT_EQ(*sim::parameter(0, "EOFS"), -0.125);
    EXPECT_EQ(*sim::parameter(0, "DGAI"), 1.5);
    EXPECT_EQ(*sim::parameter(0, "DOFS"), -2.5);
    EXPECT_EQ(*sim::parameter(0, "ZERO"), 0.25);
    EXPECT_THAT(pagetests::writtenFrames(),
                testing::IsSupersetOf({"EGAI=50.5000000", "EOFS=-0.1250000", "DGAI=1.5000000",
                                       "DOFS=-2.5000000", "ZERO=0.2500000"}));
    ASSERT_FALSE(pagetests::ShownMessages().empty());
    EXPECT_EQ(pagetests::ShownMessages().back().text,
              QStringLiteral("Now restoring configuration data from file to module..."));
}

TEST_F(FilesInCommaLocale, DataFileSavedAndLoadedKeepsThePoint)
{
    const QDateTime start(QDate(2019, 6, 15), QTime(10, 30, 0));
    app::analysis::Snapshot &snapshot = app::analysis::CurrentSnapshot();
    snapshot.readings = {0.0f, 1.5f, -0.25f, 12.0f, 0.0000123f};
    snapshot.startTime = start;
    snapshot.startMicros = 250'000;
    const QString file = path("readings.csv");
    ASSERT_EQ(app::analysis::SaveCSV(file), QString());
    EXPECT_EQ(fileBytes(file), QByteArray("20190615103000.250000\r\n1.5000000\r\n-0.2500000\r\n"
                                          "12.0000000\r\n0.0000123\r\n"));

    snapshot.readings.assign(2, 9.0f);
    ASSERT_EQ(app::analysis::LoadCSV(file), QString());
    const app::analysis::Snapshot &loaded = app::analysis::CurrentSnapshot();
    EXPECT_THAT(loaded.readings, testing::ElementsAre(0.0f, 1.5f, -0.25f, 12.0f, 0.0000123f));
    EXPECT_EQ(loaded.startTime, start);
    EXPECT_EQ(loaded.startMicros, 250'000);
}

} // namespace
