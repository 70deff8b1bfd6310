#include "app/device/hxr.h"

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include <QDate>
#include <QTime>

#include "app/device/drv_hxr.h"
#include "platform/vb/convert.h"
#include "platform/vb/datetime.h"
#include "platform/vb/format.h"
#include "platform/vb/vberror.h"

namespace app::device {

namespace {

using platform::vb::VbError;

// The wait pointer for one scope: off again however the scope is left.
class BusyScope
{
public:
    explicit BusyScope(const app::device::DeviceUi::BusyIndicator &busy) : busy_(busy)
    {
        busy_(true);
    }
    ~BusyScope() { busy_(false); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    const app::device::DeviceUi::BusyIndicator &busy_;
};

constexpr const char *Mnemonics[HXR::ParameterCount] = {
    "STAT", "ADC",  "MVV",  "OVAL", "VER",  "SERL", "SERH", "CONF", "GAIN", "OFFS", "ZERO",
    "ZGAI", "ZOFS", "UNTZ", "DGAI", "DOFS", "UNTD", "EGAI", "EOFS", "UNTE", "MINS", "HOUR",
    "DAY",  "MNTH", "YEAR", "USR1", "USR2", "USR3", "USR4", "USR5", "USR6", "USR7", "USR8",
    "USR9", "FMVG", "FMVO", "FSNL", "FSNH", "MODL", "PMSK", "PWD1"};

constexpr int64_t StatWindowMs = 500;
constexpr int SerialRestartWaitMs = 1000;
constexpr double LargestSerial = 4294967295.0;

// Run-time error numbers of late-bound calls.
constexpr int NoSuchMember = 438;
constexpr int WrongArguments = 450;

const QString SerialTitle = QStringLiteral("Set Serialnumber");
const QString SerialErrorTitle = QStringLiteral("ERROR: Set Serialnumber");
const QString SerialRange =
    QStringLiteral("The serial number must be a whole number from 1 to 4294967295.");

// A 16-bit word read as unsigned.
double unsignedWord(double value)
{
    return value < 0 ? value + 65536.0 : value;
}

bool bitSet(double word, int bitNumber)
{
    if (bitNumber < 1 || bitNumber > 32)
        return false;
    const std::optional<int32_t> integer = platform::vb::TryCLng(word);
    if (!integer)
        return false;
    return ((static_cast<uint32_t>(*integer) >> (bitNumber - 1)) & 1u) != 0;
}

QString plainNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<int64_t>(value));
    return QString::number(value, 'g', 15);
}

QVariant word(int16_t value)
{
    return QVariant::fromValue<qint16>(value);
}

QVariant none()
{
    return QVariant();
}

} // namespace

// One member reachable by name. `get` reads a property without arguments, `let` sets one from
// an already converted value, `call` runs a method without arguments. A member with none of
// them needs arguments, which the by-name calls cannot pass.
struct HXR::Member
{
    QString name;
    std::function<QVariant(HXR &)> get;
    std::function<void(HXR &, const QVariant &)> let;
    std::function<QVariant(HXR &)> call;
};

const std::vector<HXR::Member> &HXR::members()
{
    static const std::vector<Member> table = [] {
        using P = Parameter;
        std::vector<Member> list;
        auto property = [&](const char *name, std::function<QVariant(HXR &)> get,
                            std::function<void(HXR &, const QVariant &)> let = {}) {
            list.push_back({QString::fromLatin1(name), std::move(get), std::move(let), {}});
        };
        auto method = [&](const char *name, std::function<QVariant(HXR &)> call) {
            list.push_back({QString::fromLatin1(name), {}, {}, std::move(call)});
        };
        auto withArguments = [&](const char *name) {
            list.push_back({QString::fromLatin1(name), {}, {}, {}});
        };
        auto command = [&](const char *name, void (HXR::*run)()) {
            method(name, [run](HXR &d) {
                (d.*run)();
                return none();
            });
        };
        auto lock = [&](const char *name, int16_t (HXR::*get)(), void (HXR::*let)(bool)) {
            property(
                name, [get](HXR &d) { return word((d.*get)()); },
                [let](HXR &d, const QVariant &v) { (d.*let)(v.toDouble() != 0.0); });
        };

        property(
            "ErrorState", [](HXR &d) { return word(d.ErrorState()); },
            [](HXR &d, const QVariant &v) { d.ErrorState(platform::vb::CInt(v.toDouble())); });
        withArguments("FormatFloat");
        property("STAT", [](HXR &d) { return QVariant(d.STAT()); });
        property("ADC", [](HXR &d) { return QVariant(d.ADC()); });
        property("MVV", [](HXR &d) { return QVariant(d.MVV()); });
        property("OVAL", [](HXR &d) { return QVariant(d.OVAL()); });
        property("VER", [](HXR &d) { return QVariant(d.VER()); });
        property("VERSION", [](HXR &d) { return QVariant(d.VERSION()); });
        property("SERL", [](HXR &d) { return QVariant(d.SERL()); });
        property("SERH", [](HXR &d) { return QVariant(d.SERH()); });
        property(
            "SERIALNUMBER", [](HXR &d) { return QVariant(d.SERIALNUMBER()); },
            [](HXR &d, const QVariant &v) { d.SERIALNUMBER(v.toDouble()); });
        command("SetSerial", &HXR::SetSerial);
        property(
            "CONF", [](HXR &d) { return QVariant(d.CONF()); },
            [](HXR &d, const QVariant &v) { d.CONF(v.toDouble() != 0.0); });
        property("GAIN", [](HXR &d) { return QVariant(d.GAIN()); });
        property("OFFS", [](HXR &d) { return QVariant(d.OFFS()); });
        for (int i = static_cast<int>(P::ZERO); i <= static_cast<int>(P::PWD1); ++i) {
            const auto p = static_cast<P>(i);
            property(
                mnemonic(p), [p](HXR &d) { return QVariant(d.readParameter(p)); },
                [p](HXR &d, const QVariant &v) { d.writeParameter(p, v.toFloat()); });
        }
        command("RST", &HXR::RST);
        command("SCON", &HXR::SCON);
        command("SCOF", &HXR::SCOF);
        command("OPON", &HXR::OPON);
        command("OPOF", &HXR::OPOF);
        withArguments("BooleanRead");
        property("SCALON", [](HXR &d) { return word(d.SCALON()); });
        lock("LOCK_CAL", &HXR::LOCK_CAL, &HXR::LOCK_CAL);
        lock("LOCK_SYSZERO", &HXR::LOCK_SYSZERO, &HXR::LOCK_SYSZERO);
        lock("LOCK_SHUNTCAL", &HXR::LOCK_SHUNTCAL, &HXR::LOCK_SHUNTCAL);
        lock("LOCK_DISPLAYUNITS", &HXR::LOCK_DISPLAYUNITS, &HXR::LOCK_DISPLAYUNITS);
        property("IntError", [](HXR &d) { return QVariant(d.IntError()); });
        withArguments("PMSKbit");
        command("ResetError", &HXR::ResetError);
        command("ClosePort", &HXR::ClosePort);
        command("OpenPort", &HXR::OpenPort);
        command("CommandMode", &HXR::CommandMode);
        property("DeviceCount", [](HXR &d) { return word(d.DeviceCount()); });
        command("SetCalDate", &HXR::SetCalDate);
        method("GetCalDate", [](HXR &d) { return QVariant(d.GetCalDate()); });
        withArguments("GetByName");
        withArguments("LetByName");
        withArguments("MethodByName");
        property("ConfigureCal", [](HXR &d) { return QVariant(d.ConfigureCal()); });
        return list;
    }();
    return table;
}

const HXR::Member *HXR::findMember(const QString &name)
{
    for (const Member &member : members()) {
        if (member.name.compare(name, Qt::CaseInsensitive) == 0)
            return &member;
    }
    return nullptr;
}

const char *HXR::mnemonic(Parameter parameter)
{
    return Mnemonics[static_cast<int>(parameter)];
}

HXR::HXR(DriverApi driver, std::shared_ptr<Clock> clock)
    : driver_(driver), clock_(clock ? std::move(clock) : systemClock())
{
    // A partial table would crash at the first call; fill the gaps with the no-driver entries.
    if (!driver_.complete()) {
        const DriverApi fallback = DriverApi::unavailable();
        auto fill = [](auto &slot, auto other) {
            if (!slot)
                slot = other;
        };
        fill(driver_.INITIALISE, fallback.INITIALISE);
        fill(driver_.OPENPORT, fallback.OPENPORT);
        fill(driver_.CLOSEPORT, fallback.CLOSEPORT);
        fill(driver_.DEVICECOUNT, fallback.DEVICECOUNT);
        fill(driver_.VERSION, fallback.VERSION);
        fill(driver_.READCOMMAND, fallback.READCOMMAND);
        fill(driver_.WRITECOMMAND, fallback.WRITECOMMAND);
        fill(driver_.EXECUTECOMMAND, fallback.EXECUTECOMMAND);
        fill(driver_.COMMANDMODE, fallback.COMMANDMODE);
        fill(driver_.CONFIGCAL, fallback.CONFIGCAL);
        fill(driver_.INTGAIN, fallback.INTGAIN);
        fill(driver_.INTOFFS, fallback.INTOFFS);
        fill(driver_.FINDMINMAX, fallback.FINDMINMAX);
        fill(driver_.CREATECALLBACKWINDOW, fallback.CREATECALLBACKWINDOW);
    }
}

void HXR::setUi(DeviceUi ui)
{
    const DeviceUi fallback = DeviceUi::defaults();
    ui_.message = ui.message ? std::move(ui.message) : fallback.message;
    ui_.input = ui.input ? std::move(ui.input) : fallback.input;
    ui_.busy = ui.busy ? std::move(ui.busy) : fallback.busy;
}

void HXR::latch(int16_t result)
{
    if (errorState_ == 0)
        errorState_ = result;
}

float HXR::readParameter(Parameter parameter)
{
    double &last = lastGood_[static_cast<int>(parameter)];
    if (errorState_ == 0 && !ModuleCommandRunning()) {
        const ModuleCommandScope scope;
        float value = 0.0f;
        const int16_t result = driver_.READCOMMAND(mnemonic(parameter), &value);
        if (result == HXR_OK)
            last = value;
        else
            latch(result);
    }
    return static_cast<float>(last);
}

bool HXR::writeParameter(Parameter parameter, float value)
{
    if (errorState_ != 0 || ModuleCommandRunning())
        return false;
    const ModuleCommandScope scope;
    const int16_t result = driver_.WRITECOMMAND(mnemonic(parameter), value);
    if (result == HXR_OK)
        return true;
    latch(result);
    return false;
}

bool HXR::runCommand(const char *command)
{
    if (errorState_ != 0 || ModuleCommandRunning())
        return false;
    const ModuleCommandScope scope;
    const int16_t result = driver_.EXECUTECOMMAND(command);
    if (result == HXR_OK)
        return true;
    latch(result);
    return false;
}

QString HXR::FormatFloat(const QString &text)
{
    double value = 0.0;
    try {
        value = platform::vb::CDbl(QVariant(text));
    } catch (const VbError &) {
        return text;
    }
    return FormatFloat(value);
}

QString HXR::FormatFloat(double value, const platform::vb::NumberSeparators &separators)
{
    // A separator left without decimals goes with them.
    QString cut = platform::vb::FormatSevenSignificant(value, separators);
    if (cut.endsWith(separators.decimal))
        cut.chop(1);
    return cut;
}

double HXR::STAT()
{
    double &last = lastGood_[static_cast<int>(Parameter::STAT)];
    const int64_t now = clock_->monotonicMs();
    if (!lastStatReadMs_ || now - *lastStatReadMs_ > StatWindowMs) {
        readParameter(Parameter::STAT);
        lastStatReadMs_ = clock_->monotonicMs();
    }
    if (last < 0)
        last = 65536.0 - std::fabs(last);
    return last;
}

double HXR::VERSION()
{
    const int32_t w = platform::vb::TryCLng(VER()).value_or(0);
    return static_cast<double>((w & 0xFF00) / 256) + static_cast<double>(w & 0xFF) / 100.0;
}

double HXR::SERIALNUMBER()
{
    const double high = unsignedWord(SERH());
    const double low = unsignedWord(SERL());
    return high * 65536.0 + low;
}

void HXR::SERIALNUMBER(double number)
{
    if (!(number > 0))
        return;
    if (number != std::floor(number) || number > LargestSerial)
        throw VbError(VbError::InvalidCall, QStringLiteral("SERIALNUMBER"), SerialRange);
    if (ModuleCommandRunning())
        return;
    const BusyScope busy(ui_.busy);
    const double high = std::floor(number / 65536.0);
    const double low = number - 65536.0 * high;
    writeParameter(Parameter::FSNL, static_cast<float>(low));
    writeParameter(Parameter::FSNH, static_cast<float>(high));
    RST();
    {
        // The window's events run while the module restarts; what they would ask of the module
        // meanwhile is refused, as while a command waits for its reply.
        const ModuleCommandScope restarting;
        clock_->sleepMs(SerialRestartWaitMs);
    }
    // The module streams after RST, and while it does its replies drown in the stream; leave
    // it in command mode so that the number can be read back.
    CommandMode();
}

void HXR::SetSerial()
{
    const std::optional<QString> answer =
        ui_.input(QStringLiteral("Enter serial number"), SerialTitle, QString());
    if (!answer || answer->trimmed().isEmpty())
        return;
    double number = 0.0;
    try {
        number = platform::vb::CDbl(QVariant(*answer));
    } catch (const VbError &) {
        number = -1.0;
    }
    if (!(number >= 1.0) || number > LargestSerial || number != std::floor(number)) {
        ui_.message(SerialRange, SerialErrorTitle, true);
        return;
    }
    SERIALNUMBER(number);
    const double readBack = SERIALNUMBER();
    if (readBack == number)
        ui_.message(QStringLiteral("Serialnumber now set to: ") + plainNumber(readBack),
                    SerialTitle, false);
    else
        ui_.message(QStringLiteral("Serialnumber incorrect: ") + plainNumber(readBack),
                    SerialErrorTitle, true);
}

void HXR::RST()
{
    runCommand("RST");
    resetReadingBuffer();
    setStreamRunning(true);
}

bool HXR::BooleanRead(const QString &name, int bitNumber)
{
    double value = 0.0;
    if (name.compare(QLatin1String("STAT"), Qt::CaseInsensitive) == 0)
        value = STAT();
    else if (name.compare(QLatin1String("PMSK"), Qt::CaseInsensitive) == 0)
        value = PMSK();
    if (value < 0)
        value = 65536.0 - std::fabs(value);
    return bitSet(value, bitNumber);
}

int16_t HXR::lockBit(int32_t bit)
{
    const std::optional<int32_t> mask = platform::vb::TryCLng(PMSK());
    return mask && (*mask & bit) != 0 ? 1 : 0;
}

void HXR::setLockBit(int32_t bit, bool on)
{
    // A mask that is no 32-bit integer has no bits worth keeping.
    const int32_t mask = platform::vb::TryCLng(PMSK()).value_or(0);
    PMSK(static_cast<float>(on ? (mask | bit) : (mask & ~bit)));
}

void HXR::CommandMode()
{
    if (ModuleCommandRunning())
        return;
    const ModuleCommandScope scope;
    setStreamRunning(false);
    driver_.COMMANDMODE();
}

void HXR::ClosePort()
{
    if (ModuleCommandRunning())
        return;
    const ModuleCommandScope scope;
    driver_.CLOSEPORT();
}

void HXR::OpenPort()
{
    if (ModuleCommandRunning())
        return;
    const ModuleCommandScope scope;
    driver_.OPENPORT();
}

bool HXR::ConfigureCal()
{
    if (ModuleCommandRunning())
        return false;
    const ModuleCommandScope scope;
    return driver_.CONFIGCAL() == 0;
}

void HXR::SetCalDate()
{
    const QDateTime now = clock_->localNow();
    const QDate date = now.date();
    const QTime time = now.time();
    YEAR(static_cast<float>(date.year() % 100));
    MNTH(static_cast<float>(date.month()));
    DAY(static_cast<float>(date.day()));
    HOUR(static_cast<float>(time.hour()));
    MINS(static_cast<float>(time.minute()));
}

QString HXR::GetCalDate()
{
    using platform::vb::TryCInt;
    const std::optional<int16_t> hour = TryCInt(HOUR());
    const std::optional<int16_t> minute = TryCInt(MINS());
    const std::optional<int16_t> year = TryCInt(static_cast<double>(YEAR()) + 2000.0);
    const std::optional<int16_t> month = TryCInt(MNTH());
    const std::optional<int16_t> day = TryCInt(DAY());
    if (!hour || !minute || !year || !month || !day)
        return QString();
    if (*year < 100 || *year > 9999)
        return QString();
    // Months and days beyond their range roll over into the next ones, as date arithmetic
    // does: month 13 is January of the next year, day 0 the last day of the month before.
    const QDate date = QDate(*year, 1, 1).addMonths(*month - 1).addDays(*day - 1);
    if (!date.isValid() || date.year() < 100 || date.year() > 9999)
        return QString();
    int minutes = (*hour * 60 + *minute) % (24 * 60);
    if (minutes < 0)
        minutes += 24 * 60;
    const QTime time(minutes / 60, minutes % 60);
    return platform::vb::LongDate(date) + QStringLiteral("  ") + platform::vb::LongTime(time);
}

QVariant HXR::GetByName(const QString &name) noexcept
{
    try {
        const Member *member = findMember(name);
        if (member && member->get)
            return member->get(*this);
    } catch (...) {
        // An unknown name or a failing read reads as empty.
    }
    return QVariant();
}

void HXR::LetByName(const QString &name, const QVariant &value)
{
    const Member *member = findMember(name);
    if (!member || !member->let)
        throw VbError(
            NoSuchMember, QStringLiteral("HXR"),
            QStringLiteral("Object doesn't support this property or method: %1").arg(name));
    // A serial number needs every digit of a double; a single would change large ones.
    const bool serial = name.compare(QLatin1String("SERIALNUMBER"), Qt::CaseInsensitive) == 0;
    const QVariant converted =
        serial ? QVariant(platform::vb::CDbl(value)) : QVariant(platform::vb::CSng(value));
    member->let(*this, converted);
}

QVariant HXR::MethodByName(const QString &name)
{
    const Member *member = findMember(name);
    if (member && !member->call && !member->get && !member->let)
        throw VbError(WrongArguments, QStringLiteral("HXR"),
                      QStringLiteral("Wrong number of arguments: %1").arg(name));
    if (member && member->call)
        return member->call(*this);
    // Late binding lets a property get be called like a method.
    if (member && member->get)
        return member->get(*this);
    throw VbError(NoSuchMember, QStringLiteral("HXR"),
                  QStringLiteral("Object doesn't support this property or method: %1").arg(name));
}

} // namespace app::device
