#ifndef DRIVER_COMMANDS_H
#define DRIVER_COMMANDS_H

#include <cstdint>

namespace driver {

struct DriverState;

// The module commands behind the exports of the same names. Null texts or references, a command
// that does not fit the frame and a value that is not finite are refused with -200 and nothing
// is sent.
int16_t readCommand(DriverState &state, const char *mnemonic, float *value);
int16_t writeCommand(DriverState &state, const char *mnemonic, float value);
int16_t executeCommand(DriverState &state, const char *command);

// Stops the stream: the empty command, 200 ms for the module to settle, then both queues purged.
// Does nothing without a device in slot 1.
void commandMode(DriverState &state);

// Reads the stream's gain and offset ("GAIN?", "OFFS?"); 0, or -1 when either read fails (a gain
// read before the failure stays).
int16_t configCal(DriverState &state);

// Minimum and maximum of a(first..last), a 1-based array starting at `values`; when last < first
// both are a(first).
void findMinMax(const float *values, int32_t first, int32_t last, float &minimum, float &maximum);

} // namespace driver

#endif
