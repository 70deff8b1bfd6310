#ifndef APP_DEVICE_CONVERSIONMODULE_H
#define APP_DEVICE_CONVERSIONMODULE_H

#include <cstdint>

#include <QString>

#include "app/device/unitcollection.h"

namespace app::device {

// The program-wide unit table, keyed "i" followed by the decimal ID ("i45"), in registration
// order. Created empty on first use; RegisterUnits fills it.
UnitCollection &UnitTable();

// Adds the known units (101 of them) in their fixed order; a second call adds nothing.
void RegisterUnits();

// Adds one unit under "i" + ID. A unit without a symbol is skipped, and an ID already there
// keeps its first registration.
void AddUnit(const QString &category, const QString &description, const QString &symbol,
             double gain, uint8_t id);

// Lookups by unit ID. IDs come from module parameters, so they are taken as numbers: an ID
// that is no whole byte after rounding (wild, negative, NaN) is simply not registered. None of
// them raises.
bool UnitExists(double id);
QString GetUnitCategory(double id); // empty when not registered
QString GetUnitSymbol(double id);   // empty when not registered

// The factor that turns a value in unit `from` into unit `to`: GAIN(to) / GAIN(from); 1.0 when
// either is not registered. Categories are not compared.
double ConvertUnitFactor(double from, double to);
// value x ConvertUnitFactor(from, to); 0.0 when either is not registered.
double ConvertUnitValue(double value, double from, double to);

// Fills two "|"-separated lists, entry k of one belonging to entry k of the other, in
// registration order: without a category every unit as "description (symbol) [category]" and
// its ID; with a category (matched without regard to case) only its units, as
// "description (symbol)". True when at least one unit was listed; both texts are empty
// otherwise.
bool FillUnitList(QString &descriptions, QString &ids, const QString &category = QString());

} // namespace app::device

#endif
