#ifndef DRIVER_READER_H
#define DRIVER_READER_H

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "driver/include/hxrdrv.h"
#include "driver/streamdecoder.h"
#include "platform/ftd2xx/ftd2xx.h"

namespace driver {

class Delivery;
class ReceiveClaim;

// The reader of device slot 1: polls the device every 10 ms, reads only when more than 50 bytes
// wait (a short command reply stays for the command loop) and no command waits for its reply,
// decodes and hands each batch over.
class Reader
{
public:
    static constexpr uint32_t ReadThreshold = 50;

    // What the reader polls; every member is owned by the driver state and outlives the reader.
    struct Sources
    {
        const std::atomic<FT_HANDLE> *device = nullptr;
        const std::atomic<int32_t> *stop = nullptr;
        const std::atomic<int32_t> *portOpen = nullptr;
        const std::atomic<float> *gain = nullptr;
        const std::atomic<float> *offset = nullptr;
        const std::atomic<HXRReadingProc> *procedure = nullptr;
        ReceiveClaim *claim = nullptr;
    };

    Reader(Sources sources, Delivery &delivery);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // Waits for the thread to end; the caller has set the stop flag and cancelled the delivery.
    void join();

private:
    void run();
    void pass();
    // Reads what waits into the decoder; the count of bytes read, 0 when nothing was taken.
    uint32_t take(FT_HANDLE device);

    const Sources sources_;
    Delivery &delivery_;
    StreamDecoder decoder_;
    std::vector<Reading> batch_;
    std::thread thread_;
};

} // namespace driver

#endif
