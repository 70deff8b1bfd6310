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

void SetupEditField(VXBtn &Btn, const QString &Source, const QString &Format, bool IsNumeric,
                    const QString &Allowed, int16_t MaxLength, double Min, double Max,
                    const QString &List, bool UseListIndex, bool DeferSave, const QString &ToolTip)
{
    Btn.setAllowed(Allowed);
    Btn.setSource(Source);
    Btn.setFormat(Format);
    Btn.setIsNumeric(IsNumeric);
    Btn.setMaxLength(MaxLength);
    Btn.setMin(Min);
    Btn.setMax(Max);
    if (!List.isEmpty())
        Btn.setEditable(2);
    else if (!Source.isEmpty() || !Allowed.isEmpty() || MaxLength != 0 || Min != 0.0 || Max != 0.0)
        Btn.setEditable(1);
    Btn.setList(List);
    Btn.setUseListIndex(UseListIndex);
    Btn.setDeferSave(DeferSave);
    Btn.SetToolTip(ToolTip);
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
