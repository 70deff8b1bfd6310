#ifndef PLATFORM_FTD2XX_SIM_SIMCONFIG_H
#define PLATFORM_FTD2XX_SIM_SIMCONFIG_H

// What the simulated modules are: how many, what each one says about itself, the input signal at
// its sensor and the faults it shows on demand. Built by tests through the C++ API or parsed from
// the HXR_SIM text.
//
// HXR_SIM is a comma-separated list of key=value pairs. A key applies to every device, or, with
// a 1-based device number and a dot in front ("2.desc=HXR2"), to that device only.
//   devices=N          number of modules on the bus, 0 to 8 (default 1)
//   rate=N             stream readings a second (default 4800)
//   serial=N           serial number of device 1; device k gets N + k - 1 (default 100001)
//   model=N            MODL, 0 to 255 (default 1)
//   desc=TEXT          USB description (default "HXR")
//   signal=constant:V            input of V mV/V (default constant:1)
//   signal=sine:FREQ[:AMPL[:MEAN]]  FREQ Hz, AMPL mV/V (default 1) around MEAN mV/V (default 0)
//   signal=steps:SECONDS:V1[:V2...] each value held SECONDS, cycling; values in mV/V
//   noise=AMPL         uniform noise of +/- AMPL mV/V on the input
//   shunt=V            mV/V the shunt adds at the bridge while shunt calibration is on
//                      (SCON until SCOF or RST; default 0.5)
//   integrity=0|1      STAT bit 2048 (integrity error) set
//   silent=CMD[+CMD]   commands never answered (and not carried out)
//   reject=CMD[+CMD]   commands answered "?" (and not carried out)
//                      CMD is "*" (all), a mnemonic ("GAIN": any command of it) or a whole
//                      command ("GAIN?", "GAIN=" for writes); repeated keys add up
//   delay=MS           every reply comes MS milliseconds late
//   split=N            replies reach the host N bytes per read
//   junk=EVERY[:COUNT] COUNT bytes without bit 7 (default 1) before the first stream frame and
//                      after every EVERY frames
//   fail=STEP          set-up step that fails: open, baud, data, flow or latency
//   unplugged=0|1      the module is gone from the bus: not listed, and open handles fail
// Signals are given at the sensor, in mV/V; the module's chain turns them into ADC counts, MVV,
// OVAL and the stream.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ftd2xx::sim {

enum class SignalShape { Constant, Sine, Steps };

struct SignalConfig
{
    SignalShape shape = SignalShape::Constant;
    double level = 1.0;     // constant value; mean of a sine (mV/V)
    double frequency = 0.0; // sine, Hz
    double amplitude = 0.0; // sine, mV/V
    double dwell = 1.0;     // steps, seconds per value
    std::vector<double> steps;
    double noise = 0.0; // +/- mV/V, uniform
};

enum class SetupStep { None, Open, BaudRate, DataCharacteristics, FlowControl, LatencyTimer };

struct Faults
{
    std::vector<std::string> silent; // command patterns left unanswered
    std::vector<std::string> reject; // command patterns answered "?"
    int replyDelayMs = 0;
    int splitBytes = 0; // 0: a reply arrives whole
    int junkEvery = 0;  // 0: no junk bytes in the stream
    int junkCount = 1;
    SetupStep failStep = SetupStep::None;
    bool unplugged = false; // off the bus: not listed; open handles answer FT_IO_ERROR
};

struct DeviceConfig
{
    std::string description = "HXR";
    uint32_t serial = 100001;
    int model = 1;
    int rate = 4800;
    bool integrityError = false;
    double shuntStep = 0.5; // mV/V at the bridge while shunt calibration is on
    SignalConfig signal;
    Faults faults;
};

struct SimConfig
{
    std::vector<DeviceConfig> devices{DeviceConfig{}};
    std::string logPath; // file that every host frame is appended to; empty: none
};

constexpr int MaxDevices = 8;

// True when a pattern of the list (see silent= above) covers the command text.
bool matchesCommand(const std::vector<std::string> &patterns, std::string_view command);

// Parses an HXR_SIM text. Each bad key is described in errors and skipped; without an errors
// list the first bad key throws std::invalid_argument with that description.
SimConfig parseConfig(std::string_view text, std::vector<std::string> *errors = nullptr);

} // namespace platform::ftd2xx::sim

#endif
