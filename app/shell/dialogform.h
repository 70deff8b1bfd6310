#ifndef APP_SHELL_DIALOGFORM_H
#define APP_SHELL_DIALOGFORM_H

#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "platform/win/syscolours.h"

class QLabel;
class QWidget;

namespace app::controls {
class VXBtn;
} // namespace app::controls

namespace app::shell {

// The branding colours the two dialogs take when they load (the built-in palette while no
// branding file has been read).
struct FormPalette
{
    platform::win::OleColour back = 0;
    platform::win::OleColour displayBack = 0;
    platform::win::OleColour helpBack = 0;
    platform::win::OleColour headers = 0;
    platform::win::OleColour text = 0;
    // The look of their buttons and of the entry field until a style template gives its own.
    platform::win::OleColour buttonBack = 0, buttonBackHover = 0, buttonBackDown = 0,
                             buttonFore = 0, buttonForeHover = 0, buttonForeDown = 0;
    platform::win::OleColour fieldBack = 0, fieldFore = 0;
    platform::win::OleColour border = 0, borderFocus = 0;
};
FormPalette currentFormPalette();

// The layout both dialogs share, in twips.
constexpr int DialogWidthTwips = 5400;
constexpr int DialogTitleHeightTwips = 390;
constexpr int DialogMarginTwips = 240;
constexpr int DialogTextTopTwips = 600;
constexpr int DialogTextWidthTwips = DialogWidthTwips - 2 * DialogMarginTwips;
constexpr int DialogButtonWidthTwips = 1200;
constexpr int DialogButtonHeightTwips = 420;
constexpr int DialogOkLeftTwips = 1320;
constexpr int DialogCancelLeftTwips = 2880;
constexpr int DialogCornerEllipse = 15;

// Sets one colour role of a widget's palette.
void setRoleColour(QWidget &widget, QPalette::ColorRole role, platform::win::OleColour colour);

// The dialog's title bar: a bold label across the top in the title colours.
QLabel *addDialogTitle(QWidget &form, const QString &objectName, const FormPalette &palette);
// The dialog's wrapped text in the text colour.
QLabel *addDialogText(QWidget &form, const QString &objectName, const FormPalette &palette);
// A dialog button of the standard size: the program's "Button" style, with the palette's look
// as its own.
controls::VXBtn *addDialogButton(QWidget &parent, const QString &objectName, const QString &caption,
                                 const FormPalette &palette);
void applyButtonLook(controls::VXBtn &button, const FormPalette &palette);

// Where a dialog of the given size goes, in screen pixels: centred over its owner's window (the
// screen when it has none); when that would cover the control that raised it, straight below
// or above that control, whichever stays on the screen and moves it less, else beside it; kept
// on the screen wherever it goes.
QPoint dialogPosition(const QSize &dialog, const QRect &owner, const QRect &raiser,
                      const QRect &screen);
// The control a dialog about to open over the owner keeps clear of: the one with the keyboard
// focus, else the one the owner's window last gave it to (a window not yet active has none).
QWidget *dialogRaiser(const QWidget *owner);
// Moves the form there; a control inside another dialog stands for that whole dialog.
void placeDialog(QWidget &form, const QWidget *raiser);

// Clips the form to its rounded outline, and draws that outline: a hairline in the title
// colour stands in for the drop shadow of a desktop that draws none.
void roundDialog(QWidget &form);
void paintDialogOutline(QWidget &form, const QLabel &title);

} // namespace app::shell

#endif
