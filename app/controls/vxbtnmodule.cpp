#include "app/controls/vxbtnmodule.h"

#include <vector>

#include "app/controls/controlsstate.h"
#include "app/controls/vxbtn.h"

namespace app::controls {

namespace {

using Entry = ControlsState::ButtonEntry;

ControlsState::ButtonRegistry &registry()
{
    return ControlsState::current().buttons;
}

// The look a registration copies, in order; publishing adds BorderColorDisabled.
void copyLook(VXBtn &target, const VXBtn &model, bool withDisabledBorder)
{
    target.setBackColor(model.BackColor());
    target.setBackColorDisabled(model.BackColorDisabled());
    target.setBackColorHover(model.BackColorHover());
    target.setBackColorDown(model.BackColorDown());
    target.setBorderWidth(model.BorderWidth());
    target.setBorderColor(model.BorderColor());
    target.setBorderColorFocus(model.BorderColorFocus());
    if (withDisabledBorder)
        target.setBorderColorDisabled(model.BorderColorDisabled());
    target.setBorderStyle(model.BorderStyle());
    target.setForeColor(model.ForeColor());
    target.setForeColorDisabled(model.ForeColorDisabled());
    target.setForeColorHover(model.ForeColorHover());
    target.setForeColorDown(model.ForeColorDown());
    target.setUnderline(model.Underline());
    target.setClickOffset(model.ClickOffset());
    target.setHoverOffset(model.HoverOffset());
    target.setShowHandPointer(model.ShowHandPointer());
    QFont font = target.Font();
    font.setFamily(model.Font().family());
    target.setFont(font);
    target.setStretch(model.Stretch());
    target.setPadding(model.Padding());
    target.DrawMe();
}

} // namespace

void CopyButtonStyle(VXBtn &Btn, const QString &StyleName, int32_t &InstanceNumber)
{
    if (InstanceNumber != 0)
        return;
    ControlsState::ButtonRegistry &reg = registry();
    InstanceNumber = ++reg.counter;
    for (const Entry &entry : reg.entries) {
        if (entry.styleName == StyleName && entry.button && entry.button != &Btn) {
            copyLook(Btn, *entry.button, false);
            break;
        }
    }
    reg.entries.push_back({InstanceNumber, &Btn, StyleName});
}

void ApplyButtonStyle(VXBtn &Btn, const QString &StyleName)
{
    if (StyleName.isEmpty())
        return;
    // Copy the list first: a let may redraw, and nothing must change the registry under us.
    const std::vector<Entry> entries = registry().entries;
    for (const Entry &entry : entries) {
        if (entry.styleName == StyleName && entry.button)
            copyLook(*entry.button, Btn, true);
    }
}

void RemoveButtonStyle(int32_t InstanceNumber)
{
    if (InstanceNumber == 0)
        return;
    auto &entries = registry().entries;
    std::erase_if(entries,
                  [InstanceNumber](const Entry &e) { return e.instance == InstanceNumber; });
}

void ForceLostFocusOthers(VXBtn &Btn)
{
    const std::vector<Entry> entries = registry().entries;
    for (const Entry &entry : entries) {
        if (entry.button && entry.button != &Btn)
            entry.button->ForceLostFocus();
    }
}

int RegisteredButtonCount()
{
    return static_cast<int>(registry().entries.size());
}

} // namespace app::controls
