#ifndef TESTS_SUPPORT_SIMENVIRONMENT_H
#define TESTS_SUPPORT_SIMENVIRONMENT_H

#include <cstdlib>

namespace testsupport {

// The simulated module behind the USB layer, whatever the runner passed on. Set before the
// layer picks its back-end, that is before the driver library opens a port.
inline void UseSimulatedModule()
{
    setenv("HXR_FTDI", "sim", 1);
}

} // namespace testsupport

#endif
