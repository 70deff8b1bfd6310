#include "platform/win/gui/qcolour.h"

namespace platform::win::gui {

QColor toQColor(OleColour colour)
{
    const OleColour plain = translateColour(colour);
    return QColor(int(plain & 0xFF), int((plain >> 8) & 0xFF), int((plain >> 16) & 0xFF));
}

OleColour fromQColor(const QColor &colour)
{
    return uint32_t(colour.red()) | (uint32_t(colour.green()) << 8) |
           (uint32_t(colour.blue()) << 16);
}

} // namespace platform::win::gui
