#ifndef APP_SHELL_PROGRAMLINKS_H
#define APP_SHELL_PROGRAMLINKS_H

#include <functional>
#include <memory>
#include <vector>

#include "app/shell/menucontrol.h"

class QWidget;

namespace app::device {
class HXR;
} // namespace app::device

namespace platform::win::messagebox {
class MessageBoxPresenter;
} // namespace platform::win::messagebox

namespace app::shell {

class PageSetHost;

// What the program-wide links point to. A link whose object is missing is left out, so that a
// test fixture names only what it has.
struct ProgramLinkTargets
{
    // The device object (HXRObject) and the reading stream of its driver.
    app::device::HXR *device = nullptr;
    PageSetHost *pageSetHost = nullptr;
    // The window that hosts the pages, and the container they are shown in.
    QWidget *pageWindow = nullptr;
    QWidget *pageContainer = nullptr;
    HelpArea helpArea;
};

// Installs every program-wide link in its constructor (the message presenter always) and
// removes them in reverse order in its destructor. The program and the test fixtures construct
// this one object; a new link is one line in the constructor.
class ProgramLinks
{
public:
    explicit ProgramLinks(const ProgramLinkTargets &targets);
    ~ProgramLinks();

    ProgramLinks(const ProgramLinks &) = delete;
    ProgramLinks &operator=(const ProgramLinks &) = delete;

private:
    void installAll(const ProgramLinkTargets &targets);
    void removeAll();
    void link(bool wanted, const std::function<void()> &install, std::function<void()> remove);

    std::unique_ptr<platform::win::messagebox::MessageBoxPresenter> presenter_;
    std::vector<std::function<void()>> removals_;
};

} // namespace app::shell

#endif
