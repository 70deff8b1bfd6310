#include "app/common/desktop/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace app::common::desktop {

WaitCursor::WaitCursor() : shown_(qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
{
    if (shown_)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace app::common::desktop
