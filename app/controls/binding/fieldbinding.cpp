#include "app/controls/binding/fieldbinding.h"

#include <cmath>

#include "app/common/globals.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "platform/vb/convert.h"
#include "platform/vb/cstr.h"
#include "platform/vb/val.h"

namespace app::controls::binding {

namespace {

// A parameter value as the caption shows it: numbers with the program's decimal separator.
QString valueText(const QVariant &value)
{
    const auto separators = common::ProgramSeparators();
    switch (value.typeId()) {
    case QMetaType::Float:
        return platform::vb::CStr(value.toFloat(), separators);
    case QMetaType::Double:
        return platform::vb::CStr(value.toDouble(), separators);
    default:
        return value.toString();
    }
}

double valueNumber(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return platform::vb::Val(value.toString());
    return value.toDouble();
}

} // namespace

void SetupEditField(VXBtn &Btn, const FieldSetup &Setup)
{
    Btn.setAllowed(Setup.Allowed);
    Btn.setSource(Setup.Source);
    Btn.setFormat(Setup.Format);
    Btn.setIsNumeric(Setup.IsNumeric);
    Btn.setMaxLength(Setup.MaxLength);
    Btn.setMin(Setup.Min);
    Btn.setMax(Setup.Max);
    if (!Setup.List.isEmpty())
        Btn.setEditable(2);
    else if (!Setup.Source.isEmpty() || !Setup.Allowed.isEmpty() || Setup.MaxLength != 0 ||
             Setup.Min != 0.0 || Setup.Max != 0.0)
        Btn.setEditable(1);
    Btn.setList(Setup.List);
    Btn.setUseListIndex(Setup.UseListIndex);
    Btn.setDeferSave(Setup.DeferSave);
    Btn.SetToolTip(Setup.ToolTip);
}

bool LoadButtonValue(VXBtn &Btn, const std::optional<QVariant> &Value)
{
    device::HXR *hxr = device::HXRObject();
    QVariant value;
    if (Value) {
        value = *Value;
    } else {
        if (Btn.Source().isEmpty() || !hxr)
            return false;
        value = hxr->GetByName(Btn.Source());
    }
    if (Btn.UseListIndex())
        Btn.setListIndex(platform::vb::CInt(std::fabs(valueNumber(value))));
    else
        Btn.setCaption(valueText(value));
    return hxr && hxr->ErrorState() == 0;
}

void StoreButtonValue(VXBtn &Btn)
{
    device::HXR *hxr = device::HXRObject();
    if (Btn.Source().isEmpty() || !hxr)
        return;
    QVariant value;
    if (Btn.UseListIndex())
        value = QVariant::fromValue<int16_t>(Btn.ListIndex());
    else if (Btn.IsNumeric())
        value = Btn.Value();
    else
        value = Btn.Caption();
    hxr->LetByName(Btn.Source(), value);
}

} // namespace app::controls::binding
