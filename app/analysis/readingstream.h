#ifndef APP_ANALYSIS_READINGSTREAM_H
#define APP_ANALYSIS_READINGSTREAM_H

namespace app::device {
struct DriverApi;
}

namespace app::analysis {

// Connects the ring to the device model and the driver: RST empties the ring, and block
// minimum and maximum go to the driver's FINDMINMAX. The reading procedure itself is
// OnReading, which the Home page hands to INITIALISE.
void AttachReadingStream(const app::device::DriverApi &driver);
void DetachReadingStream();

} // namespace app::analysis

#endif
