#include "app/device/driverapi.h"

namespace app::device {

DriverApi DriverApi::unavailable()
{
    DriverApi api;
    api.INITIALISE = [](HXRReadingProc *) {};
    api.OPENPORT = []() -> int16_t { return 0; };
    api.CLOSEPORT = []() -> int16_t { return 0; };
    api.DEVICECOUNT = []() -> int16_t { return 0; };
    api.VERSION = []() -> float { return 0.0f; };
    api.READCOMMAND = [](const char *, float *) -> int16_t { return HXR_NODEVICE; };
    api.WRITECOMMAND = [](const char *, float) -> int16_t { return HXR_NODEVICE; };
    api.EXECUTECOMMAND = [](const char *) -> int16_t { return HXR_NODEVICE; };
    api.COMMANDMODE = []() {};
    api.CONFIGCAL = []() -> int16_t { return -1; };
    api.INTGAIN = []() -> float { return 0.0f; };
    api.INTOFFS = []() -> float { return 0.0f; };
    api.FINDMINMAX = [](const float *first, const int32_t *firstIndex, const int32_t *lastIndex,
                        float *minimum, float *maximum) {
        // Same contract as the driver's: 1-based, the caller guarantees the range.
        *minimum = *maximum = first[*firstIndex - 1];
        for (int32_t i = *firstIndex; i <= *lastIndex; ++i) {
            if (first[i - 1] > *maximum)
                *maximum = first[i - 1];
            if (first[i - 1] < *minimum)
                *minimum = first[i - 1];
        }
    };
    api.CREATECALLBACKWINDOW = [](const int32_t *) -> intptr_t { return 0; };
    return api;
}

bool DriverApi::complete() const
{
    return INITIALISE && OPENPORT && CLOSEPORT && DEVICECOUNT && VERSION && READCOMMAND &&
           WRITECOMMAND && EXECUTECOMMAND && COMMANDMODE && CONFIGCAL && INTGAIN && INTOFFS &&
           FINDMINMAX && CREATECALLBACKWINDOW;
}

} // namespace app::device
