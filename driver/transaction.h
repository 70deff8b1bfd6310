#ifndef DRIVER_TRANSACTION_H
#define DRIVER_TRANSACTION_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace driver {

struct DriverState;

// The frame holds "!001:", the command and a carriage return in 31 characters.
constexpr size_t MaxCommandLength = 25;
constexpr int ReplyTimeoutMs = 800;

// "!001:" + command + carriage return.
std::string commandFrame(std::string_view command);

// Sends `command` to device slot 1 and waits for its reply line; `value` receives the reply's
// leading number. Returns 0, -100 (no complete reply in time), -200 (no device, a command that
// does not fit the frame, a failed write or read) or -400 (the module answered "?").
// The empty command (command mode) returns 0 once written, without waiting.
int16_t transact(DriverState &state, std::string_view command, float &value);

} // namespace driver

#endif
