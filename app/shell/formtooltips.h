#ifndef APP_SHELL_FORMTOOLTIPS_H
#define APP_SHELL_FORMTOOLTIPS_H

#include <QString>

class QWidget;

namespace app::shell {

// Gives the form its tooltip control (once) and turns the plain tooltip of each of its controls
// into a balloon of that control. Called in the form's load step, after its controls exist; a
// second call loads them afresh. A failure leaves the plain tooltips.
void LoadFormTooltips(QWidget &form);

// Sets a control's tooltip text after its form has loaded its tooltips: the text goes to the
// control's balloon ("**" a line break, as at loading), or to the control itself when it has no
// balloon.
void SetFormTooltip(QWidget &control, const QString &text);

} // namespace app::shell

#endif
