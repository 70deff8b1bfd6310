#include "app/device/conversionmodule.h"

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace app::device;

class UnitTableTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { RegisterUnits(); }
};

TEST_F(UnitTableTest, HoldsTheRegisteredUnitsInOrder)
{
    const std::vector<int> ids = {
        0,   45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  65,
        66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,  80,  81,  95,
        96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 1,
        2,   5,   6,   7,   15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,
        28,  29,  30,  31,  32,  33,  34,  35,  36,  37,  38,  120, 121, 122, 123, 124, 125,
        126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 150, 151, 152, 153, 154, 255};
    ASSERT_EQ(UnitTable().count(), 101);
    std::vector<QString> keys;
    for (int id : ids)
        keys.push_back(QStringLiteral("i%1").arg(id));
    EXPECT_EQ(UnitTable().keys(), keys);
    for (const ConversionClass &unit : UnitTable().items())
        EXPECT_EQ(UnitTable().find(QStringLiteral("i%1").arg(unit.ID)), &unit);

    RegisterUnits();
    EXPECT_EQ(UnitTable().count(), 101);
}

TEST_F(UnitTableTest, FirstRegistrationOfAnIdStays)
{
    AddUnit(QStringLiteral("Mass"), QStringLiteral("other"), QStringLiteral("x"), 5.0, 45);
    EXPECT_EQ(GetUnitSymbol(45), QStringLiteral("kg"));
    EXPECT_EQ(UnitTable().count(), 101);
}

TEST_F(UnitTableTest, LookupsNeverRaise)
{
    EXPECT_FALSE(UnitExists(3));
    EXPECT_FALSE(UnitExists(4));
    EXPECT_TRUE(UnitExists(255));
    EXPECT_TRUE(UnitExists(0));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double wild : {200.0, -1.0, 256.0, 1e30, nan})
        EXPECT_FALSE(UnitExists(wild)) << wild;
    EXPECT_TRUE(UnitExists(44.6)); // a unit ID read back as a single rounds
    EXPECT_EQ(GetUnitSymbol(68), QStringLiteral("MN "));
    EXPECT_EQ(GetUnitSymbol(6), QStringLiteral("\""));
    EXPECT_EQ(GetUnitSymbol(255), QStringLiteral(" "));
    EXPECT_EQ(GetUnitSymbol(108), QStringLiteral("oz/in²"));
    EXPECT_EQ(GetUnitCategory(150), QStringLiteral("Torque"));
    EXPECT_TRUE(GetUnitCategory(nan).isEmpty());
    EXPECT_TRUE(GetUnitSymbol(3).isEmpty());
}

TEST_F(UnitTableTest, Conversions)
{
    EXPECT_DOUBLE_EQ(ConvertUnitFactor(45, 52), 2.20458553791887);
    EXPECT_NEAR(ConvertUnitValue(2, 52, 53), 0.002, 1e-15);
    EXPECT_EQ(ConvertUnitFactor(200, 45), 1.0);
    EXPECT_EQ(ConvertUnitFactor(45, 1e9), 1.0);
    EXPECT_EQ(ConvertUnitValue(5, 200, 45), 0.0);
    // Kept literally, as the module's users know them.
    EXPECT_DOUBLE_EQ(ConvertUnitFactor(1, 2), 57.3065902578797);
}

struct Identity
{
    const char *what;
    int from;
    int to;
    double factor; // reference value of one `from` in `to`
};

void PrintTo(const Identity &c, std::ostream *os)
{
    *os << c.what;
}

class PhysicalFactors : public UnitTableTest, public testing::WithParamInterface<Identity>
{};

TEST_P(PhysicalFactors, AgreeWithReferenceValuesWithinATenthOfAPercent)
{
    const Identity &c = GetParam();
    EXPECT_NEAR(ConvertUnitFactor(c.from, c.to) / c.factor, 1.0, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PhysicalFactors,
    testing::Values(
        Identity{"bar in oz/in2", 95, 108, 232.0603804}, Identity{"psi in oz/in2", 110, 108, 16.0},
        Identity{"kgf in N", 73, 65, 9.80665}, Identity{"kg m/s2 in N", 75, 65, 1.0},
        Identity{"J/cm in N", 72, 65, 100.0}, Identity{"N in dyn", 65, 70, 100000.0},
        Identity{"crinal in N", 69, 65, 0.1}, Identity{"lbf in N", 77, 65, 4.4482216152605},
        Identity{"ozf in lbf", 76, 77, 1.0 / 16.0}, Identity{"psi in Pa", 110, 106, 6894.757293168},
        Identity{"at in kgf/cm2", 96, 103, 1.0}, Identity{"atm in hPa", 97, 102, 1013.25},
        Identity{"lb in kg", 52, 45, 0.45359237}, Identity{"short ton in lb", 59, 52, 2000.0},
        Identity{"in in mm", 25, 34, 25.4}, Identity{"mile in ft", 33, 23, 5280.0},
        Identity{"knot in m/h", 127, 128, 1852.0}, Identity{"ft lbf in in lbf", 152, 154, 12.0},
        Identity{"m kg in N m", 151, 150, 9.80665}, Identity{"rev in rad", 7, 1, 6.283185307}));

TEST_F(UnitTableTest, FillsListsOfAllUnits)
{
    QString descriptions, ids;
    ASSERT_TRUE(FillUnitList(descriptions, ids));
    const QStringList d = descriptions.split(QLatin1Char('|'));
    const QStringList i = ids.split(QLatin1Char('|'));
    ASSERT_EQ(d.size(), 101);
    ASSERT_EQ(i.size(), 101);
    EXPECT_EQ(d.first(), QStringLiteral("millivolts per volt (mV/V) [mV/V]"));
    EXPECT_EQ(i.first(), QStringLiteral("0"));
    EXPECT_EQ(d.last(), QStringLiteral("undefined ( ) [Undefined]"));
    EXPECT_EQ(i.last(), QStringLiteral("255"));
}

TEST_F(UnitTableTest, FillsListsOfOneCategory)
{
    QString descriptions, ids;
    ASSERT_TRUE(FillUnitList(descriptions, ids, QStringLiteral("torque")));
    EXPECT_EQ(descriptions, QStringLiteral("newton meter (N m)|meter kilogram (m kg)|foot pound "
                                           "(ft lbf)|foot poundal (ft pdl)|inch pound (in lbf)"));
    EXPECT_EQ(ids, QStringLiteral("150|151|152|153|154"));

    ASSERT_TRUE(FillUnitList(descriptions, ids, QStringLiteral("Mass")));
    EXPECT_TRUE(descriptions.startsWith(QStringLiteral("kilograms (kg)|")));
    EXPECT_TRUE(ids.startsWith(QStringLiteral("45|")));

    descriptions = ids = QStringLiteral("stale");
    EXPECT_FALSE(FillUnitList(descriptions, ids, QStringLiteral("Voltage")));
    EXPECT_TRUE(descriptions.isEmpty());
    EXPECT_TRUE(ids.isEmpty());
}

} // namespace
