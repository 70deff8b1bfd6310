#ifndef TESTS_APP_PAGES_MAINWINDOWONSIM_H
#define TESTS_APP_PAGES_MAINWINDOWONSIM_H

// The whole toolkit as the user starts it, on the simulated module: the program state first,
// then the main window, which goes before the state it uses.

#include <memory>

#include <QString>
#include <QStringList>

#include "app/common/desktop/messages.h"
#include "app/registerpages.h"
#include "app/shell/entryrequest.h"
#include "app/shell/mainfrm.h"
#include "app/shell/programcontext.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/win/messagehook.h"
#include "support/recordingmessagedialog.h"
#include "support/simenvironment.h"

namespace pagetests {

// The program state on a simulated module that is `device`; every message the driver or a
// dialog shows the user lands in `messages`, which must outlast the state.
inline std::unique_ptr<app::shell::ProgramContext>
startProgramOnSimulatedModule(const platform::ftd2xx::sim::DeviceConfig &device,
                              QStringList &messages)
{
    namespace sim = platform::ftd2xx::sim;
    testsupport::UseSimulatedModule();
    sim::SimConfig config;
    config.devices = {device};
    sim::configure(config);
    app::shell::ProgramContextOptions program;
    program.registerPages = &app::RegisterPages;
    auto context = std::make_unique<app::shell::ProgramContext>(program);
    platform::win::setMessageRecorder(
        [&messages](const QString &text, const QString &) { messages << text; });
    app::common::desktop::setMessageDialogFactory(
        [&messages] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages); });
    return context;
}

// The main window over the started program, with the entry form passed by and the program's end
// left to the test.
inline std::unique_ptr<app::shell::MainFrm> makeMainWindow()
{
    app::shell::MainFrmOptions options;
    options.programFolder = QStringLiteral(HXR_PROGRAM_DIR);
    options.entry = [](const app::shell::EntryRequest &) { return app::shell::EntryAnswer{}; };
    options.endProgram = [](int) {};
    return std::make_unique<app::shell::MainFrm>(options);
}

// Closes what the two above opened, the window before the program state it uses, and puts the
// simulated modules back as they were.
inline void closeProgram(std::unique_ptr<app::shell::MainFrm> &window,
                         std::unique_ptr<app::shell::ProgramContext> &context)
{
    window.reset();
    context.reset();
    platform::ftd2xx::sim::reset();
}

} // namespace pagetests

#endif
