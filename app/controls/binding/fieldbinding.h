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

// What SetupEditField gives a field, named at the call:
//     SetupEditField(*field, {.Source = QStringLiteral("UNTD"), .UseListIndex = true});
// A member left out is empty, 0 or false, as for a plain button (the `{}` of the text members
// keeps the compiler from warning about the members a call leaves out).
struct FieldSetup
{
    QString Source{};
    QString Format{};
    bool IsNumeric = false;
    QString Allowed{};
    int16_t MaxLength = 0;
    double Min = 0.0;
    double Max = 0.0;
    QString List{};
    bool UseListIndex = false;
    bool DeferSave = false;
    QString ToolTip{};
};

// Turns Btn into a button with a tooltip or into an entry field bound to a device parameter:
// every member of Setup is set, and Editable follows from them (a list makes a list field; a
// Source, Allowed, MaxLength or range makes a text field; otherwise it stays as it was).
void SetupEditField(VXBtn &Btn, const FieldSetup &Setup);

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
