#ifndef TESTS_APP_PAGES_PAGEFIXTURE_H
#define TESTS_APP_PAGES_PAGEFIXTURE_H

// The device pages over the real driver library and the simulated module, hosted by the real
// page framework without a main window: a test configures the modules, shows pages through the
// page sets and reads what they show, what they said and what reached the module.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/readingstream.h"
#include "app/common/desktop/messages.h"
#include "app/common/globals.h"
#include "app/controls/vxbtn.h"
#include "app/device/clock.h"
#include "app/device/conversionmodule.h"
#include "app/device/driverlibrary.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/pages/child_gen_home.h"
#include "app/pages/child_gen_info.h"
#include "app/registerpages.h"
#include "app/shell/childcontrol.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/menucontrol.h"
#include "app/shell/pageforms.h"
#include "app/shell/programcontext.h"
#include "app/shell/programlinks.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/win/messagehook.h"
#include "support/fakepagesethost.h"
#include "support/manualclock.h"
#include "support/recordingmessagedialog.h"
#include "support/simenvironment.h"

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace pagetests {

namespace sim = platform::ftd2xx::sim;

// A message the pages showed through ShowMessage.
struct Shown
{
    QString title;
    QString text;

    bool operator==(const Shown &) const = default;
};

inline void PrintTo(const Shown &shown, std::ostream *os)
{
    *os << shown.title.toStdString() << ": " << shown.text.toStdString();
}

inline std::vector<Shown> &ShownMessages()
{
    static std::vector<Shown> shown;
    return shown;
}

// What the pages say to a change while a communication failure is latched.
inline const Shown CannotAlter{QStringLiteral("Communications Failure"),
                               QStringLiteral("You cannot alter values while communication "
                                              "errors exist!")};

// The writes the host sent since the log was cleared, without the frame head, in order:
// "EGAI=50.0000000".
inline std::vector<std::string> writtenFrames()
{
    std::vector<std::string> writes;
    for (const std::string &line : sim::frameLog()) {
        if (line.find('=') == std::string::npos)
            continue;
        const auto head = line.find(':');
        writes.push_back(head == std::string::npos ? line : line.substr(head + 1));
    }
    return writes;
}

// Called with each command the device object reads ("MVV"), before it goes to the module.
inline std::function<void(std::string_view)> &ReadObserver()
{
    static std::function<void(std::string_view)> observer;
    return observer;
}

// Reads of CONF answer 0 while set: a module that will not enter configuration mode.
inline bool &ConfReadsZero()
{
    static bool on = false;
    return on;
}

// The pointer shape while the port was last opened (Qt::ArrowCursor when no cursor was set).
inline Qt::CursorShape &CursorAtOpenPort()
{
    static Qt::CursorShape shape = Qt::ArrowCursor;
    return shape;
}

inline Qt::CursorShape CurrentCursor()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

inline app::device::DriverApi &LoadedDriver()
{
    testsupport::UseSimulatedModule();
    static app::device::DriverLibrary library;
    static app::device::DriverApi api;
    if (!library.isLoaded()) {
        library.load(QStringLiteral(HXR_PROGRAM_DIR));
        api = library.api();
    }
    return api;
}

inline app::device::DriverApi InterceptedDriver()
{
    app::device::DriverApi api = LoadedDriver();
    api.OPENPORT = []() -> int16_t {
        CursorAtOpenPort() = CurrentCursor();
        return LoadedDriver().OPENPORT();
    };
    api.READCOMMAND = [](const char *command, float *value) -> int16_t {
        if (ReadObserver())
            ReadObserver()(command);
        const int16_t result = LoadedDriver().READCOMMAND(command, value);
        if (result == HXR_OK && ConfReadsZero() && std::string_view(command) == "CONF")
            *value = 0.0f;
        return result;
    };
    return api;
}

class PageFixture : public testing::Test
{
protected:
    static constexpr uint32_t Serial = 70000;

    void SetUp() override
    {
        ASSERT_TRUE(LoadedDriver().complete()) << "libHXRDrv.so in " HXR_PROGRAM_DIR;
        ASSERT_TRUE(settingsDir.isValid());
        // Every piece of program state starts from its defaults and goes with the context.
        app::shell::ProgramContextOptions options;
        options.registerPages = &app::RegisterPages;
        context = std::make_unique<app::shell::ProgramContext>(options);
        app::common::setSettingsFilePath(settingsDir.filePath(QStringLiteral("Config.ini")));
        app::common::setDisplayFormat(QString());
        app::common::setDecimalSeparator(QStringLiteral("."));
        app::device::RegisterUnits();

        sim::DeviceConfig device;
        device.serial = Serial;
        modules.devices = {device};
        configureModules();

        ReadObserver() = {};
        ConfReadsZero() = false;
        CursorAtOpenPort() = Qt::ArrowCursor;
        ShownMessages().clear();
        app::common::desktop::setMessageDialogFactory([this] {
            return std::make_unique<testsupport::RecordingMessageDialog>(
                [](const QString &title, const QString &text) {
                    ShownMessages().push_back({title, text});
                },
                [this](const QString &title) {
                    const auto answer = answers.find(title);
                    return answer == answers.end() ? app::common::desktop::MessageAnswer::Ok
                                                   : answer->second;
                },
                [this](double percent) { progress.push_back(percent); });
        });
        platform::win::setMessageRecorder(
            [this](const QString &text, const QString &) { driverMessages.push_back(text); });

        clock = std::make_shared<testsupport::ManualClock>();
        clock->local.reset(); // the local time as it is
        hxr = std::make_unique<app::device::HXR>(InterceptedDriver(), clock);

        mainWindow.resize(760, 500);
        container = new QWidget(&mainWindow);
        container->setGeometry(20, 20, 720, 460);
        host.onStreamRunning = [](bool running) { app::device::setStreamRunning(running); };
        context->link(app::shell::ProgramLinkTargets{
            hxr.get(), &host, &mainWindow, container, {container, nullptr, &help, &extraInfo}});
        app::shell::BuildDeviceList(false);
        app::shell::SelectDevice(app::shell::HomeSetKey);
        mainWindow.show();
    }

    void TearDown() override
    {
        // Closes the pages and the port before the state they use goes.
        context.reset();
        sim::reset();
    }

    // Applies `modules` (a test changes it first): fresh modules, powered up at once.
    void configureModules() { sim::configure(modules); }

    // The Home page as the shell opens it in the HOME set: Activated runs.
    app::pages::CHILD_GEN_HOME *openHome()
    {
        app::shell::BuildButtonBar();
        return homePage();
    }

    app::pages::CHILD_GEN_HOME *homePage()
    {
        return static_cast<app::pages::CHILD_GEN_HOME *>(
            app::shell::LoadPage(app::pages::CHILD_GEN_HOME::FormName));
    }

    // The Information page when it is loaded, else nullptr.
    app::pages::CHILD_GEN_INFO *infoPage()
    {
        return static_cast<app::pages::CHILD_GEN_INFO *>(
            app::shell::LoadedPage(app::pages::CHILD_GEN_INFO::FormName));
    }

    // Opens the Home page and detects; the Information page is then current.
    app::pages::CHILD_GEN_INFO *connectModule()
    {
        openHome()->Detect();
        return infoPage();
    }

    // Connects the module and opens one of its pages as the button bar would: Activated runs.
    template <class Page>
    Page *openModulePage()
    {
        if (!connectModule())
            return nullptr;
        auto *page = static_cast<Page *>(app::shell::LoadPage(Page::FormName));
        app::shell::OpenPage(page);
        return page;
    }

    // openModulePage, then the frames and messages of getting there forgotten: the test sees
    // only what it does itself.
    template <class Page>
    Page *openModulePageAfresh()
    {
        Page *page = openModulePage<Page>();
        sim::clearFrameLog();
        ShownMessages().clear();
        return page;
    }

    // A steady input of `mvv` on the module.
    static void setInput(double mvv)
    {
        sim::SignalConfig signal;
        signal.level = mvv;
        sim::setSignal(0, signal);
    }

    // Types the text into the field and commits it with Enter, as the user would.
    static void enterText(app::controls::VXBtn *field, const QString &text)
    {
        field->setFocus();
        field->DoEdit();
        QTest::keyClicks(field->textEditor(), text);
        QTest::keyClick(field->textEditor(), Qt::Key_Return);
    }

    QString currentSet() const
    {
        const app::shell::Device *set = app::shell::CurrentDevice();
        return set ? set->MODEL : QString();
    }

    QString currentPageName() const
    {
        app::shell::ChildFormClass *page = app::shell::CurrentPage();
        return page ? page->objectName() : QString();
    }

    // How many frames the host sent that end with the given text ("CONF?").
    static int framesEndingWith(std::string_view tail)
    {
        const auto log = sim::frameLog();
        return static_cast<int>(std::count_if(log.begin(), log.end(), [tail](const auto &line) {
            return line.size() >= tail.size() &&
                   std::string_view(line).substr(line.size() - tail.size()) == tail;
        }));
    }

    QString settingsText() const
    {
        QFile file(app::common::SettingsFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }

    sim::SimConfig modules;
    QTemporaryDir settingsDir;
    std::shared_ptr<testsupport::ManualClock> clock;
    std::unique_ptr<app::device::HXR> hxr;
    testsupport::FakePageSetHost host;
    QWidget mainWindow;
    QWidget *container = nullptr; // the page container, inside the main window
    QPlainTextEdit help;
    QPlainTextEdit extraInfo;
    std::vector<QString> driverMessages;
    // Answers to questions by their title; any other is answered OK ("Yes").
    std::map<QString, app::common::desktop::MessageAnswer> answers;
    std::vector<double> progress; // every position a progress bar was set to
    // Declared after the device object and the widgets: it goes first, closing what uses them.
    std::unique_ptr<app::shell::ProgramContext> context;
};

} // namespace pagetests

#endif
