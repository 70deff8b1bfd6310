#include "app/shell/styletemplates.h"

#include <QFont>

#include "app/controls/vxbtn.h"
#include "app/shell/brandingmodule.h"

namespace app::shell {

using app::controls::VXBtn;
using platform::win::OleColour;

StyleTemplates::StyleTemplates(QWidget *window)
{
    // Hidden models: the first control registered under a style is the one the program's
    // fields copy their look from, so these come before every other control.
    auto make = [window](const QString &style) {
        auto *b = new VXBtn(window);
        b->hide();
        b->setStyle(style);
        return b;
    };
    t_.BFrmButton = make(styles::FrmButton);
    t_.BButton = make(styles::Button);
    // Buttons keep the caption size they are given rather than filling their height.
    t_.BButton->setStretch(false);
    t_.BCheck = make(styles::Check);
    t_.BToggle = make(styles::Toggle);
    t_.BField = make(styles::Field);
    t_.BField1 = make(styles::Field1);
    t_.BHyper = make(styles::Hyper);
    t_.BChrtButton = make(styles::ChrtButton);
    t_.LCD = make(styles::LCD);
    t_.LCDSeg = make(styles::LCDSeg);
    t_.BTitle = make(styles::Title);
    t_.BHeader1 = make(styles::Header1);
    t_.BHeader2 = make(styles::Header2);
    t_.BBody = make(styles::Body);
    t_.BLive = make(styles::Live);
    t_.BLiftout = make(styles::Liftout);
    // The designed fonts travel with each style.
    auto font = [](VXBtn *b, double points, bool bold) {
        QFont f = b->Font();
        f.setPointSizeF(points);
        f.setBold(bold);
        b->setFont(f);
    };
    for (VXBtn *b : {t_.BButton, t_.BToggle, t_.BField, t_.BField1, t_.BCheck, t_.BHyper,
                     t_.BChrtButton, t_.BBody, t_.BLiftout, t_.BLive})
        font(b, 9.0, false);
    font(t_.BFrmButton, 11.0, true);
    font(t_.BTitle, 13.0, true);
    font(t_.BHeader1, 10.5, true);
    font(t_.BHeader2, 9.5, true);
    t_.BToggle->setTOGGLE(true);
    t_.BCheck->setTOGGLE(true);
    t_.BHyper->setUnderline(true);
    t_.BHyper->setShowHandPointer(true);
}

void StyleTemplates::applyBranding(const Branding &b)
{
    auto c = [&b](BrandColour which) { return b.colour(which); };
    using BC = BrandColour;
    auto borders = [&](VXBtn *t) {
        t->setBorderColor(c(BC::Border));
        t->setBorderColorFocus(c(BC::BorderFocus));
        t->setBorderColorDisabled(c(BC::BorderDisabled));
    };
    auto backs = [](VXBtn *t, OleColour n, OleColour h, OleColour d, OleColour x) {
        t->setBackColor(n);
        t->setBackColorHover(h);
        t->setBackColorDown(d);
        t->setBackColorDisabled(x);
    };
    auto fores = [](VXBtn *t, OleColour n, OleColour h, OleColour d, OleColour x) {
        t->setForeColor(n);
        t->setForeColorHover(h);
        t->setForeColorDown(d);
        t->setForeColorDisabled(x);
    };
    const Templates &t = t_;
    for (VXBtn *button : {t.BButton, t.BToggle}) {
        borders(button);
        backs(button, c(BC::ButtonBack), c(BC::ButtonBackHover), c(BC::ButtonBackDown),
              c(BC::ButtonBackDisabled));
        fores(button, c(BC::ButtonFore), c(BC::ButtonForeHover), c(BC::ButtonForeDown),
              c(BC::ButtonForeDisabled));
    }
    borders(t.BField);
    backs(t.BField, c(BC::FieldBack), c(BC::FieldBackHover), c(BC::FieldBackDown),
          c(BC::FieldBackDisabled));
    fores(t.BField, c(BC::FieldFore), c(BC::FieldForeHover), c(BC::FieldForeDown),
          c(BC::FieldForeDisabled));
    borders(t.BCheck);
    backs(t.BCheck, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack));
    fores(t.BCheck, c(BC::ButtonFore), c(BC::ButtonBackHover), c(BC::ButtonFore),
          c(BC::ButtonForeDisabled));
    backs(t.BHyper, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack));
    fores(t.BHyper, c(BC::FieldBack), c(BC::ButtonBackDown), c(BC::ButtonBackDown),
          c(BC::FieldBackDisabled));
    // Buttons without a border of their own still take the focus colour for their ring.
    for (VXBtn *plain : {t.BHyper, t.BFrmButton, t.BChrtButton})
        plain->setBorderColorFocus(c(BC::BorderFocus));
    backs(t.BFrmButton, c(BC::Back), c(BC::Back), c(BC::Back), c(BC::Back));
    fores(t.BFrmButton, c(BC::FieldBack), c(BC::FieldBackHover), c(BC::FieldBackDown),
          c(BC::FieldBackDisabled));
    backs(t.BChrtButton, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack),
          c(BC::DisplayBack));
    fores(t.BChrtButton, c(BC::FieldBack), c(BC::FieldBackHover), c(BC::FieldBackDown),
          c(BC::FieldBackDisabled));
    for (VXBtn *lcd : {t.LCD, t.LCDSeg}) {
        lcd->setBorderColor(c(BC::Live));
        lcd->setBackColor(c(BC::Live));
        lcd->setForeColor(c(BC::DisplayBack));
    }
    // Texts on the display; their background is the display's (a design choice).
    for (VXBtn *text : {t.BTitle, t.BHeader1, t.BHeader2, t.BBody, t.BLive, t.BField1}) {
        backs(text, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack));
        text->setBorderColor(c(BC::DisplayBack));
    }
    for (VXBtn *header : {t.BTitle, t.BHeader1, t.BHeader2})
        header->setForeColor(c(BC::Headers));
    t.BBody->setForeColor(c(BC::Text));
    t.BField1->setForeColor(c(BC::Text));
    t.BLive->setForeColor(c(BC::Live));
    t.BLiftout->setBackColor(c(BC::LiftoutBack));
    t.BLiftout->setBorderColor(c(BC::LiftoutBack));
    t.BLiftout->setForeColor(c(BC::LiftoutFore));
    for (VXBtn *model :
         {t.BHeader1, t.BHeader2, t.BBody, t.BLiftout, t.BField, t.BButton, t.BToggle, t.BLive,
          t.BTitle, t.BFrmButton, t.BChrtButton, t.BHyper, t.BCheck, t.BField1, t.LCD, t.LCDSeg})
        model->setUseMyStyle(QString());
}

} // namespace app::shell
