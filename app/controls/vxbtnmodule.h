#ifndef APP_CONTROLS_VXBTNMODULE_H
#define APP_CONTROLS_VXBTNMODULE_H

#include <cstdint>

#include <QString>

namespace app::controls {

class VXBtn;

// The program-wide style registry: every VXBtn that names a Style is registered under it, in
// registration order, by its instance number. The first control of a style is the model that
// later ones copy their look from.

// Registers Btn under StyleName unless InstanceNumber is already set; a later control of an
// existing style takes the model's look (all of it but BorderColorDisabled and the font size).
void CopyButtonStyle(VXBtn &Btn, const QString &StyleName, int32_t &InstanceNumber);
// Gives every control registered under StyleName (Btn included) Btn's whole look.
void ApplyButtonStyle(VXBtn &Btn, const QString &StyleName);
// Forgets the control with this instance number; an unknown number is ignored.
void RemoveButtonStyle(int32_t InstanceNumber);
// Tells every registered control but Btn to drop its focus look.
void ForceLostFocusOthers(VXBtn &Btn);
// Number of registered controls (for owners that list them and for tests).
int RegisteredButtonCount();

} // namespace app::controls

#endif
