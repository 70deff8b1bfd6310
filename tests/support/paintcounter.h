#ifndef TESTS_SUPPORT_PAINTCOUNTER_H
#define TESTS_SUPPORT_PAINTCOUNTER_H

#include <QEvent>
#include <QObject>

namespace testsupport {

// Counts the paints a widget gets, installed as its event filter.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace testsupport

#endif
