#ifndef PLATFORM_WIN_GUI_QCOLOUR_H
#define PLATFORM_WIN_GUI_QCOLOUR_H

#include <QColor>

#include "platform/win/syscolours.h"

namespace platform::win::gui {

// OLE colours as Qt paints them; kept apart from syscolours so that its users need no Qt Gui.
QColor toQColor(OleColour colour);
OleColour fromQColor(const QColor &colour);

} // namespace platform::win::gui

#endif
