#ifndef TESTS_SUPPORT_FOCUSCHECK_H
#define TESTS_SUPPORT_FOCUSCHECK_H

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include "app/common/colours.h"
#include "app/controls/vxbtn.h"
#include "platform/win/gui/qcolour.h"

namespace testsupport {

// Shows the window and waits until it is the active one (the keyboard focus needs that).
inline bool activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (!window.isActiveWindow() && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return window.isActiveWindow();
}

// Gives the keyboard focus to every shown, usable control under root in turn and returns what
// does not show it: each control must then draw its focus ring, in a colour unlike its edge
// without the focus and at least 3:1 against what surrounds it.
inline QStringList controlsWithoutVisibleFocus(QWidget &root)
{
    QStringList faults;
    QWidget *window = root.window();
    int checked = 0;
    for (app::controls::VXBtn *control : root.findChildren<app::controls::VXBtn *>()) {
        if (!control->isVisible() || !control->isEnabled() || control->Inactive() ||
            control->focusPolicy() == Qt::NoFocus || control->width() < 4 ||
            control->height() < 4)
            continue;
        const QString name = control->Style() + QStringLiteral(" \"") + control->Caption() +
                             QStringLiteral("\"");
        const QPoint edge(1, control->height() / 2);
        if (control->hasFocus()) {
            control->clearFocus();
            QApplication::processEvents();
        }
        const QColor unfocused = control->grab().toImage().pixelColor(edge);
        control->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        if (!control->hasFocus()) {
            faults << name + QStringLiteral(": takes no focus");
            continue;
        }
        ++checked;
        const QColor ring = control->grab().toImage().pixelColor(edge);
        const QColor expected = platform::win::gui::toQColor(control->BorderColorFocus());
        if (ring != expected)
            faults << name + QStringLiteral(": edge %1, not the focus colour %2")
                                 .arg(ring.name(), expected.name());
        if (ring == unfocused)
            faults << name + QStringLiteral(": the focus does not change its edge");
        // What surrounds the control: the window just left of it, else just right of it.
        const QPoint at = control->mapTo(window, QPoint(0, control->height() / 2));
        const QImage picture = window->grab().toImage();
        const QPoint outside = at.x() >= 3 ? at - QPoint(3, 0)
                                           : at + QPoint(control->width() + 2, 0);
        const QColor around = picture.pixelColor(outside);
        const double ratio = app::common::ContrastRatio(platform::win::gui::fromQColor(expected),
                                                        platform::win::gui::fromQColor(around));
        if (ratio < app::common::MarkContrast)
            faults << name + QStringLiteral(": focus %1 on %2 is only %3:1")
                                 .arg(expected.name(), around.name())
                                 .arg(ratio, 0, 'f', 2);
    }
    if (checked == 0)
        faults << QStringLiteral("no control took the focus");
    return faults;
}

} // namespace testsupport

#endif
