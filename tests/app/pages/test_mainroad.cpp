// The program's main road: the main window starts on the simulated module, the Home page
// detects it once the window is up, and the Information page shows its identity and reading;
// a trend is captured, reviewed, cropped, saved and loaded back.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gmock/gmock.h>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/csvline.h"
#include "app/analysis/csvmodule.h"
#include "app/analysis/pages/child_gen_capture.h"
#include "app/analysis/pages/child_gen_fft.h"
#include "app/analysis/pages/child_gen_review.h"
#include "app/analysis/pages/child_gen_scope.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/desktop/filedialogs.h"
#include "app/common/desktop/messages.h"
#include "app/common/globals.h"
#include "app/controls/buttonbar.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/pages/child_gen_calibration.h"
#include "app/pages/child_gen_factory.h"
#include "app/pages/child_gen_file.h"
#include "app/pages/child_gen_home.h"
#include "app/pages/child_gen_info.h"
#include "app/pages/child_gen_lock.h"
#include "app/registerpages.h"
#include "app/shell/childcontrol.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/entryfrm.h"
#include "app/shell/mainfrm.h"
#include "app/shell/pageforms.h"
#include "app/shell/programcontext.h"
#include "mainwindowonsim.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/win/messagehook.h"
#include "support/focuscheck.h"
#include "support/gate.h"
#include "support/recordingmessagedialog.h"
#include "support/simenvironment.h"
#include "tooltips/mtipapi.h"
#include "tooltips/r77tipctl.h"

namespace {

namespace sim = platform::ftd2xx::sim;
using app::analysis::pages::CHILD_GEN_CAPTURE;
using app::analysis::pages::CHILD_GEN_REVIEW;
using app::pages::CHILD_GEN_INFO;

// The module set's page buttons, numbered as the bar shows them.
constexpr int CaptureButton = 4;
constexpr int ReviewButton = 5;

class MainRoadTest : public testing::Test
{
protected:
    void SetUp() override
    {
        sim::DeviceConfig device;
        device.serial = 70000;
        context = pagetests::startProgramOnSimulatedModule(device, messages);
        window = pagetests::makeMainWindow();
    }

    void TearDown() override
    {
        pagetests::closeProgram(window, context);
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

    // The window up, the module detected and its Information page shown.
    void startOnTheModule()
    {
        ASSERT_TRUE(window->Load());
        window->show();
        ASSERT_TRUE(QTest::qWaitFor([] { return currentPage() == CHILD_GEN_INFO::FormName; }));
    }

    // Clicks the page button of this number (1 is the first) as the user does.
    void clickPageButton(int number)
    {
        QTest::mouseClick(window->ButtonBar1()->ButtonArray().at(static_cast<size_t>(number - 1)),
                          Qt::LeftButton);
    }

    // The ring holds `count` readings of a ramp; the window's capture button takes them all to
    // the Review page.
    CHILD_GEN_REVIEW *captureRampIntoReview(int32_t count)
    {
        app::analysis::ResetBuffer();
        for (int32_t i = 0; i < count; ++i)
            app::analysis::BufferPut(static_cast<float>(i) / 1000.0f);
        window->RecordCaptureClick();
        return static_cast<CHILD_GEN_REVIEW *>(app::shell::LoadedPage(CHILD_GEN_REVIEW::FormName));
    }

    // The data file dialogs answer `dialogAnswer`.
    void answerDialogs()
    {
        app::common::desktop::setFileDialogRunner([this](QFileDialog &) { return dialogAnswer; });
    }

    // Messages are recorded; `onProgress` hears the progress notice's bar.
    void recordMessages(std::function<void(double)> onProgress)
    {
        app::common::desktop::setMessageDialogFactory([this, onProgress] {
            return std::make_unique<testsupport::RecordingMessageDialog>(
                [this](const QString &title, const QString &text) {
                    messages << title + QStringLiteral(": ") + text;
                },
                testsupport::RecordingMessageDialog::Answerer{}, onProgress);
        });
    }

    // Closes the window at the first progress short of the end; `closing` opens then.
    void closeOnFirstProgress(testsupport::Gate &closing)
    {
        recordMessages([this, &closing](double percent) {
            if (percent <= 0.0 || percent >= 100.0 || closing.isOpen())
                return;
            window->close();
            closing.open();
        });
    }

    QStringList failures() const { return messages.filter(QStringLiteral("could not be")); }
    QStringList dataFiles() const
    {
        return QDir(data.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<app::shell::ProgramContext> context;
    std::unique_ptr<app::shell::MainFrm> window;
    QStringList messages;
    QTemporaryDir data;
    QString dialogAnswer;
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

TEST_F(MainRoadTest, TheSignalPagesShowTheirControlsWholeAboveTheLogoFrame)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheModule());
    const QWidget *logo = window->findChild<QWidget *>(QStringLiteral("LogoFrame"));
    ASSERT_NE(logo, nullptr);
    const QRect frame = window->MainFrame()->geometry();
    const QStringList signalPages = {app::analysis::pages::CHILD_GEN_SCOPE::FormName,
                                     CHILD_GEN_CAPTURE::FormName, CHILD_GEN_REVIEW::FormName};
    const app::shell::Device *set = app::shell::CurrentDevice();
    ASSERT_NE(set, nullptr);
    int checked = 0;
    for (int number = 1; number <= set->ButtonCount(); ++number) {
        if (!signalPages.contains(set->Form(number)))
            continue;
        clickPageButton(number);
        ASSERT_EQ(currentPage(), set->Form(number));
        const QWidget *page = app::shell::CurrentPage();
        for (const QWidget *control :
             page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->isWindow() || !control->isVisible())
                continue;
            const QRect shown(control->mapTo(window.get(), QPoint(0, 0)), control->size());
            const std::string name =
                (currentPage() + QLatin1Char(' ') + control->metaObject()->className())
                    .toStdString();
            EXPECT_TRUE(frame.contains(shown)) << name;
            EXPECT_FALSE(shown.intersects(logo->geometry())) << name;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 3);
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

// Closing the program while a data file is written stops the writing at its next block; the
// program closes once it has, and leaves no file behind.
TEST_F(MainRoadTest, ClosingDuringASaveStopsItAndLeavesNoFile)
{
    startOnTheModule();
    CHILD_GEN_REVIEW *review = captureRampIntoReview(3 * app::analysis::CsvBlockLines);
    ASSERT_TRUE(review);
    ASSERT_EQ(currentPage(), CHILD_GEN_REVIEW::FormName);
    answerDialogs();
    dialogAnswer = data.filePath(QStringLiteral("trend.csv"));

    testsupport::Gate closing;
    closeOnFirstProgress(closing);
    // The second block waits for the close, so that the save cannot be over before it.
    app::analysis::SetCsvBlockWriteCheck(
        [&closing](int32_t block) { return block != 2 || closing.waitOpen(); });
    QTest::mouseClick(review->btnSave(), Qt::LeftButton);
    EXPECT_TRUE(closing.isOpen());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }));
    EXPECT_FALSE(app::analysis::CsvJobRunning());
    EXPECT_TRUE(dataFiles().isEmpty()) << dataFiles().join(' ').toStdString();
    EXPECT_TRUE(failures().isEmpty()) << failures().join('\n').toStdString();
}

TEST_F(MainRoadTest, ClosingDuringALoadStopsItAndKeepsTheSnapshot)
{
    startOnTheModule();
    CHILD_GEN_REVIEW *review = captureRampIntoReview(300);
    ASSERT_TRUE(review);
    const std::vector<float> before = app::analysis::CurrentSnapshot().readings;
    // Over a megabyte: the first progress report comes well before the end of the file.
    QByteArray bytes = "20200101000000.0\r\n";
    for (int i = 0; i < 200'000; ++i)
        bytes += "2.5000000\r\n";
    dialogAnswer = data.filePath(QStringLiteral("long.csv"));
    QFile file(dialogAnswer);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    answerDialogs();

    testsupport::Gate closing;
    closeOnFirstProgress(closing);
    QTest::mouseClick(review->btnLoad(), Qt::LeftButton);
    EXPECT_TRUE(closing.isOpen());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }));
    EXPECT_FALSE(app::analysis::CsvJobRunning());
    EXPECT_EQ(app::analysis::CurrentSnapshot().readings, before);
    EXPECT_TRUE(failures().isEmpty()) << failures().join('\n').toStdString();
}

// What a newcomer does first: stream, capture the trend, review and crop it, save it, load it
// back and save it again.
TEST_F(MainRoadTest, CaptureReviewCropSaveLoadAndSaveAgain)
{
    sim::DeviceConfig device;
    device.serial = 70000;
    device.signal.shape = sim::SignalShape::Sine;
    device.signal.frequency = 5.0;
    device.signal.amplitude = 0.5;
    device.signal.level = 1.0;
    sim::SimConfig config;
    config.devices = {device};
    sim::configure(config);
    answerDialogs();
    recordMessages({});
    startOnTheModule();

    clickPageButton(CaptureButton);
    ASSERT_EQ(currentPage(), CHILD_GEN_CAPTURE::FormName);
    auto *capture = static_cast<CHILD_GEN_CAPTURE *>(app::shell::CurrentPage());
    // Half a second of readings, drawn.
    ASSERT_TRUE(QTest::qWaitFor(
        [capture] { return app::analysis::BufferCount() >= 2'400 && capture->lastCount() > 0; },
        30'000));
    QTest::mouseClick(capture->RecordViewed(), Qt::LeftButton);
    ASSERT_EQ(currentPage(), CHILD_GEN_REVIEW::FormName);
    EXPECT_TRUE(window->ButtonBar1()->ButtonArray().at(ReviewButton - 1)->State());
    auto *review = static_cast<CHILD_GEN_REVIEW *>(app::shell::CurrentPage());
    const app::analysis::Snapshot captured = app::analysis::CurrentSnapshot();
    const int32_t n = captured.upperBound();
    ASSERT_GE(n, 2'400);
    ASSERT_LE(n, 48'000);
    EXPECT_FALSE(review->overviewBackground().isNull());
    EXPECT_GT(review->plottedCount(), 0);

    // Two notches of the wheel narrow the section; Crop keeps it.
    QWheelEvent wheel(QPointF(10, 10), review->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, 2 * 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(review, &wheel);
    const int32_t start = review->sectionStart();
    const int32_t length = review->sectionLength();
    ASSERT_LT(length, n * 0.9 / 2);
    ASSERT_TRUE(review->Zoom()->isEnabled());
    QTest::mouseClick(review->Zoom(), Qt::LeftButton);
    const app::analysis::Snapshot cropped = app::analysis::CurrentSnapshot();
    ASSERT_EQ(cropped.upperBound(), length);
    EXPECT_EQ(cropped.readings[1], captured.readings[static_cast<size_t>(start) + 1]);

    const QString first = data.filePath(QStringLiteral("first.csv"));
    const QString second = data.filePath(QStringLiteral("second.csv"));
    dialogAnswer = first;
    QTest::mouseClick(review->btnSave(), Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(first));
    // Something else is shown; loading the file brings the crop back as the file holds it.
    app::analysis::CurrentSnapshot().readings.assign(2, 0.0f);
    review->ShowSnapshot();
    QTest::mouseClick(review->btnLoad(), Qt::LeftButton);
    const app::analysis::Snapshot &loaded = app::analysis::CurrentSnapshot();
    ASSERT_EQ(loaded.upperBound(), length);
    EXPECT_EQ(loaded.startTime, cropped.startTime);
    EXPECT_EQ(loaded.startMicros, cropped.startMicros);
    for (int32_t p = 1; p <= length; ++p) {
        char text[app::analysis::MaxReadingChars];
        const int size =
            app::analysis::FormatReading(cropped.readings[static_cast<size_t>(p)], text);
        float written = 0.0f;
        ASSERT_TRUE(app::analysis::ParseReading(std::string_view(text, static_cast<size_t>(size)),
                                                written));
        ASSERT_EQ(loaded.readings[static_cast<size_t>(p)], written) << "position " << p;
    }
    EXPECT_EQ(review->sectionLength(), static_cast<int32_t>(std::nearbyint(length * 0.9)));

    dialogAnswer = second;
    QTest::mouseClick(review->btnSave(), Qt::LeftButton);
    const QByteArray saved = readFile(first);
    EXPECT_EQ(readFile(second), saved);
    // And over the first file again, which keeps its bytes.
    dialogAnswer = first;
    QTest::mouseClick(review->btnSave(), Qt::LeftButton);
    EXPECT_EQ(readFile(first), saved);
    EXPECT_THAT(dataFiles(), testing::UnorderedElementsAre(QStringLiteral("first.csv"),
                                                           QStringLiteral("second.csv")));
    EXPECT_TRUE(failures().isEmpty()) << failures().join('\n').toStdString();
}

} // namespace
