#ifndef APP_SHELL_PROGRAMCONTEXT_H
#define APP_SHELL_PROGRAMCONTEXT_H

#include <functional>
#include <memory>

#include <QString>

#include "app/analysis/analysisstate.h"
#include "app/analysis/chart/chartstate.h"
#include "app/common/commonstate.h"
#include "app/common/desktop/desktopstate.h"
#include "app/controls/controlsstate.h"
#include "app/device/devicestate.h"
#include "app/shell/shellstate.h"
#include "platform/win/winstate.h"

class QWidget;

namespace app::device {
class HXR;
} // namespace app::device

namespace app::shell {

class ProgramLinks;
struct ProgramLinkTargets;

struct ProgramContextOptions
{
    // The folder whose two program fonts are added for the run; empty: none are added.
    QString fontFolder;
    // Registers the program's pages (only the composition root knows them all); empty: none.
    std::function<void()> registerPages;
};

// The program-wide state of one run: one state of each layer, current from the constructor to
// the destructor, so that a run (or a test) starts from defaults and leaves nothing behind.
// The program builds one before its main window; a test fixture builds one and drops it. It
// owns the program-wide links, the main window's and every fixture's.
class ProgramContext
{
public:
    explicit ProgramContext(const ProgramContextOptions &options = {});
    // Finishes the run's closing (closingsteps.h): what the main window's closing has not done,
    // with the linked device's port and the links; then the states go.
    ~ProgramContext();

    ProgramContext(const ProgramContext &) = delete;
    ProgramContext &operator=(const ProgramContext &) = delete;

    // The context whose state is current, or nullptr.
    static ProgramContext *current();

    // Installs the program-wide links, in place of any installed before; they stay until
    // unlink() or the context's end.
    void link(const ProgramLinkTargets &targets);
    void unlink();
    // Shows ShowMessage through the program's message form, owned by the given window.
    void useMessageForm(QWidget *owner);

private:
    // A layer's state, current while it lives.
    template <class State>
    struct Installed
    {
        State state;
        typename State::Scope scope{state};
    };

    void closeRun();

    // Lower layers first: the shell's pages and page sets go before what they use.
    Installed<platform::win::WinState> win_;
    Installed<app::common::CommonState> common_;
    Installed<app::device::DeviceState> device_;
    Installed<app::controls::ControlsState> controls_;
    Installed<app::common::desktop::DesktopState> desktop_;
    Installed<app::analysis::AnalysisState> analysis_;
    Installed<app::analysis::chart::ChartState> chart_;
    Installed<ShellState> shell_;
    app::device::HXR *linkedDevice_ = nullptr;
    std::unique_ptr<ProgramLinks> links_;
};

} // namespace app::shell

#endif
