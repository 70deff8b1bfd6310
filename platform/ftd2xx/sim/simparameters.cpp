#include "platform/ftd2xx/sim/simparameters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace platform::ftd2xx::sim {

namespace {

enum class Access { Computed, ReadOnly, ReadWrite };
enum class Kind { Real, Whole, Flag };

struct Descriptor
{
    std::string_view name;
    Access access;
    Kind kind = Kind::Real;
    double low = 0.0; // range of whole numbers
    double high = 0.0;
};

constexpr double ByteMax = 255.0;
constexpr double WordMax = 65535.0;

constexpr std::array Table{
    Descriptor{"STAT", Access::Computed},
    Descriptor{"ADC", Access::Computed},
    Descriptor{"MVV", Access::Computed},
    Descriptor{"OVAL", Access::Computed},
    Descriptor{"VER", Access::ReadOnly},
    Descriptor{"SERL", Access::ReadOnly},
    Descriptor{"SERH", Access::ReadOnly},
    Descriptor{"CONF", Access::ReadWrite, Kind::Flag},
    Descriptor{"GAIN", Access::Computed},
    Descriptor{"OFFS", Access::Computed},
    Descriptor{"ZERO", Access::ReadWrite},
    Descriptor{"ZGAI", Access::ReadWrite},
    Descriptor{"ZOFS", Access::ReadWrite},
    Descriptor{"UNTZ", Access::ReadWrite, Kind::Whole, 0.0, ByteMax},
    Descriptor{"DGAI", Access::ReadWrite},
    Descriptor{"DOFS", Access::ReadWrite},
    Descriptor{"UNTD", Access::ReadWrite, Kind::Whole, 0.0, ByteMax},
    Descriptor{"EGAI", Access::ReadWrite},
    Descriptor{"EOFS", Access::ReadWrite},
    Descriptor{"UNTE", Access::ReadWrite, Kind::Whole, 0.0, ByteMax},
    // Date fields take what they are given: the program rolls odd dates over itself.
    Descriptor{"MINS", Access::ReadWrite},
    Descriptor{"HOUR", Access::ReadWrite},
    Descriptor{"DAY", Access::ReadWrite},
    Descriptor{"MNTH", Access::ReadWrite},
    Descriptor{"YEAR", Access::ReadWrite},
    Descriptor{"USR1", Access::ReadWrite},
    Descriptor{"USR2", Access::ReadWrite},
    Descriptor{"USR3", Access::ReadWrite},
    Descriptor{"USR4", Access::ReadWrite},
    Descriptor{"USR5", Access::ReadWrite},
    Descriptor{"USR6", Access::ReadWrite},
    Descriptor{"USR7", Access::ReadWrite},
    Descriptor{"USR8", Access::ReadWrite},
    Descriptor{"USR9", Access::ReadWrite},
    Descriptor{"FMVG", Access::ReadWrite},
    Descriptor{"FMVO", Access::ReadWrite},
    Descriptor{"FSNL", Access::ReadWrite, Kind::Whole, 0.0, WordMax},
    Descriptor{"FSNH", Access::ReadWrite, Kind::Whole, 0.0, WordMax},
    Descriptor{"MODL", Access::ReadWrite, Kind::Whole, 0.0, ByteMax},
    Descriptor{"PMSK", Access::ReadWrite, Kind::Whole, 0.0, WordMax},
    Descriptor{"PWD1", Access::ReadWrite},
};

const Descriptor *describe(std::string_view mnemonic)
{
    const auto found = std::find_if(Table.begin(), Table.end(),
                                    [&](const Descriptor &d) { return d.name == mnemonic; });
    return found == Table.end() ? nullptr : &*found;
}

// The converter: counts per mV/V and its 24-bit range.
constexpr double CountsPerMvv = 100000.0;
constexpr double AdcMin = -8388608.0;
constexpr double AdcMax = 8388607.0;

// The value as the module would hold it, or nothing when it does not fit the parameter.
std::optional<double> accepted(const Descriptor &descriptor, double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    switch (descriptor.kind) {
    case Kind::Flag:
        return value != 0.0 ? 1.0 : 0.0;
    case Kind::Whole: {
        const double rounded = std::nearbyint(value);
        if (rounded < descriptor.low || rounded > descriptor.high)
            return std::nullopt;
        return rounded;
    }
    case Kind::Real:
        break;
    }
    return static_cast<double>(static_cast<float>(value));
}

} // namespace

SimParameters::SimParameters(const DeviceConfig &config)
{
    // A 2 mV/V load cell calibrated to 100 kg (unit 45, kilograms), shown in kilograms, no zero.
    values_ = {
        {"VER", FirmwareVersion},
        {"CONF", 0.0},
        {"ZERO", 0.0},
        {"ZGAI", 1.0},
        {"ZOFS", 0.0},
        {"UNTZ", 45.0},
        {"DGAI", 1.0},
        {"DOFS", 0.0},
        {"UNTD", 45.0},
        {"EGAI", 50.0},
        {"EOFS", 0.0},
        {"UNTE", 45.0},
        {"MINS", 30.0},
        {"HOUR", 9.0},
        {"DAY", 15.0},
        {"MNTH", 3.0},
        {"YEAR", 24.0},
        {"FMVG", 1e6 / CountsPerMvv},
        {"FMVO", 0.0},
        {"MODL", static_cast<double>(config.model)},
        {"PMSK", 0.0},
        {"PWD1", 0.0},
    };
    for (int i = 1; i <= 9; ++i)
        values_["USR" + std::to_string(i)] = 0.0;
    setSerial(config.serial);
    values_["FSNL"] = values_["SERL"];
    values_["FSNH"] = values_["SERH"];
    integrityError_ = config.integrityError;
    shuntStep_ = config.shuntStep;
}

double SimParameters::stored(std::string_view mnemonic) const
{
    const auto found = values_.find(mnemonic);
    return found == values_.end() ? 0.0 : found->second;
}

void SimParameters::setSerial(uint32_t serial)
{
    serial_ = serial;
    values_["SERL"] = static_cast<double>(serial & 0xFFFFu);
    values_["SERH"] = static_cast<double>(serial >> 16);
}

double SimParameters::adc(double input) const
{
    const double bridge = input + (shuntCal_ ? shuntStep_ : 0.0);
    return std::clamp(std::nearbyint(bridge * CountsPerMvv), AdcMin, AdcMax);
}

double SimParameters::mvv(double input) const
{
    return (adc(input) - stored("FMVO")) * stored("FMVG") / 1e6;
}

double SimParameters::systemZero() const
{
    const double zgai = stored("ZGAI");
    const double zero = stored("ZERO");
    return zgai == 0.0 ? zero : zero * stored("DGAI") / zgai;
}

double SimParameters::oval(double mvv) const
{
    const double calibrated = mvv * stored("EGAI") - stored("EOFS");
    const double displayed = calibrated * stored("DGAI") - stored("DOFS");
    return displayed - systemZero();
}

double SimParameters::gain() const
{
    return stored("EGAI") * stored("DGAI");
}

double SimParameters::offs() const
{
    return stored("EOFS") * stored("DGAI") + stored("DOFS") + systemZero();
}

int SimParameters::stat() const
{
    return (shuntCal_ ? ShuntCalBit : 0) | (integrityError_ ? IntegrityErrorBit : 0);
}

std::optional<double> SimParameters::read(std::string_view mnemonic, double input) const
{
    const Descriptor *descriptor = describe(mnemonic);
    if (!descriptor)
        return std::nullopt;
    if (descriptor->access != Access::Computed)
        return stored(mnemonic);
    if (mnemonic == "STAT")
        return stat();
    if (mnemonic == "ADC")
        return adc(input);
    if (mnemonic == "MVV")
        return mvv(input);
    if (mnemonic == "OVAL")
        return oval(mvv(input));
    if (mnemonic == "GAIN")
        return gain();
    return offs();
}

std::optional<double> SimParameters::write(std::string_view mnemonic, double value)
{
    const Descriptor *descriptor = describe(mnemonic);
    if (!descriptor || descriptor->access != Access::ReadWrite)
        return std::nullopt;
    const auto held = accepted(*descriptor, value);
    if (held)
        values_.find(mnemonic)->second = *held;
    return held;
}

bool SimParameters::force(std::string_view mnemonic, double value)
{
    const Descriptor *descriptor = describe(mnemonic);
    if (!descriptor || descriptor->access == Access::Computed)
        return false;
    if (mnemonic == "SERL" || mnemonic == "SERH") {
        const auto half = accepted({mnemonic, Access::ReadOnly, Kind::Whole, 0.0, WordMax}, value);
        if (!half)
            return false;
        const auto bits = static_cast<uint32_t>(*half);
        setSerial(mnemonic == "SERL" ? (serial_ & 0xFFFF0000u) | bits
                                     : (serial_ & 0xFFFFu) | (bits << 16));
        return true;
    }
    const auto held = accepted(*descriptor, value);
    if (held)
        values_.find(mnemonic)->second = *held;
    return held.has_value();
}

bool SimParameters::execute(std::string_view mnemonic)
{
    if (mnemonic == "RST") {
        setSerial(static_cast<uint32_t>(stored("FSNH")) << 16 |
                  static_cast<uint32_t>(stored("FSNL")));
        values_["CONF"] = 0.0;
        shuntCal_ = false;
    } else if (mnemonic == "SCON" || mnemonic == "SCOF") {
        shuntCal_ = mnemonic == "SCON";
    } else if (mnemonic == "OPON" || mnemonic == "OPOF") {
        outputOn_ = mnemonic == "OPON";
    } else {
        return false;
    }
    return true;
}

void SimParameters::enterCommandMode()
{
    values_["CONF"] = 1.0;
}

} // namespace platform::ftd2xx::sim
