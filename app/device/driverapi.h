#ifndef APP_DEVICE_DRIVERAPI_H
#define APP_DEVICE_DRIVERAPI_H

#include <cstdint>

#include "hxrdrv.h"

namespace app::device {

// The driver library's exports, bound at run time. The device object calls the driver only
// through this table, so tests can hand it a fake one.
struct DriverApi
{
    void (*INITIALISE)(HXRReadingProc *proc) = nullptr;
    int16_t (*OPENPORT)() = nullptr;
    int16_t (*CLOSEPORT)() = nullptr;
    int16_t (*DEVICECOUNT)() = nullptr;
    float (*VERSION)() = nullptr;
    int16_t (*READCOMMAND)(const char *command, float *value) = nullptr;
    int16_t (*WRITECOMMAND)(const char *command, float value) = nullptr;
    int16_t (*EXECUTECOMMAND)(const char *command) = nullptr;
    void (*COMMANDMODE)() = nullptr;
    int16_t (*CONFIGCAL)() = nullptr;
    float (*INTGAIN)() = nullptr;
    float (*INTOFFS)() = nullptr;
    void (*FINDMINMAX)(const float *first, const int32_t *firstIndex, const int32_t *lastIndex,
                       float *minimum, float *maximum) = nullptr;
    intptr_t (*CREATECALLBACKWINDOW)(const int32_t *threadId) = nullptr;

    // A table for when no driver library could be bound: every command fails as with no
    // device open (-200), the port calls do nothing, CONFIGCAL fails and VERSION is 0.
    static DriverApi unavailable();

    // True when every entry is set.
    bool complete() const;
};

} // namespace app::device

#endif
