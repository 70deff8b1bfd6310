#include "app/shell/dialogform.h"

#include <algorithm>

#include <array>
#include <cstdlib>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
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

namespace {

// Room left between the dialog and the control it keeps clear of.
constexpr int RaiserGap = 8;

QPoint keptOnScreen(QPoint position, const QSize &dialog, const QRect &screen)
{
    if (screen.isEmpty())
        return position;
    position.setX(std::clamp(position.x(), screen.left(),
                             std::max(screen.left(), screen.right() + 1 - dialog.width())));
    position.setY(std::clamp(position.y(), screen.top(),
                             std::max(screen.top(), screen.bottom() + 1 - dialog.height())));
    return position;
}

bool fits(const QRect &placed, const QRect &screen)
{
    return screen.isEmpty() || screen.contains(placed);
}

} // namespace

QPoint dialogPosition(const QSize &dialog, const QRect &owner, const QRect &raiser,
                      const QRect &screen)
{
    const QRect around = owner.isEmpty() ? screen : owner;
    const QPoint centred = around.center() - QPoint(dialog.width() / 2, dialog.height() / 2) +
                           QPoint(1, 1);
    const QPoint start = keptOnScreen(centred, dialog, screen);
    if (raiser.isEmpty() || !QRect(start, dialog).intersects(raiser))
        return start;

    const std::array<QPoint, 2> vertical = {
        QPoint(start.x(), raiser.bottom() + 1 + RaiserGap),
        QPoint(start.x(), raiser.top() - RaiserGap - dialog.height())};
    const std::array<QPoint, 2> horizontal = {
        QPoint(raiser.right() + 1 + RaiserGap, start.y()),
        QPoint(raiser.left() - RaiserGap - dialog.width(), start.y())};
    for (const auto &candidates : {vertical, horizontal}) {
        const QPoint *best = nullptr;
        for (const QPoint &candidate : candidates) {
            if (!fits(QRect(candidate, dialog), screen))
                continue;
            if (!best || (candidate - start).manhattanLength() < (*best - start).manhattanLength())
                best = &candidate;
        }
        if (best)
            return *best;
    }
    return start; // no room anywhere: the screen is too small to keep the control clear
}

QWidget *dialogRaiser(const QWidget *owner)
{
    if (QWidget *focused = QApplication::focusWidget())
        return focused;
    return owner ? owner->window()->focusWidget() : nullptr;
}

void placeDialog(QWidget &form, const QWidget *raiser)
{
    const QWidget *owner = form.parentWidget() ? form.parentWidget()->window() : nullptr;
    const QRect ownerRect = owner ? owner->frameGeometry() : QRect();
    QRect raiserRect;
    if (raiser && raiser->isVisible() && raiser->window() != &form) {
        // A control of another dialog keeps that whole dialog clear, its title and buttons
        // with it: a box over half of it would read as one dialog with two sets of buttons.
        const QWidget *raiserWindow = raiser->window();
        raiserRect = qobject_cast<const QDialog *>(raiserWindow)
                         ? raiserWindow->frameGeometry()
                         : QRect(raiser->mapToGlobal(QPoint(0, 0)), raiser->size());
    }
    const QScreen *screen = owner && owner->screen() ? owner->screen()
                                                     : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    form.move(dialogPosition(form.size(), ownerRect, raiserRect, available));
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
