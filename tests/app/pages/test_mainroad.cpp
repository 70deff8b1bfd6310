// The program's main road: the main window starts on the simulated module, the Home page
// detects it once the window is up, and the Information page shows its identity and reading.

#include <cstdlib>
#include <memory>
#include <vector>

#include <QMap>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/analysis/pages/child_gen_fft.h"
#include "app/analysis/pages/child_gen_scope.h"
#include "app/common/dialogs/messages.h"
#include "app/common/globals.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/pages/child_gen_calibration.h"
#include "app/pages/child_gen_factory.h"
#include "app/pages/child_gen_file.h"
#include "app/pages/child_gen_home.h"
#include "app/pages/child_gen_info.h"
#include "app/pages/child_gen_lock.h"
#include "app/pages/registerpages.h"
#include "app/shell/childcontrol.h"
#include "app/shell/connection.h"
#include "app/shell/entryfrm.h"
#include "app/shell/mainfrm.h"
#include "app/shell/pageforms.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/win/messagehook.h"
#include "support/focuscheck.h"
#include "support/recordingmessagedialog.h"
#include "support/simenvironment.h"
#include "tooltips/mtipapi.h"
#include "tooltips/r77tipctl.h"

namespace {

namespace sim = platform::ftd2xx::sim;
using app::pages::CHILD_GEN_INFO;
class MainRoadTest : public testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::UseSimulatedModule();
        sim::DeviceConfig device;
        device.serial = 70000;
        sim::SimConfig config;
        config.devices = {device};
        sim::configure(config);
        platform::win::setMessageRecorder(
            [this](const QString &text, const QString &) { messages << text; });
        app::common::dialogs::setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages); });
        app::shell::CurrentConnection() = {};
        app::shell::ClearPageFactories();
        app::pages::RegisterPages();

        app::shell::MainFrmOptions options;
        options.programFolder = QStringLiteral(HXR_PROGRAM_DIR);
        options.entry = [](const app::shell::EntryRequest &) { return app::shell::EntryAnswer{}; };
        options.endProgram = [](int) {};
        window = std::make_unique<app::shell::MainFrm>(options);
    }

    void TearDown() override
    {
        window.reset();
        app::shell::ClearPageFactories();
        app::common::dialogs::setMessageDialogFactory({});
        platform::win::setMessageRecorder({});
        sim::reset();
    }

    // The window up with no module there, once the detection has said so.
    void startWithoutModule()
    {
        sim::SimConfig none;
        none.devices.clear();
        sim::configure(none);
        ASSERT_TRUE(window->Load());
        window->show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !messages.isEmpty(); }));
    }

    static QString currentPage()
    {
        return app::shell::CurrentPage() ? app::shell::CurrentPage()->objectName() : QString();
    }

    std::unique_ptr<app::shell::MainFrm> window;
    QStringList messages;
};

// Widgets of the form that still carry a plain tooltip, without entering another form.
void collectPlainTooltips(const QWidget &form, QStringList &plain)
{
    for (QWidget *child : form.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || tooltips::R77TipCtl::of(child))
            continue;
        if (!child->toolTip().isEmpty())
            plain << child->toolTip();
        collectPlainTooltips(*child, plain);
    }
}

// The tip texts of the form's tooltip control, by the widget each belongs to.
QMap<QWidget *, QString> tipsOf(const QWidget &form)
{
    QMap<QWidget *, QString> texts;
    if (const tooltips::R77TipCtl *tips = tooltips::R77TipCtl::of(&form))
        for (const auto &tip : const_cast<tooltips::R77TipCtl *>(tips)->Tooltips())
            texts.insert(tooltips::WindowFromHandle(tip->hWndControl()), tip->TipText());
    return texts;
}

TEST_F(MainRoadTest, DetectsOnceTheWindowIsUpAndShowsTheModule)
{
    ASSERT_TRUE(window->Load());
    // The window is not on screen yet: no message may stand alone before it.
    EXPECT_EQ(currentPage(), app::pages::CHILD_GEN_HOME::FormName);
    EXPECT_TRUE(app::shell::CurrentConnection().AutoDetectPending);

    window->show();
    ASSERT_TRUE(QTest::qWaitFor([] { return currentPage() == CHILD_GEN_INFO::FormName; }));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_FALSE(app::shell::CurrentConnection().AutoDetectPending);
    EXPECT_EQ(window->PageRefreshTimer()->interval(), CHILD_GEN_INFO::RefreshIntervalMs);

    auto *info = static_cast<CHILD_GEN_INFO *>(app::shell::CurrentPage());
    EXPECT_EQ(info->pbSerialNumber()->displayText(), QStringLiteral("0000070000"));
    EXPECT_FALSE(info->LCD1()->Caption().trimmed().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->infoText() == QStringLiteral("HXR-TRB serial number 70000"); }));
}

TEST_F(MainRoadTest, NoModuleLeavesTheHomePageWithItsMessage)
{
    ASSERT_NO_FATAL_FAILURE(startWithoutModule());
    EXPECT_THAT(messages[0].toStdString(), testing::StartsWith("Detection Failed: No module"));
    EXPECT_EQ(currentPage(), app::pages::CHILD_GEN_HOME::FormName);
}

TEST_F(MainRoadTest, EveryFormShowsItsTooltipsAsBalloonsOfItsOwn)
{
    ASSERT_TRUE(window->Load());
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([] { return currentPage() == CHILD_GEN_INFO::FormName; }));
    auto *home = static_cast<app::pages::CHILD_GEN_HOME *>(
        app::shell::LoadedPage(app::pages::CHILD_GEN_HOME::FormName));
    auto *info = static_cast<CHILD_GEN_INFO *>(app::shell::CurrentPage());
    ASSERT_TRUE(home && info);

    // The signal pages set their texts when they load.
    QWidget *scope = app::shell::LoadPage(app::analysis::pages::CHILD_GEN_SCOPE::FormName);
    QWidget *fft = app::shell::LoadPage(app::analysis::pages::CHILD_GEN_FFT::FormName);
    ASSERT_TRUE(scope && fft);
    std::vector<QWidget *> forms = {window.get(), home, info, scope, fft};
    for (const QString &name :
         {app::pages::CHILD_GEN_CALIBRATION::FormName, app::pages::CHILD_GEN_FILE::FormName,
          app::pages::CHILD_GEN_LOCK::FormName, app::pages::CHILD_GEN_FACTORY::FormName}) {
        forms.push_back(app::shell::LoadPage(name));
        ASSERT_TRUE(forms.back()) << name.toStdString();
    }

    for (const QWidget *form : forms) {
        QStringList plain;
        collectPlainTooltips(*form, plain);
        EXPECT_TRUE(plain.isEmpty()) << form->objectName().toStdString() << ": "
                                     << plain.join(" | ").toStdString();
        EXPECT_FALSE(tipsOf(*form).isEmpty()) << form->objectName().toStdString();
    }

    // Each text is a balloon of its own form, once; the units text set at activation replaced
    // the one of the load step.
    const auto infoTips = tipsOf(*info);
    EXPECT_EQ(infoTips.value(info->pbCalDate()),
              QStringLiteral("Last Toolkit Calibration Date\r\nHolds the last date that "
                             "calibration was changed from the Toolkit."));
    EXPECT_EQ(infoTips.value(info->DUNITS()),
              QStringLiteral("Select the required display engineering units"));
    EXPECT_EQ(tipsOf(*home).value(home->HyperlinkDetect()),
              QStringLiteral("Attach the module to the PC and click this button to detect and "
                             "connect to it"));
    EXPECT_EQ(tipsOf(*window).values().count(
                  QStringLiteral("Capture all data recorded so far and review it")),
              1);
    for (const QString &text : tipsOf(*window))
        EXPECT_NE(text, QStringLiteral("Shows the serial number of the module"));
}

TEST_F(MainRoadTest, ReadyInstallerClosesTheProgram)
{
    QTemporaryDir registration;
    QFile classes(registration.filePath(QStringLiteral("classes.ini")));
    ASSERT_TRUE(classes.open(QIODevice::WriteOnly));
    classes.write("[VXLiveUpdate.Update]\r\nServer=" +
                  QFile::encodeName(QCoreApplication::applicationDirPath()) + "/hxr-comfake\r\n");
    classes.close();
    qputenv("HXR_COM_CLASSES", classes.fileName().toLocal8Bit());
    qputenv("HXR_COMFAKE_RESULT", "true");

    ASSERT_NO_FATAL_FAILURE(startWithoutModule());
    auto *home = static_cast<app::pages::CHILD_GEN_HOME *>(app::shell::CurrentPage());
    ASSERT_TRUE(home->btnCheckUpdates()->Enabled());
    QTest::mouseClick(home->btnCheckUpdates(), Qt::LeftButton);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }));
    qunsetenv("HXR_COMFAKE_RESULT");
    qunsetenv("HXR_COM_CLASSES");
}

TEST_F(MainRoadTest, EveryControlShowsWhereTheKeyboardFocusIs)
{
    ASSERT_TRUE(window->Load());
    ASSERT_TRUE(testsupport::activate(*window));
    ASSERT_TRUE(QTest::qWaitFor([] { return currentPage() == CHILD_GEN_INFO::FormName; }));
    // The page buttons, the window's own buttons, the page's fields and the status line.
    const QStringList faults = testsupport::controlsWithoutVisibleFocus(*window);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_F(MainRoadTest, AfterTheEntryDialogTheFocusIsBackOnThePageAndShows)
{
    ASSERT_TRUE(window->Load());
    ASSERT_TRUE(testsupport::activate(*window));
    ASSERT_TRUE(QTest::qWaitFor([] { return currentPage() == CHILD_GEN_INFO::FormName; }));
    auto *info = static_cast<CHILD_GEN_INFO *>(app::shell::CurrentPage());
    app::controls::VXBtn *units = info->DUNITS();
    units->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(units->hasFocus());
    {
        app::shell::EntryFrm form(window.get());
        form.InitOKCancel(QStringLiteral("Question"), QStringLiteral("Go on?"));
        QTimer::singleShot(0, &form, [&form] {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&form, &escape);
        });
        form.exec();
    }
    ASSERT_TRUE(QTest::qWaitFor([units] { return units->hasFocus(); }));
    const QColor edge = units->grab().toImage().pixelColor(1, units->height() / 2);
    EXPECT_EQ(edge, platform::win::gui::toQColor(units->BorderColorFocus()));
}

} // namespace
