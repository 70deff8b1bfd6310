#ifndef APP_COMMON_DESKTOP_SYSTEMHELPERS_H
#define APP_COMMON_DESKTOP_SYSTEMHELPERS_H

#include <cstdint>
#include <functional>

#include <QColor>
#include <QImage>
#include <QString>
#include <Qt>

#include "platform/win/syscolours.h"

class QLabel;
class QWidget;

namespace app::common::desktop {

// Factory mode for this run: on when Ctrl and Shift are both held at start-up, or when the
// environment sets HXR_FACTORY=1 (where held keys cannot be read). Never turns it off.
void DetectFactoryMode();
// The same decision for given held keys and environment value.
void DetectFactoryMode(Qt::KeyboardModifiers held, const QString &factoryVariable);

// Twips in one logical pixel: 15, the scale every formula of the program is written in.
void InitTwipsPerPixel();

// False for an empty path; else whether the file system knows the path.
bool FileExists(const QString &path);

// Puts a picture of the whole window on the clipboard. The program's windows draw their own
// frames, so the window's own rendering is all of it. False when there is nothing to copy.
bool CopyWindowToClipboard(QWidget *window);

// Dest filled with its background, then Source blended over it with constant alpha (0 to 255)
// outside the columns StartX to EndX, which keep the background. Positions outside the picture
// are clipped, and a range given right to left means the same columns.
void BlendOutsideRange(const QImage &source, QImage &dest, QColor background, int32_t startX,
                       int32_t endX, uint8_t alpha);

// Gives the page its keyboard focus back after a dialog closed: the control that had the focus
// in the page gets it again, else the page itself. Does nothing without a page.
void RestorePageFocus(QWidget *page);

// The four branding colours a tab strip takes.
struct TabColours
{
    platform::win::OleColour displayBack = 0;
    platform::win::OleColour text = 0;
    platform::win::OleColour fieldBack = 0;
    platform::win::OleColour helpBack = 0;
};

// The tab strip's nine colour properties, in the order they are set, each with its role.
struct TabColourProperty
{
    uint32_t dispatchId;
    const char *name;
    platform::win::OleColour TabColours::*role;
};
extern const TabColourProperty TabColourProperties[9];

// Sets the nine colour properties (as QColor) on the tab widget.
void ApplyTabColours(QWidget *tab, const TabColours &colours);

// The main window's status line and what goes when communication is back (the splash form).
void setCommsStatusLabel(QLabel *label);
void setCommsRecoveredAction(std::function<void()> action);

// Shows the text in the status line when it changes it: a failure in bold red after
// "Communications Failure: ", a normal text in white (and the splash form goes).
void ReportCommsFailure(const QString &text, bool failed);

} // namespace app::common::desktop

#endif
