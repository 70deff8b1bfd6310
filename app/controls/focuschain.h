#ifndef APP_CONTROLS_FOCUSCHAIN_H
#define APP_CONTROLS_FOCUSCHAIN_H

class QWidget;

namespace app::controls {

// Walks of the window's focus chain, which is its tab order, limited to the controls inside one
// widget (a page, a tab's frame) that can take the focus now: enabled and shown within it.

// Whether the control takes the focus by Tab (`byTab`) or at all, enabled and shown in `within`.
bool Focusable(const QWidget *w, const QWidget *within, bool byTab);

// The first control inside `within` that Tab reaches; with `orClick`, else the first that takes
// the focus at all. Null when there is none.
QWidget *FirstControl(QWidget *within, bool orClick);

// The control Tab (`next`) or Shift+Tab reaches from `from` without leaving `within`; null when
// there is none.
QWidget *NextControl(QWidget &within, QWidget &from, bool next);

} // namespace app::controls

#endif
