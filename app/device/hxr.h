#ifndef APP_DEVICE_HXR_H
#define APP_DEVICE_HXR_H

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QVariant>

#include "app/device/clock.h"
#include "app/device/deviceui.h"
#include "app/device/driverapi.h"
#include "platform/vb/format.h"

namespace app::device {

// The connected module: one property per module parameter, named by its mnemonic. A get reads
// the module ("MNEM?"), a set writes it ("MNEM=value"). Each parameter keeps its last good
// value, returned whenever a read fails or is skipped. The first failing driver call is
// latched in ErrorState; until ResetError nothing more is sent to the module. Parameter
// members never raise for driver failures.
//
// User-interface thread only.
class HXR
{
public:
    // The parameters with a last good value each, in the order of the member list.
    enum class Parameter : uint8_t {
        STAT,
        ADC,
        MVV,
        OVAL,
        VER,
        SERL,
        SERH,
        CONF,
        GAIN,
        OFFS,
        // Read-write singles, ZERO to PWD1.
        ZERO,
        ZGAI,
        ZOFS,
        UNTZ,
        DGAI,
        DOFS,
        UNTD,
        EGAI,
        EOFS,
        UNTE,
        MINS,
        HOUR,
        DAY,
        MNTH,
        YEAR,
        USR1,
        USR2,
        USR3,
        USR4,
        USR5,
        USR6,
        USR7,
        USR8,
        USR9,
        FMVG,
        FMVO,
        FSNL,
        FSNH,
        MODL,
        PMSK,
        PWD1,
        Count
    };
    static constexpr int ParameterCount = static_cast<int>(Parameter::Count);
    // The mnemonic sent to the module ("STAT").
    static const char *mnemonic(Parameter parameter);

    explicit HXR(DriverApi driver = DriverApi::unavailable(),
                 std::shared_ptr<Clock> clock = systemClock());
    HXR(const HXR &) = delete;
    HXR &operator=(const HXR &) = delete;

    // The driver table, for the calls that do not go through the object (INITIALISE,
    // FINDMINMAX).
    const DriverApi &driver() const { return driver_; }
    // The object's time source, for the pages' settle waits.
    Clock &clock() const { return *clock_; }
    void setUi(DeviceUi ui);

    // The error latch: 0, or the first failing driver result since the last reset.
    int16_t ErrorState() const { return errorState_; }
    void ErrorState(int16_t value) { errorState_ = value; }

    // A number for display with seven significant digits: formatted "0.######0" with the
    // user's decimal separator and then cut (not rounded) after the seventh significant digit.
    // The integer part is never cut. A text that is no number comes back unchanged.
    static QString FormatFloat(const QString &text);
    static QString FormatFloat(double value, const platform::vb::NumberSeparators &separators =
                                                 platform::vb::NumberSeparators::user());

    // Status word, read at most every 0.5 s; a negative word v reads as 65536 - |v|.
    double STAT();
    double ADC() { return readParameter(Parameter::ADC); }
    double MVV() { return readParameter(Parameter::MVV); }
    double OVAL() { return readParameter(Parameter::OVAL); }
    double VER() { return readParameter(Parameter::VER); }
    // The firmware version from VER: high byte + low byte / 100 (0x0107 gives 1.07).
    double VERSION();
    double SERL() { return readParameter(Parameter::SERL); }
    double SERH() { return readParameter(Parameter::SERH); }

    // SERH x 65536 + SERL, each half read as unsigned.
    double SERIALNUMBER();
    // Writes a new serial number (FSNL, FSNH), restarts the module with RST so that it takes
    // effect, waits a second on the clock (refusing other module calls meanwhile) and returns
    // to command mode. Numbers not above 0 do nothing, as does a call made while another module
    // call waits; fractions and numbers above 4294967295 raise VbError.
    void SERIALNUMBER(double number);
    // Asks the user for a serial number, writes it and reports the number read back.
    void SetSerial();

    bool CONF() { return readParameter(Parameter::CONF) != 0.0f; }
    void CONF(bool on) { writeParameter(Parameter::CONF, on ? 1.0f : 0.0f); }
    float GAIN() { return readParameter(Parameter::GAIN); }
    float OFFS() { return readParameter(Parameter::OFFS); }

    float ZERO() { return readParameter(Parameter::ZERO); }
    void ZERO(float value) { writeParameter(Parameter::ZERO, value); }
    float ZGAI() { return readParameter(Parameter::ZGAI); }
    void ZGAI(float value) { writeParameter(Parameter::ZGAI, value); }
    float ZOFS() { return readParameter(Parameter::ZOFS); }
    void ZOFS(float value) { writeParameter(Parameter::ZOFS, value); }
    float UNTZ() { return readParameter(Parameter::UNTZ); }
    void UNTZ(float value) { writeParameter(Parameter::UNTZ, value); }
    float DGAI() { return readParameter(Parameter::DGAI); }
    void DGAI(float value) { writeParameter(Parameter::DGAI, value); }
    float DOFS() { return readParameter(Parameter::DOFS); }
    void DOFS(float value) { writeParameter(Parameter::DOFS, value); }
    float UNTD() { return readParameter(Parameter::UNTD); }
    void UNTD(float value) { writeParameter(Parameter::UNTD, value); }
    float EGAI() { return readParameter(Parameter::EGAI); }
    void EGAI(float value) { writeParameter(Parameter::EGAI, value); }
    float EOFS() { return readParameter(Parameter::EOFS); }
    void EOFS(float value) { writeParameter(Parameter::EOFS, value); }
    float UNTE() { return readParameter(Parameter::UNTE); }
    void UNTE(float value) { writeParameter(Parameter::UNTE, value); }
    float MINS() { return readParameter(Parameter::MINS); }
    void MINS(float value) { writeParameter(Parameter::MINS, value); }
    float HOUR() { return readParameter(Parameter::HOUR); }
    void HOUR(float value) { writeParameter(Parameter::HOUR, value); }
    float DAY() { return readParameter(Parameter::DAY); }
    void DAY(float value) { writeParameter(Parameter::DAY, value); }
    float MNTH() { return readParameter(Parameter::MNTH); }
    void MNTH(float value) { writeParameter(Parameter::MNTH, value); }
    float YEAR() { return readParameter(Parameter::YEAR); }
    void YEAR(float value) { writeParameter(Parameter::YEAR, value); }
    float USR1() { return readParameter(Parameter::USR1); }
    void USR1(float value) { writeParameter(Parameter::USR1, value); }
    float USR2() { return readParameter(Parameter::USR2); }
    void USR2(float value) { writeParameter(Parameter::USR2, value); }
    float USR3() { return readParameter(Parameter::USR3); }
    void USR3(float value) { writeParameter(Parameter::USR3, value); }
    float USR4() { return readParameter(Parameter::USR4); }
    void USR4(float value) { writeParameter(Parameter::USR4, value); }
    float USR5() { return readParameter(Parameter::USR5); }
    void USR5(float value) { writeParameter(Parameter::USR5, value); }
    float USR6() { return readParameter(Parameter::USR6); }
    void USR6(float value) { writeParameter(Parameter::USR6, value); }
    float USR7() { return readParameter(Parameter::USR7); }
    void USR7(float value) { writeParameter(Parameter::USR7, value); }
    float USR8() { return readParameter(Parameter::USR8); }
    void USR8(float value) { writeParameter(Parameter::USR8, value); }
    float USR9() { return readParameter(Parameter::USR9); }
    void USR9(float value) { writeParameter(Parameter::USR9, value); }
    float FMVG() { return readParameter(Parameter::FMVG); }
    void FMVG(float value) { writeParameter(Parameter::FMVG, value); }
    float FMVO() { return readParameter(Parameter::FMVO); }
    void FMVO(float value) { writeParameter(Parameter::FMVO, value); }
    float FSNL() { return readParameter(Parameter::FSNL); }
    void FSNL(float value) { writeParameter(Parameter::FSNL, value); }
    float FSNH() { return readParameter(Parameter::FSNH); }
    void FSNH(float value) { writeParameter(Parameter::FSNH, value); }
    float MODL() { return readParameter(Parameter::MODL); }
    void MODL(float value) { writeParameter(Parameter::MODL, value); }
    float PMSK() { return readParameter(Parameter::PMSK); }
    void PMSK(float value) { writeParameter(Parameter::PMSK, value); }
    float PWD1() { return readParameter(Parameter::PWD1); }
    void PWD1(float value) { writeParameter(Parameter::PWD1, value); }

    // Module commands. RST also empties the reading ring buffer and sets StreamRunning, even
    // while the latch holds it back.
    void RST();
    void SCON() { runCommand("SCON"); }
    void SCOF() { runCommand("SCOF"); }
    void OPON() { runCommand("OPON"); }
    void OPOF() { runCommand("OPOF"); }

    // Bit `bitNumber` (1 = least significant, up to 32) of "STAT" or "PMSK" (any case); any
    // other name, another bit number or a word that is no 32-bit integer reads as clear.
    bool BooleanRead(const QString &name, int bitNumber);
    // 1 when STAT bit 13 (4096) is set.
    int16_t SCALON() { return BooleanRead(QStringLiteral("STAT"), 13) ? 1 : 0; }
    // True when STAT bit 12 (2048, integrity) is set.
    bool IntError() { return BooleanRead(QStringLiteral("STAT"), 12); }
    // 1 when bit `bitNumber` of PMSK is set.
    int16_t PMSKbit(int16_t bitNumber)
    {
        return BooleanRead(QStringLiteral("PMSK"), bitNumber) ? 1 : 0;
    }

    // The lock switches of PMSK: 1 when set. A change reads PMSK afresh and writes it back
    // with only that bit changed.
    int16_t LOCK_CAL() { return lockBit(1); }
    void LOCK_CAL(bool on) { setLockBit(1, on); }
    int16_t LOCK_SYSZERO() { return lockBit(2); }
    void LOCK_SYSZERO(bool on) { setLockBit(2, on); }
    int16_t LOCK_SHUNTCAL() { return lockBit(4); }
    void LOCK_SHUNTCAL(bool on) { setLockBit(4, on); }
    int16_t LOCK_DISPLAYUNITS() { return lockBit(8); }
    void LOCK_DISPLAYUNITS(bool on) { setLockBit(8, on); }

    void ResetError() { errorState_ = 0; }

    // Port calls; they neither look at nor change ErrorState. Like every call of this object
    // that works on the port, they do nothing while another such call waits (see
    // ModuleCommandRunning).
    void ClosePort();
    void OpenPort();
    // Clears StreamRunning and stops the stream.
    void CommandMode();
    int16_t DeviceCount() { return driver_.DEVICECOUNT(); }
    // Loads the stream gain and offset into the driver; True on success.
    bool ConfigureCal();

    // Writes the local date and time (read once) into YEAR, MNTH, DAY, HOUR, MINS.
    void SetCalDate();
    // The stored calibration date and time: the user's long date, two blanks, the long time.
    // Out-of-range parts roll over (month 13 is January of the next year); a date that cannot
    // exist (year outside 100 to 9999, parts that are no 16-bit integers) gives the empty text.
    QString GetCalDate();

    // Access by member name, matched without regard to case. GetByName reads a property and
    // returns an empty variant for an unknown name or any failure. LetByName converts the
    // value (a double for SERIALNUMBER, a single otherwise) and sets the property; an unknown
    // name or a value that does not convert raises VbError. MethodByName calls a method that
    // takes no arguments (or reads a property) and returns its result (empty for methods
    // without one); errors are raised.
    QVariant GetByName(const QString &name) noexcept;
    void LetByName(const QString &name, const QVariant &value);
    QVariant MethodByName(const QString &name);

private:
    struct Member;
    static const std::vector<Member> &members();
    static const Member *findMember(const QString &name);

    float readParameter(Parameter parameter);
    bool writeParameter(Parameter parameter, float value);
    bool runCommand(const char *command);
    int16_t lockBit(int32_t bit);
    void setLockBit(int32_t bit, bool on);
    void latch(int16_t result);

    DriverApi driver_;
    std::shared_ptr<Clock> clock_;
    DeviceUi ui_ = DeviceUi::defaults();
    int16_t errorState_ = 0;
    std::array<double, ParameterCount> lastGood_{};
    std::optional<int64_t> lastStatReadMs_;
};

} // namespace app::device

#endif
