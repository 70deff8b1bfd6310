#include "app/pages/child_gen_home.h"

#include <functional>
#include <ostream>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

#include "app/common/inifilemodule.h"
#include "app/controls/vxbtn.h"
#include "pagefixture.h"
#include "support/namedcase.h"

namespace pagetests {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

const QString CrLf = QStringLiteral("\r\n");

struct DetectCase
{
    const char *name;
    std::function<void(sim::SimConfig &)> modules;
    bool confReadsZero;
    // The one message shown (empty: none) and whether the module set came up.
    QString title;
    QString text;
    bool connected;
};

using testsupport::PrintTo;

class DetectTest : public PageFixture, public testing::WithParamInterface<DetectCase>
{};

TEST_P(DetectTest, ShowsTheOutcomeAndSwitchesOnlyWhenConnected)
{
    const DetectCase &c = GetParam();
    if (c.modules)
        c.modules(modules);
    configureModules();
    ConfReadsZero() = c.confReadsZero;
    app::analysis::BufferPut(1.0f);

    app::pages::CHILD_GEN_HOME *home = openHome();
    EXPECT_EQ(home->Detect(), c.connected);

    // The wait pointer shows while the module is looked for, and goes however detect ends.
    EXPECT_EQ(CursorAtOpenPort(), Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    const app::shell::Connection &connection = app::shell::CurrentConnection();
    EXPECT_FALSE(connection.AutoDetectPending);
    if (c.title.isEmpty()) {
        EXPECT_THAT(ShownMessages(), IsEmpty());
    } else {
        ASSERT_EQ(ShownMessages().size(), 1u);
        EXPECT_EQ(ShownMessages()[0].title, c.title);
        EXPECT_EQ(ShownMessages()[0].text, c.text);
    }
    if (c.connected) {
        EXPECT_EQ(currentSet(), app::shell::ModuleSetKey);
        EXPECT_EQ(host.selected, 2);
        EXPECT_EQ(currentPageName(), app::pages::CHILD_GEN_INFO::FormName);
        EXPECT_EQ(connection.ConnectionStatusText, QStringLiteral("HXR-TRB serial number 70000"));
        EXPECT_EQ(connection.ModelName, QStringLiteral("HXR-TRB"));
        EXPECT_EQ(connection.ModelNumberText, QStringLiteral("1"));
        EXPECT_EQ(connection.SerialText, QStringLiteral("70000"));
        EXPECT_EQ(app::analysis::BufferCount(), 0); // the ring starts empty
        EXPECT_FALSE(host.blankerShown.empty());
        EXPECT_FALSE(host.blankerShown.back());
    } else {
        EXPECT_EQ(currentSet(), app::shell::HomeSetKey);
        EXPECT_EQ(currentPageName(), app::pages::CHILD_GEN_HOME::FormName);
        EXPECT_TRUE(connection.ConnectionStatusText.isEmpty());
        EXPECT_TRUE(connection.SerialText.isEmpty());
        EXPECT_EQ(infoPage(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, DetectTest,
    testing::Values(
        DetectCase{"OneModule", nullptr, false, {}, {}, true},
        DetectCase{"NoModule", [](sim::SimConfig &m) { m.devices.clear(); }, false,
                   QStringLiteral("Detection Failed"),
                   QStringLiteral("No module was detected!") + CrLf +
                       QStringLiteral("Connect a module and click Detect again."),
                   false},
        DetectCase{"TwoModules", [](sim::SimConfig &m) { m.devices.push_back(m.devices.front()); },
                   false, QStringLiteral("Detection Failed"),
                   QStringLiteral("More than one module was detected!") + CrLf +
                       QStringLiteral("Remove all but one module and click Detect again."),
                   false},
        DetectCase{"ConfStaysZero", nullptr, true, QStringLiteral("Configuration Mode Error"),
                   QStringLiteral("Cannot put module into configuration mode."), false},
        DetectCase{"ConfReadFails",
                   [](sim::SimConfig &m) { m.devices[0].faults.reject = {"CONF?"}; }, false,
                   QStringLiteral("Configuration Mode Error"),
                   QStringLiteral("Cannot put module into configuration mode."), false},
        DetectCase{"ModelTwo", [](sim::SimConfig &m) { m.devices[0].model = 2; }, false,
                   QStringLiteral("Unsupported Module Type"),
                   QStringLiteral("This toolkit does not recognise the attached module!"), false},
        DetectCase{"ModelReadFails",
                   [](sim::SimConfig &m) { m.devices[0].faults.reject = {"MODL?"}; }, false,
                   QStringLiteral("Unsupported Module Type"),
                   QStringLiteral("This toolkit does not recognise the attached module!"), false},
        DetectCase{"SerialReadFails",
                   [](sim::SimConfig &m) { m.devices[0].faults.reject = {"SERH?"}; }, false,
                   QStringLiteral("Detection Failed"),
                   QStringLiteral("The module stopped answering!") + CrLf +
                       QStringLiteral("Check the connection and click Detect again."),
                   false},
        DetectCase{"GainReadFails",
                   [](sim::SimConfig &m) { m.devices[0].faults.reject = {"GAIN?"}; }, false,
                   QStringLiteral("Critical Error"),
                   QStringLiteral("There has been a problem reading gains and offsets!") + CrLf +
                       QStringLiteral("The streamed values may be zero."),
                   true}),
    [](const testing::TestParamInfo<DetectCase> &info) { return std::string(info.param.name); });

TEST_F(PageFixture, HomeHelpNamesOnlyButtonsThePageHas)
{
    app::pages::CHILD_GEN_HOME *home = openHome();
    QStringList captions;
    for (const auto *button : home->findChildren<app::controls::VXBtn *>())
        captions << button->Caption();
    const QString help = home->HelpText();
    EXPECT_TRUE(help.startsWith("This Home page is where you select which module to connect to."));
    QRegularExpressionMatchIterator quoted =
        QRegularExpression(QStringLiteral("'([^']+)'")).globalMatch(help);
    while (quoted.hasNext()) {
        const QString name = quoted.next().captured(1);
        EXPECT_TRUE(captions.contains(name)) << name.toStdString();
    }
    EXPECT_FALSE(help.contains(QStringLiteral("Demo")));
}

TEST_F(PageFixture, ConfigurationModeAndGainsAreEachTriedTwice)
{
    ConfReadsZero() = true;
    openHome()->Detect();
    EXPECT_EQ(framesEndingWith("CONF?"), 2);
    EXPECT_EQ(framesEndingWith("MODL?"), 0); // the sequence stopped there

    ShownMessages().clear();
    ConfReadsZero() = false;
    modules.devices[0].faults.reject = {"GAIN?"};
    configureModules();
    sim::clearFrameLog();
    homePage()->Detect();
    EXPECT_EQ(framesEndingWith("GAIN?"), 2);
}

TEST_F(PageFixture, FailedConfigurationChangesNoConnectionGlobals)
{
    app::shell::Connection &connection = app::shell::CurrentConnection();
    connection.ModelName = QStringLiteral("before");
    connection.SerialText = QStringLiteral("1");
    connection.LockMask = 3;
    connection.AutoDetectPending = true;
    app::common::setDisplayFormat(QStringLiteral("0.0"));
    ConfReadsZero() = true;
    homePage()->Detect();
    EXPECT_FALSE(connection.AutoDetectPending);
    EXPECT_EQ(connection.ModelName, QStringLiteral("before"));
    EXPECT_EQ(connection.SerialText, QStringLiteral("1"));
    EXPECT_EQ(connection.LockMask, 3);
    EXPECT_EQ(app::common::DisplayFormat(), QStringLiteral("0.0"));
}

TEST_F(PageFixture, FirstActivationDetectsByItselfLaterOnesDoNot)
{
    app::shell::CurrentConnection().AutoDetectPending = true;
    openHome();
    EXPECT_EQ(currentPageName(), app::pages::CHILD_GEN_INFO::FormName);
    EXPECT_FALSE(app::shell::CurrentConnection().AutoDetectPending);
    EXPECT_EQ(homePage()->HyperlinkDetect()->Editable(), 0); // set up as a plain button

    // Home again: the connection text goes, the blanker comes back, nothing is detected.
    sim::clearFrameLog();
    host.blankerShown.clear();
    app::shell::SwitchPage(1);
    EXPECT_EQ(currentSet(), app::shell::HomeSetKey);
    EXPECT_EQ(currentPageName(), app::pages::CHILD_GEN_HOME::FormName);
    EXPECT_TRUE(app::shell::CurrentConnection().ConnectionStatusText.isEmpty());
    EXPECT_EQ(framesEndingWith("MODL?"), 0);
    EXPECT_THAT(host.blankerShown, ElementsAre(true));

    // The Detect button connects again.
    QTest::mouseClick(homePage()->HyperlinkDetect(), Qt::LeftButton);
    EXPECT_EQ(currentPageName(), app::pages::CHILD_GEN_INFO::FormName);
    EXPECT_EQ(framesEndingWith("MODL?"), 1);
}

TEST_F(PageFixture, FailedFirstDetectLeavesTheBlankerUp)
{
    modules.devices.clear();
    configureModules();
    app::shell::CurrentConnection().AutoDetectPending = true;
    openHome();
    ASSERT_EQ(ShownMessages().size(), 1u);
    EXPECT_EQ(ShownMessages()[0].title, QStringLiteral("Detection Failed"));
    EXPECT_THAT(host.blankerShown, ElementsAre(true));
    EXPECT_TRUE(homePage()->btnCheckUpdates()->Enabled());
}

TEST_F(PageFixture, CheckForUpdateClosesTheProgramOnlyForAnInstaller)
{
    QTemporaryDir registration;
    const QString classes = registration.filePath(QStringLiteral("classes.ini"));
    QFile file(classes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[VXLiveUpdate.Update]\r\nServer=" +
               QFile::encodeName(QCoreApplication::applicationDirPath()) + "/hxr-comfake\r\n");
    file.close();
    qputenv("HXR_COM_CLASSES", classes.toLocal8Bit());
    openHome();
    ShownMessages().clear();

    struct Case
    {
        const char *result;
        int shutDowns;
    };
    for (const Case &c : {Case{"true", 1}, Case{"false", 0}, Case{"error", 0}}) {
        qputenv("HXR_COMFAKE_RESULT", c.result);
        host.shutDowns = 0;
        host.mainWindowEnabled.clear();
        QTest::mouseClick(homePage()->btnCheckUpdates(), Qt::LeftButton);
        EXPECT_EQ(host.shutDowns, c.shutDowns) << c.result;
        EXPECT_THAT(host.mainWindowEnabled, ElementsAre(false, true)) << c.result;
    }
    EXPECT_TRUE(ShownMessages().empty());
    qunsetenv("HXR_COMFAKE_RESULT");
    qunsetenv("HXR_COM_CLASSES");
}

TEST_F(PageFixture, DetectClearsALatchedErrorAndReadsTheNewModule)
{
    connectModule();
    EXPECT_EQ(app::shell::CurrentConnection().SerialText, QStringLiteral("70000"));

    // A failure latched on the old module, then another module is plugged in.
    hxr->ErrorState(-100);
    app::shell::SwitchPage(1);
    modules.devices[0].serial = 80000;
    modules.devices[0].faults = {};
    configureModules();
    sim::setParameter(0, "PMSK", 4);
    EXPECT_TRUE(homePage()->Detect());
    EXPECT_THAT(ShownMessages(), IsEmpty());
    EXPECT_EQ(app::shell::CurrentConnection().SerialText, QStringLiteral("80000"));
    EXPECT_EQ(app::shell::CurrentConnection().LockMask, 4);
    EXPECT_EQ(hxr->ErrorState(), 0);
}

struct FormatCase
{
    const char *name;
    const char *serialKey; // nullptr: no key for the serial number
    const char *recentKey;
    const char *expected;
};

class DisplayFormatTest : public PageFixture, public testing::WithParamInterface<FormatCase>
{};

TEST_P(DisplayFormatTest, SerialKeyThenRecentThenDefault)
{
    const FormatCase &c = GetParam();
    const QString file = app::common::SettingsFilePath();
    if (c.serialKey)
        app::common::WriteIniValue(file, QStringLiteral("Format"), QStringLiteral("70000"),
                                   QString::fromLatin1(c.serialKey));
    if (c.recentKey)
        app::common::WriteIniValue(file, QStringLiteral("Format"), QStringLiteral("Recent"),
                                   QString::fromLatin1(c.recentKey));
    app::common::WriteIniValue(file, QStringLiteral("Format"), QStringLiteral("70001"),
                               QStringLiteral("0.000000")); // another module's
    connectModule();
    EXPECT_EQ(app::common::DisplayFormat(), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, DisplayFormatTest,
    testing::Values(FormatCase{"SerialKey", "0.0", "000.000", "0.0"},
                    FormatCase{"RecentOnly", nullptr, "000.000", "000.000"},
                    FormatCase{"SerialKeyEmpty", "*NULL*", "00.0000", "00.0000"},
                    FormatCase{"Neither", nullptr, nullptr, "0.00000"}),
    [](const testing::TestParamInfo<FormatCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace pagetests
