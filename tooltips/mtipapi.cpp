#include "tooltips/mtipapi.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace tooltips {

namespace {

const char *const HandleProperty = "r77tipWindowHandle";

struct HandleTable
{
    int32_t next = 0;
    QHash<int32_t, QPointer<QWidget>> widgets;
};

HandleTable &handles()
{
    static HandleTable table;
    return table;
}

QComboBox *comboOf(int32_t hWnd)
{
    return qobject_cast<QComboBox *>(WindowFromHandle(hWnd));
}

} // namespace

int32_t WindowHandle(QWidget *widget)
{
    if (!widget)
        return 0;
    // Kept on the widget itself, so a new widget at a freed address never inherits it.
    const QVariant known = widget->property(HandleProperty);
    if (known.isValid())
        return known.toInt();
    HandleTable &table = handles();
    const int32_t handle = ++table.next;
    widget->setProperty(HandleProperty, handle);
    table.widgets.insert(handle, widget);
    return handle;
}

QWidget *WindowFromHandle(int32_t hWnd)
{
    if (hWnd == 0)
        return nullptr;
    return handles().widgets.value(hWnd).data();
}

bool IsComboBox(int32_t hWnd)
{
    return comboOf(hWnd) != nullptr;
}

int32_t GetComboEditHwnd(int32_t hWnd)
{
    QComboBox *combo = comboOf(hWnd);
    if (combo && combo->lineEdit())
        return WindowHandle(combo->lineEdit());
    return hWnd;
}

DeviceContext GetDesktopDC()
{
    DeviceContext dc;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        dc.logPixelsY = qRound(screen->logicalDotsPerInchY());
    return dc;
}

int32_t TranslateColor(platform::win::OleColour colour, int32_t palette)
{
    Q_UNUSED(palette);
    switch (colour >> 24) {
    case 0x00:
        return static_cast<int32_t>(colour);
    case 0x02:
        return static_cast<int32_t>(colour & 0x00FFFFFFu);
    case 0x80: {
        const uint32_t index = colour & 0x00FFFFFFu;
        if (!platform::win::hasSystemColour(index))
            return -1;
        return static_cast<int32_t>(platform::win::systemColour(index));
    }
    default:
        return -1;
    }
}

} // namespace tooltips
