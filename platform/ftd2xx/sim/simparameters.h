#ifndef PLATFORM_FTD2XX_SIM_SIMPARAMETERS_H
#define PLATFORM_FTD2XX_SIM_SIMPARAMETERS_H

// The simulated module's parameter store and output chain, knowing nothing of frames or bytes.
//
// Chain, from the sensor input x (mV/V):
//   bridge = x, plus the shunt step while shunt calibration is on (SCON until SCOF or RST)
//   ADC  = bridge * 100000 counts, rounded and held to 24 bits (the converter; fixed in hardware)
//   MVV  = (ADC - FMVO) * FMVG / 1e6
//   calibrated = MVV * EGAI - EOFS          (units UNTE)
//   displayed  = calibrated * DGAI - DOFS   (units UNTD)
//   OVAL = displayed - Z, with the system zero Z = ZERO * DGAI / ZGAI
// ZERO is a displayed value taken while ZGAI was the display gain (the pages store DGAI in ZGAI
// whenever they set a zero), so a later change of display gain rescales it with the display.
// ZOFS and UNTZ are kept as a record only: a zero is a difference, offsets cancel out of it. A
// ZGAI of 0 takes ZERO as it stands.
//   GAIN = EGAI * DGAI, OFFS = EOFS * DGAI + DOFS + Z, so GAIN * MVV - OFFS = OVAL.
// Stored values are held in single precision, as the module holds them.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ftd2xx/sim/simconfig.h"

namespace platform::ftd2xx::sim {

class SimParameters
{
public:
    // Firmware version word 0x0105.
    static constexpr double FirmwareVersion = 261.0;
    // STAT bits.
    static constexpr int IntegrityErrorBit = 2048;
    static constexpr int ShuntCalBit = 4096;

    explicit SimParameters(const DeviceConfig &config);

    // A host read for the present sensor input; nothing for an unknown or unreadable mnemonic.
    std::optional<double> read(std::string_view mnemonic, double input) const;
    // A host write; the value now stored, or nothing when the mnemonic is unknown or read-only
    // or the value is out of range.
    std::optional<double> write(std::string_view mnemonic, double value);
    // A host execute (RST, SCON, SCOF, OPON, OPOF); false for anything else. RST restarts the
    // module: the serial number from FSNH/FSNL, configuration flag and shunt calibration off.
    bool execute(std::string_view mnemonic);

    // Sets any stored value, read-only ones (VER, SERL, SERH) included; false for computed ones
    // and unknown mnemonics. For tests.
    bool force(std::string_view mnemonic, double value);

    double adc(double input) const;
    double mvv(double input) const;
    double oval(double mvv) const;
    double gain() const;
    double offs() const;
    int stat() const;
    uint32_t serial() const { return serial_; }

    // The empty command: configuration mode, CONF reads 1.
    void enterCommandMode();
    bool shuntCal() const { return shuntCal_; }
    bool outputOn() const { return outputOn_; }
    void setIntegrityError(bool on) { integrityError_ = on; }

private:
    double stored(std::string_view mnemonic) const;
    double systemZero() const;
    void setSerial(uint32_t serial);

    std::map<std::string, double, std::less<>> values_;
    uint32_t serial_ = 0;
    bool shuntCal_ = false;
    bool outputOn_ = false;
    bool integrityError_ = false;
    double shuntStep_ = 0.0;
};

} // namespace platform::ftd2xx::sim

#endif
