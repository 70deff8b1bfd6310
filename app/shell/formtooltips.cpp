#include "app/shell/formtooltips.h"

#include <QWidget>

#include "app/controls/vxbtn.h"
#include "app/shell/handlertrap.h"
#include "tooltips/mtipapi.h"
#include "tooltips/r77tipctl.h"

namespace app::shell {

namespace {

// The tooltip control of the form that holds the control.
tooltips::R77TipCtl *tipControlOf(const QWidget &control)
{
    for (const QWidget *form = control.parentWidget(); form; form = form->parentWidget()) {
        if (tooltips::R77TipCtl *tips = tooltips::R77TipCtl::of(form))
            return tips;
        if (form->isWindow())
            break;
    }
    return nullptr;
}

void setOwnText(QWidget &control, const QString &text)
{
    if (auto *button = qobject_cast<app::controls::VXBtn *>(&control))
        button->SetToolTip(text);
    else
        control.setToolTip(text);
}

} // namespace

void LoadFormTooltips(QWidget &form)
{
    try {
        tooltips::R77TipCtl *tips = tooltips::R77TipCtl::of(&form);
        if (!tips)
            tips = new tooltips::R77TipCtl(&form);
        tips->LoadTooltips(QString());
    } catch (...) {
        // The controls keep their plain tooltips.
        LogSkippedHandler(form.objectName(), "LoadFormTooltips");
    }
}

void SetFormTooltip(QWidget &control, const QString &text)
{
    try {
        tooltips::R77TipCtl *tips = tipControlOf(control);
        const int32_t handle = tooltips::WindowHandle(&control);
        if (tips && tips->Tooltips().ItemByControlhWnd(handle)) {
            tips->SetToolTipText(handle, tooltips::TipTextOf(text));
            return;
        }
    } catch (...) {
        LogSkippedHandler("FormTooltips", "SetFormTooltip");
    }
    setOwnText(control, text);
}

} // namespace app::shell
