#include "app/device/conversionmodule.h"

#include <optional>

#include "app/device/devicestate.h"
#include "platform/vb/convert.h"

namespace app::device {

namespace {

struct UnitRow
{
    const char *category;
    const char *description;
    const char16_t *symbol;
    double gain;
    uint8_t id;
};

// Gains are units per base unit of the category: mV/V, kilograms, kilograms force, bar,
// radians, meters, meter/sec, newton meter. The rows without a symbol are not registered.
constexpr UnitRow Rows[] = {
    {"mV/V", "millivolts per volt", u"mV/V", 1.0, 0},
    {"Mass", "kilograms", u"kg", 1.0, 45},
    {"Mass", "drams", u"dr av", 564.397787560673, 46},
    {"Mass", "grains", u"gr", 15432.7514007703, 47},
    {"Mass", "grams", u"g", 1000.0, 48},
    {"Mass", "milligrams", u"mg", 1000000.0, 49},
    {"Mass", "ounces", u"oz", 35.2739571281031, 50},
    {"Mass", "pennyweights", u"pwt", 643.016519094376, 51},
    {"Mass", "pounds", u"lb", 2.20458553791887, 52},
    {"Mass", "kilopounds", u"klb", 0.00220458553791887, 53},
    {"Mass", "scruples", u"s ap", 771.637570038515, 54},
    {"Mass", "slug", u"slug", 0.0685400959561343, 55},
    {"Mass", "tons long", u"ton", 0.000984251968503937, 56},
    {"Mass", "tons metric", u"T", 0.001, 57},
    {"Mass", "tonnes", u"tonne", 0.001, 58},
    {"Mass", "tons short", u"sh tn", 0.0011015642211941, 59},
    {"Force", "newtons", u"N", 9.80665, 65},
    {"Force", "kilonewtons", u"kN", 0.00980665, 66},
    {"Force", "millinewtons", u"mN", 9806.65, 67},
    {"Force", "meganewtons", u"MN ", 9.80665e-06, 68},
    // 1 crinal = 0.1 N.
    {"Force", "crinals", u"crinal", 98.0665, 69},
    // 1 dyn = 1e-5 N.
    {"Force", "dynes", u"dyn", 980665.0, 70},
    {"Force", "grams force", u"gf", 1000.0, 71},
    // 1 J/cm = 100 N.
    {"Force", "joules per cm", u"J/cm", 0.0980665, 72},
    {"Force", "kilograms force", u"kgf", 1.0, 73},
    {"Force", "kilograms force kp", u"kp", 1.0, 74},
    // 1 kg m/s² = 1 N.
    {"Force", "kilograms meter/second²", u"kg ms²", 9.80665, 75},
    {"Force", "ounces force", u"ozf", 35.27396194963, 76},
    {"Force", "pounds force", u"lbf", 2.204622621852, 77},
    {"Force", "poundals", u"pdl", 70.93163528397, 78},
    {"Force", "tons force long", u"tonfl", 0.0009842065276123, 79},
    {"Force", "tons force short", u"tonfs", 0.001102311310924, 80},
    {"Force", "tons force metric", u"tonfm", 0.001, 81},
    {"Pressure", "bar", u"bar", 1.0, 95},
    {"Pressure", "atmosphere techn", u"at", 1.01971621297793, 96},
    {"Pressure", "atmosphere phys", u"atm", 0.986923266716013, 97},
    {"Pressure", "dyne/cm²", u"dyncm²", 1000000.0, 98},
    {"Pressure", "foot of water (39°F)", u"ftH2O", 33.4552563312969, 99},
    {"Pressure", "inch of water (39°F)", u"inH2O", 401.463075975562, 100},
    {"Pressure", "gigapascal", u"GPa", 0.0001, 101},
    {"Pressure", "hectopascal", u"hPa", 1000.0, 102},
    {"Pressure", "kg force / cm²", u"kgfcm²", 1.01971621297793, 103},
    {"Pressure", "kg force / m²", u"kgf/m²", 10197.1621297793, 104},
    {"Pressure", "microbar ", u"µbar", 1000000.0, 105},
    {"Pressure", "pascal", u"Pa", 100000.0, 106},
    {"Pressure", "newton/m²", u"N/m²", 100000.0, 107},
    // 1 ozf/in² = 430.922330823 Pa.
    {"Pressure", "ounce(avdp)/square inch", u"oz/in²", 232.060380368335, 108},
    {"Pressure", "pounds per square foot", u"lb/ft²", 2088.54, 109},
    {"Pressure", "pounds per square inch", u"psi", 14.5037743897283, 110},
    {"Pressure", "tonne per square cm", u"T/cm²", 0.001019716212978, 111},
    {"Rotation", "radians", u"rad", 1.0, 1},
    {"Rotation", "degrees", u"°", 57.3065902578797, 2},
    {"Rotation", "circumference", u"", 0.159159637116027, 3},
    {"Rotation", "grade", u"", 63.6619771068602, 4},
    {"Rotation", "minutes", u"'", 3437.60742523204, 5},
    {"Rotation", "seconds", u"\"", 206264.798210117, 6},
    {"Rotation", "revolutions", u"rev", 0.159159637116027, 7},
    {"Distance", "meters", u"m", 1.0, 15},
    {"Distance", "angstrom", u"Å", 10000000000.0, 16},
    {"Distance", "astronomical unit", u"AU", 6.68896321070234e-12, 17},
    {"Distance", "centimeters", u"cm", 100.0, 18},
    {"Distance", "chains gunters", u"ch", 0.0497097, 19},
    {"Distance", "ell", u"ell", 0.874890638670166, 20},
    {"Distance", "em", u"em", 236.2391, 21},
    {"Distance", "fathoms", u"fm", 0.546805453181423, 22},
    {"Distance", "feet", u"ft", 3.28083989501312, 23},
    {"Distance", "furlongs", u"fur", 0.00497096953789867, 24},
    {"Distance", "inches", u"in", 39.3700787401575, 25},
    {"Distance", "kilometers", u"km", 0.001, 26},
    {"Distance", "league", u"lea", 0.000207168013258753, 27},
    {"Distance", "leagues", u"league", 0.00018, 28},
    {"Distance", "light years", u"ly", 1.05702099772212e-16, 29},
    {"Distance", "lines", u"ln", 472.4424, 30},
    {"Distance", "microns", u"µ", 1000000.0, 31},
    {"Distance", "miles nautical", u"mi n", 0.000539665407447383, 32},
    {"Distance", "miles", u"mi", 0.000621504039776259, 33},
    {"Distance", "millimeters", u"mm", 1000.0, 34},
    {"Distance", "mils", u"mil", 39370.0787401575, 35},
    {"Distance", "nanometers", u"nm", 1000000000.0, 36},
    {"Distance", "parsec", u"pc", 3.24254215304799e-17, 37},
    {"Distance", "yards", u"yd", 1.09361329833771, 38},
    {"Speed", "meter/sec", u"m/s", 1.0, 120},
    {"Speed", "centimeters/sec", u"cm/s", 100.0, 121},
    {"Speed", "feet/min", u"ft/min", 196.850393700787, 122},
    {"Speed", "feet/sec", u"ft/s", 3.28083989501312, 123},
    {"Speed", "kilometers/hr", u"km/h", 3.59971202303816, 124},
    {"Speed", "kilometers/min", u"km/min", 0.06, 125},
    {"Speed", "kilometers/sec", u"km/s", 0.001, 126},
    {"Speed", "knots", u"kn", 1.94243040310714, 127},
    {"Speed", "meters/hr", u"m/h", 3600.0, 128},
    {"Speed", "meters/min", u"m/min", 60.0, 129},
    {"Speed", "miles/hr", u"mph", 2.23713646532438, 130},
    {"Speed", "miles/min", u"mpm", 0.0372856077554064, 131},
    {"Speed", "miles/sec", u"mps", 0.000621, 132},
    {"Speed", "nautical miles/hr", u"n mph", 1.943846, 133},
    {"Speed", "nautical miles/min", u"n mpm", 0.0324, 134},
    {"Speed", "nautical miles/sec", u"n mps", 0.00054, 135},
    {"Torque", "newton meter", u"N m", 1.0, 150},
    {"Torque", "meter kilogram", u"m kg", 0.101971621, 151},
    {"Torque", "foot pound", u"ft lbf", 0.737562149277266, 152},
    {"Torque", "foot poundal", u"ft pdl", 23.7303604042319, 153},
    {"Torque", "inch pound", u"in lbf", 8.85074579132716, 154},
    {"Undefined", "undefined", u" ", 1.0, 255},
};

QString keyOf(uint8_t id)
{
    return QStringLiteral("i") + QString::number(id);
}

const ConversionClass *lookup(double id)
{
    const std::optional<uint8_t> byte = platform::vb::TryCByte(id);
    return byte ? UnitTable().find(keyOf(*byte)) : nullptr;
}

QString fieldOf(double id, QString ConversionClass::*field)
{
    const ConversionClass *unit = lookup(id);
    return unit ? unit->*field : QString();
}

// GAIN(to) / GAIN(from), or nothing when either unit is not registered.
std::optional<double> factorBetween(double from, double to)
{
    const ConversionClass *source = lookup(from);
    const ConversionClass *target = lookup(to);
    if (!source || !target)
        return std::nullopt;
    return (1.0 / source->GAIN) * target->GAIN;
}

} // namespace

UnitCollection &UnitTable()
{
    return DeviceState::current().unitTable;
}

void RegisterUnits()
{
    for (const UnitRow &row : Rows)
        AddUnit(QString::fromUtf8(row.category), QString::fromUtf8(row.description),
                QString::fromUtf16(row.symbol), row.gain, row.id);
}

void AddUnit(const QString &category, const QString &description, const QString &symbol,
             double gain, uint8_t id)
{
    if (symbol.isEmpty())
        return;
    UnitTable().add(keyOf(id), ConversionClass{category, description, symbol, gain, id});
}

bool UnitExists(double id)
{
    return lookup(id) != nullptr;
}

QString GetUnitCategory(double id)
{
    return fieldOf(id, &ConversionClass::Category);
}

QString GetUnitSymbol(double id)
{
    return fieldOf(id, &ConversionClass::Units);
}

double ConvertUnitFactor(double from, double to)
{
    return factorBetween(from, to).value_or(1.0);
}

double ConvertUnitValue(double value, double from, double to)
{
    const std::optional<double> factor = factorBetween(from, to);
    return factor ? *factor * value : 0.0;
}

bool FillUnitList(QString &descriptions, QString &ids, const QString &category)
{
    descriptions.clear();
    ids.clear();
    bool listed = false;
    for (const ConversionClass &unit : UnitTable().items()) {
        const bool all = category.isEmpty();
        if (!all && unit.Category.compare(category, Qt::CaseInsensitive) != 0)
            continue;
        descriptions += unit.Description + QStringLiteral(" (") + unit.Units + QLatin1Char(')');
        if (all)
            descriptions += QStringLiteral(" [") + unit.Category + QLatin1Char(']');
        descriptions += QLatin1Char('|');
        ids += QString::number(unit.ID) + QLatin1Char('|');
        listed = true;
    }
    if (descriptions.endsWith(QLatin1Char('|')))
        descriptions.chop(1);
    if (ids.endsWith(QLatin1Char('|')))
        ids.chop(1);
    return listed;
}

} // namespace app::device
