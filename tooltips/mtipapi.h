#ifndef TOOLTIPS_MTIPAPI_H
#define TOOLTIPS_MTIPAPI_H

#include <cstdint>

#include "platform/win/syscolours.h"
#include "tooltips/r77tipexport.h"

class QWidget;

namespace tooltips {

// Window handles: a widget's handle is a non-zero 32-bit number given on first request, stable
// for the widget's life and never given to another widget.
R77TIP_EXPORT int32_t WindowHandle(QWidget *widget);
// The living widget of a handle; nullptr for 0, an unknown handle or a widget that ended.
R77TIP_EXPORT QWidget *WindowFromHandle(int32_t hWnd);

// True for a combo box.
bool IsComboBox(int32_t hWnd);
// The edit field of an editable combo box; the combo box itself otherwise.
int32_t GetComboEditHwnd(int32_t hWnd);

// What the font conversion needs of a device context.
struct DeviceContext
{
    int logPixelsY = 96;
};
// The screen's context.
DeviceContext GetDesktopDC();

// An OLE colour as a plain 0x00BBGGRR value: a top byte 0x00 as it is, 0x02 its RGB part,
// 0x80 through the system colour table; -1 for an index outside the table, 0x01 (no palette
// given) or any other top byte.
int32_t TranslateColor(platform::win::OleColour colour, int32_t palette = 0);

} // namespace tooltips

#endif
