#ifndef APP_SHELL_PAGESWITCHCHECK_H
#define APP_SHELL_PAGESWITCHCHECK_H

#include <functional>

#include "app/shell/entryrequest.h"

namespace app::device {
class HXR;
} // namespace app::device

namespace app::shell {

// The check a page button runs before its page opens (index 1-based in the current set): true
// refuses the switch. A page that configures the module asks first while the recording runs;
// the lock page of a locked module asks for the passcode, which is read from the module there
// and then. A switch that goes ahead calls resetErrors.
bool RefusePageSwitch(int index, const EntryPrompt &ask, app::device::HXR *device,
                      const std::function<void()> &resetErrors);

} // namespace app::shell

#endif
