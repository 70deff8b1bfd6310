#include "app/shell/programlinks.h"

#include <utility>

#include "app/analysis/readingstream.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/childcontrol.h"
#include "app/shell/devicecontrol.h"
#include "platform/win/messagebox/messageboxpresenter.h"

namespace app::shell {

ProgramLinks::ProgramLinks(const ProgramLinkTargets &targets)
{
    try {
        installAll(targets);
    } catch (...) {
        removeAll(); // a constructor that throws runs no destructor
        throw;
    }
}

ProgramLinks::~ProgramLinks()
{
    removeAll();
}

void ProgramLinks::installAll(const ProgramLinkTargets &t)
{
    using namespace app::analysis;
    using namespace app::device;
    const bool pages = t.pageWindow && t.pageContainer;
    const bool help = t.helpArea.mainFrame || t.helpArea.help;
    link(
        true,
        [this] { presenter_ = std::make_unique<platform::win::messagebox::MessageBoxPresenter>(); },
        [this] { presenter_.reset(); });
    link(
        t.device, [&t] { SetHXRObject(t.device); }, [] { ClearHXRObject(); });
    link(
        t.device, [&t] { AttachReadingStream(t.device->driver()); }, [] { DetachReadingStream(); });
    link(
        pages, [&t] { SetPageContainer(t.pageWindow, t.pageContainer); },
        [] { SetPageContainer(nullptr, nullptr); });
    link(
        help, [&t] { SetHelpArea(t.helpArea); }, [] { SetHelpArea({}); });
    link(
        t.pageSetHost, [&t] { SetPageSetHost(t.pageSetHost); }, [] { SetPageSetHost(nullptr); });
}

void ProgramLinks::removeAll()
{
    while (!removals_.empty()) {
        removals_.back()();
        removals_.pop_back();
    }
}

void ProgramLinks::link(bool wanted, const std::function<void()> &install,
                        std::function<void()> remove)
{
    if (!wanted)
        return;
    install();
    removals_.push_back(std::move(remove));
}

} // namespace app::shell
