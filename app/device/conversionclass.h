#ifndef APP_DEVICE_CONVERSIONCLASS_H
#define APP_DEVICE_CONVERSIONCLASS_H

#include <cstdint>

#include <QString>

namespace app::device {

// One engineering unit: how many of it make one base unit of its category.
struct ConversionClass
{
    QString Category;
    QString Description;
    QString Units; // the symbol shown beside values
    double GAIN = 1.0;
    uint8_t ID = 0; // as stored in the module; 255 means no units
};

} // namespace app::device

#endif
