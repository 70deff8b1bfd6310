#include "app/shell/programcontext.h"

#include "app/common/desktop/fonts.h"
#include "app/device/hxr.h"
#include "app/shell/closingsteps.h"
#include "app/shell/messagefrm.h"
#include "app/shell/programlinks.h"

namespace app::shell {

ProgramContext::ProgramContext(const ProgramContextOptions &options)
{
    shell_.state.context = this;
    try {
        if (!options.fontFolder.isEmpty())
            app::common::desktop::LoadFonts(options.fontFolder);
        if (options.registerPages)
            options.registerPages();
    } catch (...) {
        closeRun(); // a constructor that throws runs no destructor
        throw;
    }
}

ProgramContext::~ProgramContext()
{
    closeRun();
}

ProgramContext *ProgramContext::current()
{
    return ShellState::current().context;
}

void ProgramContext::link(const ProgramLinkTargets &targets)
{
    // The old links go first: removed after the new ones came, they would undo them.
    unlink();
    links_ = std::make_unique<ProgramLinks>(targets);
    linkedDevice_ = targets.device;
}

void ProgramContext::unlink()
{
    linkedDevice_ = nullptr;
    links_.reset();
}

void ProgramContext::useMessageForm(QWidget *owner)
{
    InstallMessageFrm(owner);
}

void ProgramContext::closeRun()
{
    ClosingSteps steps;
    steps.closePort = [this] {
        if (linkedDevice_)
            linkedDevice_->ClosePort();
    };
    steps.removeLinks = [this] { unlink(); };
    FinishClosing(steps, "ProgramContext", "closeRun");
}

} // namespace app::shell
