#include "app/shell/dialogform.h"

#include <algorithm>

#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "app/controls/roundregion.h"
#include "app/controls/twips.h"
#include "app/controls/vxbtn.h"
#include "app/shell/brandingmodule.h"
#include "platform/win/gui/qcolour.h"

namespace app::shell {

using controls::toPixels;

FormPalette currentFormPalette()
{
    const BrandPalette &loaded = CurrentBranding().colours;
    const bool branded = std::any_of(loaded.begin(), loaded.end(), [](uint32_t c) { return c; });
    const BrandPalette &colours = branded ? loaded : BuiltInPalette();
    auto c = [&colours](BrandColour which) { return colours[static_cast<size_t>(which)]; };
    FormPalette palette;
    palette.back = c(BrandColour::Back);
    palette.displayBack = c(BrandColour::DisplayBack);
    palette.helpBack = c(BrandColour::HelpBack);
    palette.headers = c(BrandColour::Headers);
    palette.text = c(BrandColour::Text);
    palette.buttonBack = c(BrandColour::ButtonBack);
    palette.buttonBackHover = c(BrandColour::ButtonBackHover);
    palette.buttonBackDown = c(BrandColour::ButtonBackDown);
    palette.buttonFore = c(BrandColour::ButtonFore);
    palette.buttonForeHover = c(BrandColour::ButtonForeHover);
    palette.buttonForeDown = c(BrandColour::ButtonForeDown);
    palette.fieldBack = c(BrandColour::FieldBack);
    palette.fieldFore = c(BrandColour::FieldFore);
    palette.border = c(BrandColour::Border);
    palette.borderFocus = c(BrandColour::BorderFocus);
    return palette;
}

void setRoleColour(QWidget &widget, QPalette::ColorRole role, platform::win::OleColour colour)
{
    QPalette p = widget.palette();
    p.setColor(role, platform::win::gui::toQColor(colour));
    widget.setPalette(p);
}

QLabel *addDialogTitle(QWidget &form, const QString &objectName, const FormPalette &palette)
{
    auto *title = new QLabel(&form);
    title->setObjectName(objectName);
    title->setGeometry(0, 0, form.width(), toPixels(DialogTitleHeightTwips));
    title->setContentsMargins(toPixels(DialogMarginTwips), 0, toPixels(DialogMarginTwips), 0);
    title->setAutoFillBackground(true);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(10.5);
    title->setFont(font);
    setRoleColour(*title, QPalette::Window, palette.back);
    setRoleColour(*title, QPalette::WindowText, palette.headers);
    return title;
}

QLabel *addDialogText(QWidget &form, const QString &objectName, const FormPalette &palette)
{
    auto *text = new QLabel(&form);
    text->setObjectName(objectName);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = text->font();
    font.setPointSizeF(10);
    text->setFont(font);
    setRoleColour(*text, QPalette::WindowText, palette.text);
    return text;
}

controls::VXBtn *addDialogButton(QWidget &parent, const QString &objectName, const QString &caption,
                                 const FormPalette &palette)
{
    auto *button = new controls::VXBtn(&parent);
    button->setObjectName(objectName);
    applyButtonLook(*button, palette);
    button->setCaption(caption);
    button->resize(toPixels(DialogButtonWidthTwips), toPixels(DialogButtonHeightTwips));
    return button;
}

void applyButtonLook(controls::VXBtn &button, const FormPalette &palette)
{
    button.setBackColor(palette.buttonBack);
    button.setBackColorHover(palette.buttonBackHover);
    button.setBackColorDown(palette.buttonBackDown);
    button.setForeColor(palette.buttonFore);
    button.setForeColorHover(palette.buttonForeHover);
    button.setForeColorDown(palette.buttonForeDown);
    button.setBorderColor(palette.border);
    button.setBorderColorFocus(palette.borderFocus);
    button.setBorderStyle(2);
    button.setHoverOffset(0);
    button.setClickOffset(1);
    // The main window's "Button" template, when there is one, gives the program-wide look.
    button.setStyle(QStringLiteral("Button"));
    // A caption of a fixed, readable size rather than one that fills the button; set after the
    // style, whose template would otherwise make the caption fill the button again.
    button.setStretch(false);
    QFont font = button.Font();
    font.setBold(true);
    font.setPointSizeF(10);
    button.setFont(font);
}

void roundDialog(QWidget &form)
{
    form.setMask(controls::roundRectRegion(form.width(), form.height(), DialogCornerEllipse,
                                           DialogCornerEllipse));
}

void paintDialogOutline(QWidget &form, const QLabel &title)
{
    QPainter painter(&form);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(title.palette().color(QPalette::Window), 1.0));
    painter.drawRoundedRect(QRectF(form.rect()).adjusted(0.5, 0.5, -0.5, -0.5),
                            DialogCornerEllipse / 2.0, DialogCornerEllipse / 2.0);
}

} // namespace app::shell
