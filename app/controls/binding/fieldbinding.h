// Binds VXBtn entry fields to device parameters: the only controls code that knows the device.
#ifndef APP_CONTROLS_BINDING_FIELDBINDING_H
#define APP_CONTROLS_BINDING_FIELDBINDING_H

#include <cstdint>
#include <optional>

#include <QString>
#include <QVariant>

namespace app::controls {
class VXBtn;
} // namespace app::controls

namespace app::controls::binding {

// Fields are bound to the device object (HXRObject) by the mnemonic in Source.

// Turns Btn into a button with a tooltip or into an entry field bound to a device parameter.
void SetupEditField(VXBtn &Btn, const QString &Source, const QString &Format, bool IsNumeric,
                    const QString &Allowed, int16_t MaxLength, double Min, double Max,
                    const QString &List, bool UseListIndex, bool DeferSave, const QString &ToolTip);

// Shows Value, or when it is absent the current value of the Source parameter (nothing and
// false for a field without a Source). A field with UseListIndex takes the value's magnitude as
// its ListIndex, others show it as their caption. True when no device error is latched.
bool LoadButtonValue(VXBtn &Btn, const std::optional<QVariant> &Value = std::nullopt);

// Writes the field's value to its Source parameter: its ListIndex with UseListIndex, its number
// with IsNumeric, its caption otherwise. Nothing for a field without a Source. Errors of the
// device object's by-name write reach the caller.
void StoreButtonValue(VXBtn &Btn);

} // namespace app::controls::binding

#endif
