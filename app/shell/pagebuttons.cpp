#include "app/shell/pagebuttons.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <utility>

#include "app/controls/buttonbar.h"
#include "app/controls/vxbtn.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/handlertrap.h"
#include "app/shell/mainfrmui.h"
#include "app/shell/panel.h"

namespace app::shell {

using app::controls::ButtonBar;

PageButtons::PageButtons(MainFrmUi &ui, std::function<bool(int index)> refuseSwitch) : ui_(ui)
{
    // The bar is the context and the handlers hold nothing of this object: the bar may still
    // report while the window takes its children down.
    QObject::connect(ui_.buttonBar, &ButtonBar::ButtonIn, ui_.buttonBar,
                     [](int i) { ShowButtonTip(i); });
    QObject::connect(ui_.buttonBar, &ButtonBar::ButtonOut, ui_.buttonBar, [] { HideButtonTip(); });
    QObject::connect(ui_.buttonBar, &ButtonBar::ButtonClickCheck, ui_.buttonBar,
                     [refuse = std::move(refuseSwitch)](int i) {
                         if (refuse(i))
                             app::controls::CancelButtonClick = true;
                     });
    QObject::connect(ui_.buttonBar, &ButtonBar::ButtonClick, ui_.buttonBar, [](int i) {
        try {
            SwitchPage(i);
        } catch (const std::exception &) {
            // Nothing switches.
            LogSkippedHandler("MainFrm", "ButtonClick");
        }
    });
}

void PageButtons::clear()
{
    ui_.buttonBar->Clear();
    // Clearing gives the bar its design grey back; it stays on the display's colour.
    ui_.buttonBar->setMenuBackcolor(CurrentBranding().colour(BrandColour::DisplayBack));
}

void PageButtons::add(const QString &glyph, bool enabled)
{
    ui_.buttonBar->AddButton(glyph);
    const auto &elements = ui_.buttonBar->ButtonArray();
    const int added = ui_.buttonBar->addedCount();
    if (added >= 1 && added <= static_cast<int>(elements.size()))
        elements[static_cast<size_t>(added - 1)]->setEnabled(enabled);
}

void PageButtons::draw()
{
    // The bar and its panel keep their right edge while they grow or shrink.
    ui_.buttonBar->DrawMe();
    const int right = ui_.themes->x() + ui_.themes->width();
    ui_.themes->setGeometry(right - ui_.buttonBar->width() - 8, ui_.themes->y(),
                            ui_.buttonBar->width() + 8, ui_.themes->height());
    ui_.buttonBar->move(4, ui_.buttonBar->y());
    ui_.fitTitleBesideButtons();
}

void PageButtons::select(int index)
{
    ui_.buttonBar->SetSelectedButton(static_cast<int16_t>(index));
}

} // namespace app::shell
