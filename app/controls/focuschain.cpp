#include "app/controls/focuschain.h"

#include <QWidget>

namespace app::controls {

bool Focusable(const QWidget *w, const QWidget *within, bool byTab)
{
    const Qt::FocusPolicy policy = w->focusPolicy();
    const bool takesFocus = byTab ? (policy & Qt::TabFocus) != 0 : policy != Qt::NoFocus;
    return takesFocus && w->isEnabled() && w->isVisibleTo(within);
}

QWidget *FirstControl(QWidget *within, bool orClick)
{
    if (!within)
        return nullptr;
    QWidget *fallback = nullptr;
    for (QWidget *w = within->nextInFocusChain(); w && w != within; w = w->nextInFocusChain()) {
        if (!within->isAncestorOf(w))
            continue;
        if (Focusable(w, within, true))
            return w;
        if (orClick && !fallback && Focusable(w, within, false))
            fallback = w;
    }
    return fallback;
}

QWidget *NextControl(QWidget &within, QWidget &from, bool next)
{
    auto step = [next](QWidget *w) {
        return next ? w->nextInFocusChain() : w->previousInFocusChain();
    };
    for (QWidget *w = step(&from); w && w != &from; w = step(w))
        if (within.isAncestorOf(w) && Focusable(w, &within, true))
            return w;
    return nullptr;
}

} // namespace app::controls
