#include "app/shell/programversion.h"

namespace app::shell {

int ProgramMajorVersion()
{
    return HXR_VERSION_MAJOR;
}

int ProgramMinorVersion()
{
    return HXR_VERSION_MINOR;
}

int ProgramRevision()
{
    return HXR_VERSION_PATCH;
}

} // namespace app::shell
