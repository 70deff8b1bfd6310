#ifndef PLATFORM_COM_COMERRORS_H
#define PLATFORM_COM_COMERRORS_H

namespace platform::com {

// Error numbers of object creation and calls, as the callers compare them.
inline constexpr int CannotCreateObject = 429;
inline constexpr int ElevationRequired = static_cast<int>(0x800702E4u);
inline constexpr int ObjectDisconnected = static_cast<int>(0x80010108u);
// A call arrived while another one was still running.
inline constexpr int CallRejected = static_cast<int>(0x80010001u);

} // namespace platform::com

#endif
