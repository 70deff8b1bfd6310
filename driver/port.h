#ifndef DRIVER_PORT_H
#define DRIVER_PORT_H

#include <cstdint>

namespace driver {

struct DriverState;
class Delivery;

// The calling thread's identifier, as the callback windows are titled with it.
int32_t currentThreadId();

// Closes whatever is open, starts the reader and its delivery object for the calling thread, then
// opens and sets up every device described "HXR" (at most four).
void openPort(DriverState &state);

// Stops and joins the reader (a hand-over waiting for the owner is dropped), closes the devices.
// Harmless when nothing is open.
void closePort(DriverState &state);

// A new delivery object for `threadId`, living on the calling thread.
Delivery &createCallbackWindow(DriverState &state, int32_t threadId);

} // namespace driver

#endif
