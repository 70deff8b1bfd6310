#include "driver/transaction.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>
#include <vector>

#include <QString>

#include "driver/driverstate.h"
#include "driver/receiveclaim.h"
#include "driver/replywait.h"
#include "platform/ftd2xx/ftd2xx.h"
#include "platform/vb/val.h"
#include "platform/win/messagehook.h"

namespace driver {

namespace {

constexpr size_t ReadBufferSize = 65536;
constexpr uint32_t MaxRead = 65535;
// A read this long is stream data, not a reply.
constexpr uint32_t MaxReplyRead = 100;
// Bit 7 marks the first byte of a stream frame; reply text never has it.
constexpr unsigned char FrameStartBit = 0x80;

void showMessage(const char *text)
{
    platform::win::showPlainMessage(QString::fromLatin1(text), QStringLiteral("HXRDrv"));
}

bool readSucceeded(FT_STATUS status)
{
    return status == FT_OK || status == FT_IO_ERROR;
}

bool sendFrame(FT_HANDLE device, std::string_view command)
{
    const std::string frame = commandFrame(command);
    uint32_t written = 0;
    const FT_STATUS status =
        FT_Write(device, frame.data(), static_cast<uint32_t>(frame.size()), &written);
    return status == FT_OK && written == frame.size();
}

// Adds what a read holds of the reply: all of a short read, up to a NUL. A long read is the
// stream, but its first frames may come in the same read as the answer that started them (RST):
// the bytes before the first frame start are kept when they end the reply.
void keepReplyBytes(std::string &reply, const char *bytes, uint32_t received)
{
    if (received < MaxReplyRead) {
        reply.append(bytes, strnlen(bytes, received));
        return;
    }
    const char *end = bytes + received;
    const char *frame = std::find_if(bytes, end, [](char byte) {
        return (static_cast<unsigned char>(byte) & FrameStartBit) != 0;
    });
    const std::string_view before(bytes, strnlen(bytes, static_cast<size_t>(frame - bytes)));
    if (frame != end && before.find('\r') != std::string_view::npos)
        reply.append(before);
}

enum class Wait { Complete, TimedOut, ReadFailed };

// Collects the reply line, taking it as soon as the device reports its arrival. What has arrived
// by the time the thread looks counts, however late the thread got to look: a busy machine must
// not turn a reply that came in time into a timeout.
Wait collectReply(FT_HANDLE device, ReplyWait &wait, std::string &reply)
{
    const auto deadline = ReplyWait::Clock::now() + std::chrono::milliseconds(ReplyTimeoutMs);
    std::vector<char> buffer(ReadBufferSize);
    for (;;) {
        uint32_t queued = 0;
        FT_GetQueueStatus(device, &queued);
        if (queued > 0) {
            uint32_t received = 0;
            const FT_STATUS status =
                FT_Read(device, buffer.data(), std::min(queued, MaxRead), &received);
            if (!readSucceeded(status))
                return Wait::ReadFailed;
            if (received > 0)
                keepReplyBytes(reply, buffer.data(), received);
        }
        // Stream bytes may follow the reply in the same read (RST starts the stream at once).
        if (reply.find('\r') != std::string::npos)
            return Wait::Complete;
        if (ReplyWait::Clock::now() >= deadline) {
            FT_GetQueueStatus(device, &queued);
            return Wait::TimedOut;
        }
        wait.waitUntil(deadline);
    }
}

} // namespace

std::string commandFrame(std::string_view command)
{
    std::string frame = "!001:";
    frame.append(command);
    frame.push_back('\r');
    return frame;
}

int16_t transact(DriverState &state, std::string_view command, float &value)
{
    const FT_HANDLE device = state.deviceHandles[1].load();
    if (!device) {
        showMessage("No handle");
        return HXR_NODEVICE;
    }
    if (command.size() > MaxCommandLength)
        return HXR_NODEVICE;
    ReplyWait wait(device);
    const ReceiveClaim::Scope claim(state.receiveClaim);
    if (!sendFrame(device, command)) {
        showMessage("Bad tx");
        return HXR_NODEVICE;
    }
    if (command.empty())
        return HXR_OK;

    std::string reply;
    switch (collectReply(device, wait, reply)) {
    case Wait::ReadFailed:
        return HXR_NODEVICE;
    case Wait::TimedOut:
        showMessage("timedout");
        return HXR_TIMEOUT;
    case Wait::Complete:
        break;
    }
    const bool rejected = reply.front() == '?';
    reply.resize(reply.find('\r'));
    value = static_cast<float>(platform::vb::Val(std::string_view(reply)));
    return rejected ? HXR_REJECTED : HXR_OK;
}

} // namespace driver
