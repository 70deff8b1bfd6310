#include "app/shell/mainfrm.h"

#include <cstdlib>
#include <memory>
#include <ostream>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/shellhook.h"
#include "app/common/globals.h"
#include "app/controls/buttonbar.h"
#include "app/controls/vxbtn.h"
#include "app/device/driverapi.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/childcontrol.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/programcontext.h"
#include "platform/win/gui/qcolour.h"
#include "platform/win/messagehook.h"
#include "runleftovers.h"
#include "support/namedcase.h"
#include "support/recordingmessagedialog.h"
#include "support/simenvironment.h"
#include "testpages.h"

namespace app::shell {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace app::shell::testpages;

const QString ProgramDir = QStringLiteral(HXR_PROGRAM_DIR);

// The Review page's snapshot call, reached by name.
class ReviewPage : public TestPage
{
    Q_OBJECT

public:
    ReviewPage() : TestPage(QStringLiteral("CHILD_GEN_REVIEW")) {}
    Q_INVOKABLE void ShowSnapshot()
    {
        PageLog()
            << QStringLiteral("snapshot %1").arg(app::analysis::CurrentSnapshot().upperBound());
    }
};

class MainFrmTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::UseSimulatedModule();
        ASSERT_TRUE(folder_.isValid());
        context_ = std::make_unique<ProgramContext>();
        copyFromProgramDir("default.vxb");
        copyFromProgramDir("libHXRDrv.so");
        copyFromProgramDir("libhxrusb.so");
        platform::win::setMessageRecorder([this](const QString &text, const QString &caption) {
            boxes_ << caption + QStringLiteral(": ") + text;
        });
        app::common::desktop::setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages_); });
        RegisterTestPages({"CHILD_GEN_HOME", "CHILD_GEN_INFO", "CHILD_GEN_FILE", "CHILD_GEN_LOCK",
                           "CHILD_GEN_CALIBRATION"});
        RegisterPageFactory("CHILD_GEN_REVIEW", [] { return std::make_unique<ReviewPage>(); });
        PageLog().clear();
    }
    void TearDown() override
    {
        // The window goes before the program state it uses.
        window_.reset();
        context_.reset();
        unsetenv("HXR_FACTORY");
    }

    void copyFromProgramDir(const QString &name)
    {
        QFile::remove(folder_.filePath(name));
        ASSERT_TRUE(QFile::copy(QDir(ProgramDir).filePath(name), folder_.filePath(name)))
            << name.toStdString();
    }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(folder_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    MainFrm &makeWindow()
    {
        MainFrmOptions options;
        options.programFolder = folder_.path();
        options.entry = [this](const EntryRequest &request) {
            prompts_ << request.title;
            EntryAnswer answer;
            const QString reply =
                replies_.isEmpty() ? QStringLiteral("cancel") : replies_.takeFirst();
            answer.cancelled = reply == QLatin1String("cancel");
            answer.value = answer.cancelled ? QStringLiteral("-1") : reply;
            return answer;
        };
        options.endProgram = [this](int code) {
            ended_ << code;
            if (onEnd)
                onEnd();
        };
        options.closeWaitMs = closeWaitMs_;
        options.driver = driver_;
        window_ = std::make_unique<MainFrm>(options);
        return *window_;
    }

    QTemporaryDir folder_;
    std::unique_ptr<ProgramContext> context_;
    std::unique_ptr<MainFrm> window_;
    QStringList boxes_;    // plain message boxes: "caption: text"
    QStringList messages_; // ShowMessage: "title: text"
    QStringList prompts_;  // entry dialog titles
    QStringList replies_;  // entry dialog answers in order: "cancel" or a value
    QList<int> ended_;
    std::function<void()> onEnd;
    int closeWaitMs_ = 15000;
    std::optional<app::device::DriverApi> driver_;
};

TEST_F(MainFrmTest, StartsOnTheHomeSetWithTheVersionsAndFolders)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    EXPECT_TRUE(boxes_.isEmpty()) << boxes_.join('\n').toStdString();
    EXPECT_EQ(w.versionText(), "Version: 01.00 (build 0) | DLL: 01.00");
    EXPECT_EQ(w.titleText(), "HXR Toolkit");
    EXPECT_NE(app::device::HXRObject(), nullptr);
    EXPECT_TRUE(CurrentConnection().AutoDetectPending);
    ASSERT_NE(CurrentDevice(), nullptr);
    EXPECT_EQ(CurrentDevice()->MODEL, HomeSetKey);
    ASSERT_NE(CurrentPage(), nullptr);
    EXPECT_EQ(CurrentPage()->objectName(), "CHILD_GEN_HOME");
    EXPECT_THAT(app::common::SettingsFilePath().toStdString(),
                ::testing::EndsWith("/HXR Toolkit/Config.ini"));
    EXPECT_TRUE(QDir(QFileInfo(app::common::SettingsFilePath()).path()).exists());
    EXPECT_TRUE(QDir(app::common::DataFolder()).exists());
    EXPECT_EQ(w.recordText(), "Recorded 00:00");
    EXPECT_FALSE(w.captureEnabled());
}

TEST_F(MainFrmTest, AStreamThatStopsShowsWithoutWaitingForAPageRefresh)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    w.PageRefreshTimer()->stop(); // only the window's watch looks at the readings
    app::device::setStreamRunning(true);
    app::analysis::BufferPut(1.0f);
    QTRY_COMPARE_WITH_TIMEOUT(w.recordText(), QStringLiteral("No readings... 00:00"), 10000);
    app::analysis::BufferPut(1.0f);
    QTRY_COMPARE_WITH_TIMEOUT(w.recordText(), QStringLiteral("Recording... 00:00"), 10000);
    app::device::setStreamRunning(false);
}

TEST_F(MainFrmTest, StatusLineButtonsKeepTheirCaptionSizeUnderTheBranding)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load()); // the branding has recoloured every "Button" control by now
    int found = 0;
    for (const app::controls::VXBtn *button : w.findChildren<app::controls::VXBtn *>()) {
        if (!QStringList{"Reset", "Capture", "Clear", "Recorded 00:00"}.contains(button->Caption()))
            continue;
        ++found;
        EXPECT_FALSE(button->Stretch()) << button->Caption().toStdString();
        EXPECT_EQ(button->Font().pointSizeF(), 9.0) << button->Caption().toStdString();
    }
    EXPECT_EQ(found, 4);
}

struct DriverCase
{
    const char *name;
    const char *file;    // what sits at libHXRDrv.so; nullptr: nothing
    const char *message; // the start of the critical message
};

using testsupport::PrintTo;

class DriverFailureTest : public MainFrmTest, public ::testing::WithParamInterface<DriverCase>
{};

TEST_P(DriverFailureTest, EndsWithTheCriticalErrorAfterTheEarlierSteps)
{
    const DriverCase &c = GetParam();
    QFile::remove(folder_.filePath("libHXRDrv.so"));
    if (c.file)
        writeFile("libHXRDrv.so", c.file);
    MainFrm &w = makeWindow();
    EXPECT_FALSE(w.Load());
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_[0].startsWith(QStringLiteral("Critical Error: ") + c.message))
        << boxes_[0].toStdString();
    // The branding and the folders came before, the page sets never.
    EXPECT_EQ(w.titleText(), "HXR Toolkit");
    EXPECT_TRUE(QDir(app::common::DataFolder()).exists());
    EXPECT_EQ(CurrentDevice(), nullptr);
    EXPECT_EQ(CurrentPage(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, DriverFailureTest,
    ::testing::Values(DriverCase{"Missing", nullptr, "Cannot find the libHXRDrv.so."},
                      DriverCase{"Empty", "", "Cannot find the libHXRDrv.so."},
                      DriverCase{"Broken", "not a library",
                                 "The USB drivers have not been installed correctly!"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MainFrmTest, AFailedBrandingEndsTheStartOutsideFactoryMode)
{
    writeFile("default.vxb", "<branding/>");
    MainFrm &w = makeWindow();
    EXPECT_FALSE(w.Load());
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_[0].startsWith("Warning: The integrity of the branding resource data"));
    EXPECT_EQ(app::device::HXRObject(), nullptr);
}

TEST_F(MainFrmTest, AFailedBrandingInFactoryModeGoesOnWithTheCompleteDesignLook)
{
    writeFile("default.vxb", "<branding/>");
    setenv("HXR_FACTORY", "1", 1);
    MainFrm &w = makeWindow();
    EXPECT_TRUE(w.Load());
    EXPECT_EQ(boxes_.size(), 1);
    EXPECT_EQ(w.titleText(), "HXR Toolkit");
    EXPECT_EQ(CurrentBranding().colours, BuiltInPalette()); // no colour left black
    EXPECT_EQ(w.palette().color(QPalette::Window),
              platform::win::gui::toQColor(BuiltInPalette()[0]));
    SelectDevice(ModuleSetKey);
    EXPECT_EQ(CurrentDevice()->ButtonCount(), 10); // the factory page button
}

TEST_F(MainFrmTest, EveryPageButtonTakesItsOwnClicksBesideTheTitle)
{
    setenv("HXR_FACTORY", "1", 1);
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    w.show();
    SelectDevice(ModuleSetKey);
    BuildButtonBar();
    int shown = 0;
    for (app::controls::VXBtn *button : w.ButtonBar1()->ButtonArray()) {
        if (button->isHidden())
            continue;
        ++shown;
        const QPoint centre = button->mapTo(&w, button->rect().center());
        EXPECT_EQ(w.childAt(centre), button) << button->Caption().toStdString();
    }
    EXPECT_EQ(shown, 10);
}

TEST_F(MainFrmTest, ABrandFileIsPreferred)
{
    writeFile("brand.vxb", "<branding/>"); // present but unsigned: it is the one checked
    MainFrm &w = makeWindow();
    EXPECT_FALSE(w.Load());
    EXPECT_EQ(boxes_.size(), 1);
}

struct SwitchCase
{
    const char *name;
    bool moduleSet;
    int button;
    bool streaming;
    int16_t lockMask;
    QStringList replies;
    bool refused;
    QStringList prompts;
    const char *message; // start of the ShowMessage text, or ""
};

class SwitchCheckTest : public MainFrmTest, public ::testing::WithParamInterface<SwitchCase>
{};

const QString Recording = QStringLiteral("Recording In Progress");
const QString Lock = QStringLiteral("Lock Settings");

TEST_P(SwitchCheckTest, AsksAndRefusesByTheTargetPage)
{
    const SwitchCase &c = GetParam();
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    app::device::HXR &hxr = *w.device();
    hxr.OpenPort();
    hxr.CommandMode();
    hxr.PWD1(123456.0f);
    ASSERT_EQ(hxr.ErrorState(), 0);
    hxr.ErrorState(-100); // a latched error: the passcode must still be read afresh
    if (c.moduleSet)
        SelectDevice(ModuleSetKey);
    app::device::setStreamRunning(c.streaming);
    CurrentConnection().LockMask = c.lockMask;
    replies_ = c.replies;
    messages_.clear();

    EXPECT_EQ(w.ButtonClickCheck(c.button), c.refused);
    EXPECT_EQ(prompts_, c.prompts);
    if (*c.message) {
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].startsWith(c.message)) << messages_[0].toStdString();
    } else {
        EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
    }
    if (!c.refused) {
        EXPECT_EQ(hxr.ErrorState(), 0); // a switch that goes on resets the latch
    }
    hxr.ClosePort();
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SwitchCheckTest,
    ::testing::Values(
        SwitchCase{"CaptureWhileRecordingAsksNothing", true, 4, true, 0, {}, false, {}, ""},
        SwitchCase{"InfoWhileRecordingAsks", true, 2, true, 0, {"1"}, false, {Recording}, ""},
        SwitchCase{
            "InfoWhileRecordingDeclined", true, 2, true, 0, {"cancel"}, true, {Recording}, ""},
        SwitchCase{"HomeWhileRecordingAsks", true, 1, true, 0, {"cancel"}, true, {Recording}, ""},
        SwitchCase{"ReviewOfTheHomeSetIsNoModulePage", false, 2, true, 0, {}, false, {}, ""},
        SwitchCase{"InfoWhenNotRecording", true, 2, false, 0, {}, false, {}, ""},
        SwitchCase{"UnlockedLockPage", true, 9, false, 0, {}, false, {}, ""},
        SwitchCase{"RightPasscode", true, 9, false, 1, {"123456"}, false, {Lock}, ""},
        SwitchCase{"WrongPasscode",
                   true,
                   9,
                   false,
                   1,
                   {"000000"},
                   true,
                   {Lock},
                   "Lock Settings: Sorry that passcode was incorrect!"},
        SwitchCase{"PasscodeCancelled", true, 9, false, 1, {"cancel"}, true, {Lock}, ""},
        SwitchCase{"RecordingThenPasscode",
                   true,
                   9,
                   true,
                   1,
                   {"1", "123456"},
                   false,
                   {Recording, Lock},
                   ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MainFrmTest, APasscodeThatCannotBeReadIsRefused)
{
    // A module that rejects every read.
    app::device::DriverApi driver = app::device::DriverApi::unavailable();
    driver.VERSION = [] { return 1.0f; };
    driver.READCOMMAND = [](const char *, float *) -> int16_t { return -400; };
    driver_ = driver;
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    SelectDevice(ModuleSetKey);
    CurrentConnection().LockMask = 1;
    replies_ = {"000000"}; // would match the never-read value 0
    EXPECT_TRUE(w.ButtonClickCheck(9));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith("Lock Settings: The passcode could not be read"));
}

TEST_F(MainFrmTest, TheErrorResetAlwaysResets)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    w.device()->ErrorState(-100);
    UpdateCommsStatus();
    EXPECT_EQ(w.infoText(), "Communications Failure: -100");
    EXPECT_TRUE(w.errorResetEnabled());
    ASSERT_TRUE(CurrentConnection().ConnectionStatusText.isEmpty()); // no module connected
    w.DoErrorReset();
    EXPECT_EQ(w.device()->ErrorState(), 0);
    EXPECT_FALSE(w.errorResetEnabled());
    EXPECT_EQ(w.infoText(), "");
}

TEST_F(MainFrmTest, CaptureSwitchesToReviewBeforeShowingTheSnapshot)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    app::analysis::ResetBuffer();
    for (int i = 0; i < 10; ++i)
        app::analysis::BufferPut(1.0f);
    PageLog().clear();
    w.RecordCaptureClick(); // the Home set: Review is button 2
    EXPECT_THAT(PageLog(),
                ElementsAre("deactivate CHILD_GEN_HOME", "load CHILD_GEN_REVIEW",
                            "help CHILD_GEN_REVIEW", "activate CHILD_GEN_REVIEW", "snapshot 10"));
    EXPECT_EQ(CurrentPage()->objectName(), "CHILD_GEN_REVIEW");
    EXPECT_TRUE(w.ButtonBar1()->ButtonArray()[1]->State());
}

TEST_F(MainFrmTest, HoverTipsSplitTitleAndBody)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    w.TipOn("Save && Restore*Body text");
    EXPECT_EQ(w.helpTitle(), "Save & Restore");
    EXPECT_EQ(w.iconHelpText(), "Body text");
    w.TipOn("plain");
    EXPECT_EQ(w.iconHelpText(), "No information available!");
    EXPECT_EQ(w.helpTitle(), "Save & Restore");
}

TEST_F(MainFrmTest, AClosingDuringARefreshWaitsForItAndNeverDestroysThePageUnderIt)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    w.show();
    QPointer<ChildFormClass> home = CurrentPage();
    QEventLoop pageLoop;
    bool homeAliveAfterClose = false;
    LoadedTestPage("CHILD_GEN_HOME")->onRefresh = [&] {
        QTimer::singleShot(0, &w, [&] {
            w.close(); // arrives while the page refreshes
            homeAliveAfterClose = !home.isNull();
        });
        QTimer::singleShot(30, &pageLoop, &QEventLoop::quit); // then the refresh finishes
        pageLoop.exec();
    };
    QEventLoop outer;
    onEnd = [&] { outer.quit(); };
    QTimer::singleShot(0, &w, [] { RefreshCurrentPage(); });
    QTimer::singleShot(5000, &outer, &QEventLoop::quit);
    outer.exec();

    EXPECT_TRUE(homeAliveAfterClose);
    EXPECT_THAT(ended_, ElementsAre(0));
    EXPECT_TRUE(home.isNull()); // destroyed once its refresh had returned
    EXPECT_TRUE(boxes_.isEmpty());
    EXPECT_TRUE(messages_.contains("Closing...: Waiting for current page refresh to complete..."));
    EXPECT_EQ(app::device::HXRObject(), nullptr);
}

TEST_F(MainFrmTest, ARefreshThatNeverReturnsDelaysTheCloseThenTheCloseGoesOn)
{
    closeWaitMs_ = 50;
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    w.show();
    QPointer<ChildFormClass> home = CurrentPage();
    QEventLoop pageLoop;
    bool homeAliveAtEnd = false;
    // A refresh that lets events run, as a page waiting on the module does.
    LoadedTestPage("CHILD_GEN_HOME")->onRefresh = [&pageLoop] { pageLoop.exec(); };
    onEnd = [&] {
        homeAliveAtEnd = !home.isNull();
        pageLoop.quit(); // the program ends: the hung refresh unwinds
    };
    QTimer::singleShot(0, &w, [&] { w.close(); });
    RefreshCurrentPage();

    EXPECT_THAT(boxes_, ElementsAre("Error Closing: Tried to shut down but events still being "
                                    "executed in child page refresh!"));
    EXPECT_THAT(ended_, ElementsAre(0));
    EXPECT_TRUE(homeAliveAtEnd);
    EXPECT_TRUE(home.isNull());
}

TEST_F(MainFrmTest, DestroyedWithoutACloseItLeavesNothingBehind)
{
    const runleftovers::FontFolder fonts;
    app::common::desktop::LoadFonts(fonts.path());
    driver_ = runleftovers::CountingDriver();
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    w.device()->OpenPort();
    const QPointer<ChildFormClass> home = CurrentPage();
    ASSERT_EQ(runleftovers::Leftovers(home), runleftovers::Everything());

    window_.reset();
    EXPECT_THAT(runleftovers::Leftovers(home), IsEmpty());
    EXPECT_THAT(ended_, IsEmpty());
}

TEST_F(MainFrmTest, TicksAreSkippedWhileARefreshRuns)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    int refreshes = 0;
    int ticks = 0;
    LoadedTestPage("CHILD_GEN_HOME")->onRefresh = [&] {
        if (++refreshes == 1) {
            // This refresh lets events run until the timer has ticked twice.
            QSignalSpy timeouts(w.PageRefreshTimer(), &QTimer::timeout);
            w.PageRefreshTimer()->setInterval(5);
            EXPECT_TRUE(QTest::qWaitFor([&timeouts] { return timeouts.count() >= 2; }, 10000));
            ticks = static_cast<int>(timeouts.count());
        }
    };
    RefreshCurrentPage();
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(refreshes, 1) << "the ticks during the refresh were skipped";
}

TEST_F(MainFrmTest, HelpThatCannotBeOpenedSaysWhereTheManualIsAndWhy)
{
    MainFrm &w = makeWindow();
    ASSERT_TRUE(w.Load());
    copyFromProgramDir("PLMUSB Standard Manual.pdf");
    QStringList opened;
    app::common::desktop::setShellHook(
        [&](const QUrl &target, const QString &, const app::common::desktop::ShellFailed &failed) {
            opened << target.toLocalFile();
            failed(QStringLiteral("No program on this computer is set up to open it."));
        });
    auto *menu = w.findChild<QMenu *>(QStringLiteral("mnuHelp"));
    ASSERT_NE(menu, nullptr);
    const QList<QAction *> items = menu->actions();
    ASSERT_GE(items.size(), 2);
    items[0]->trigger(); // the standard manual is there, but nothing opens it
    items[1]->trigger(); // the advanced manual is missing from the program folder
    app::common::desktop::setShellHook({});

    const QString standard = folder_.filePath(QStringLiteral("PLMUSB Standard Manual.pdf"));
    EXPECT_THAT(opened, ElementsAre(standard, standard));
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_TRUE(messages_[0].startsWith("Cannot Open File: "));
    EXPECT_TRUE(messages_[0].contains(standard));
    EXPECT_TRUE(messages_[0].contains("No program on this computer is set up to open it."));
    EXPECT_TRUE(
        messages_[1].contains(folder_.filePath(QStringLiteral("PLMUSB Advanced Manual.pdf"))));
    EXPECT_TRUE(messages_[1].contains("The file does not exist."));
}

} // namespace
} // namespace app::shell

#include "test_mainfrm.moc"
