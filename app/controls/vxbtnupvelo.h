#ifndef APP_CONTROLS_VXBTNUPVELO_H
#define APP_CONTROLS_VXBTNUPVELO_H

#include <optional>

#include <QVariant>

namespace app::controls {

class VXBtn;

// The binding of entry fields to the device object (HXRObject) by the mnemonic in Source.

// Shows Value, or when it is absent the current value of the Source parameter (nothing and
// false for a field without a Source). A field with UseListIndex takes the value's magnitude as
// its ListIndex, others show it as their caption. True when no device error is latched.
bool LoadButtonValue(VXBtn &Btn, const std::optional<QVariant> &Value = std::nullopt);

// Writes the field's value to its Source parameter: its ListIndex with UseListIndex, its number
// with IsNumeric, its caption otherwise. Nothing for a field without a Source. Errors of the
// device object's by-name write reach the caller.
void StoreButtonValue(VXBtn &Btn);

} // namespace app::controls

#endif
