#ifndef PLATFORM_FTD2XX_SIM_SIMMODULE_H
#define PLATFORM_FTD2XX_SIM_SIMMODULE_H

// The simulated modules of this process, for the sim back-end and for tests.
//
// The modules come from HXR_SIM (see simconfig.h) and HXR_SIM_LOG (a file that every host frame
// is appended to, one a line, without its CR) until configure() is called; while no test has
// configured them, a changed HXR_SIM is taken up at the next enumeration of the devices.
// configure() powers up fresh modules at once: handles opened before keep talking to the old
// modules until they are closed, and the functions below reach only the new ones. A module keeps
// its parameters while it is closed and opened again. Devices are numbered from 0, in bus order.
//
// HXR_SIM_CONTROL names a file of fault keys in the HXR_SIM form (silent, reject, delay, split,
// junk, fail, unplugged; "2.delay=300" for one module; commas or line breaks between them) that the running modules follow: it is
// looked at, at most ten times a second, whenever the host lists the devices or uses a handle,
// and each change of its text replaces the faults of every module (a module the text does not
// name takes the faults given for all). Unplugged modules are not listed.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ftd2xx/sim/simclock.h"
#include "platform/ftd2xx/sim/simconfig.h"

namespace platform::ftd2xx::sim {

class SimDevice;

void configure(const SimConfig &config);
// HXR_SIM and HXR_SIM_LOG as they are now; bad keys are reported on stderr and skipped.
SimConfig fromEnvironment();
// Back to the environment's modules, as at start.
void reset();

// Takes up a changed HXR_SIM_CONTROL file now, if a tenth of a second has passed since the last
// look.
void followControlFile();

// Modules on the bus (unplugged ones are not).
int deviceCount();
// The device for the back-end, counting only modules on the bus; nothing past the last one.
std::shared_ptr<SimDevice> deviceAt(uint32_t index);

// Every module by its number, on the bus or not (an emulated bus follows their plugging).
int moduleCount();
std::shared_ptr<SimDevice> moduleAt(int device);

// A parameter as a host read would answer it now; nothing for a bad index or mnemonic.
std::optional<double> parameter(int device, std::string_view mnemonic);
// Sets a stored parameter, read-only ones (VER, SERL, SERH) included.
bool setParameter(int device, std::string_view mnemonic, double value);
// Faults take effect at once, on open handles too.
Faults faults(int device);
void setFaults(int device, const Faults &faults);
void setSignal(int device, const SignalConfig &signal);
void setIntegrityError(int device, bool on);
bool streaming(int device);
bool isOpen(int device);
// Stream frames sent, and lost because the host did not read them in time.
uint64_t framesSent(int device);
uint64_t framesLost(int device);

// Every line the host sent, without its CR, oldest first; device -1 means all devices. The log
// keeps the latest 100,000 lines.
std::vector<std::string> frameLog(int device = -1);
void clearFrameLog();

} // namespace platform::ftd2xx::sim

#endif
