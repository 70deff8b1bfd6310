#ifndef APP_COMMON_DESKTOP_MESSAGES_H
#define APP_COMMON_DESKTOP_MESSAGES_H

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

#include "app/common/globals.h"
#include "platform/win/syscolours.h"

namespace app::common::desktop {

// Places in twips, the message form's own units.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int bottom() const { return top + height; }
    bool operator==(const TwipsRect &) const = default;
};

// The message form as designed, once it holds its texts (the message label grown to fit).
struct MessageFormDesign
{
    int innerWidth = 0;
    TwipsRect message;
    TwipsRect ok;
    TwipsRect cancel;
    TwipsRect progress;
};

// What the message form shows for one mode; captions left empty keep the designed ones.
struct MessageLayout
{
    int formHeight = 0;
    TwipsRect ok;
    TwipsRect cancel;
    TwipsRect progress;
    bool okVisible = false;
    bool cancelVisible = false;
    bool progressVisible = false;
    QString okCaption;
    QString cancelCaption;
};

// The modes of ShowMessage.
inline constexpr int16_t MessageOk = 0;
inline constexpr int16_t MessageNotice = 1;
inline constexpr int16_t MessageProgress = 2;
inline constexpr int16_t MessageYesNo = 3;

// Title bar colours.
inline constexpr platform::win::OleColour MessageWarningColour = 0x000080;
inline constexpr platform::win::OleColour MessageNormalColour = 0x272727;

MessageLayout LayOutMessage(const MessageFormDesign &design, int16_t mode);

// How a modal message ended: by its OK ("Yes") button, its Cancel ("No") button, or without
// either (a key or the window's close).
enum class MessageAnswer { None, Ok, Cancel };

// The message form as ShowMessage drives it. ShowMessage owns the object: destroying it closes
// and disposes of the window (an implementation whose window has a Qt parent holds it through a
// QPointer and lets it go with deleteLater, so that either may go first).
class MessageDialog
{
public:
    virtual ~MessageDialog() = default;

    // The title bar's text and colour and the message.
    virtual void setTexts(const QString &text, const QString &title,
                          platform::win::OleColour titleColour) = 0;
    virtual MessageFormDesign design() const = 0;
    // Places, shows and captions the controls, sizes the form and rounds its outline.
    virtual void applyLayout(const MessageLayout &layout) = 0;
    // Shows the form modally, owned by the main window, until it is answered or dismissed.
    virtual MessageAnswer exec() = 0;
    // Ends a running exec() with MessageAnswer::None.
    virtual void dismiss() = 0;
    // Shows the form without waiting, owned by the main window, painted at once. The user cannot
    // close such a notice; should its window go anyway, setProgress and destruction stay safe.
    virtual void showModeless() = 0;
    // The progress bar of a progress notice, 0 to 100.
    virtual void setProgress(double percent) = 0;
    // A progress notice with a Cancel button (shown by the layout) calls this on a click and
    // stays up; while it is up it takes the input of the program's other windows. Forms
    // without such a button ignore it.
    virtual void setCancelHandler(std::function<void()> handler) { (void)handler; }
};

using MessageDialogFactory = std::function<std::unique_ptr<MessageDialog>()>;

// Installs the message form (an empty factory restores the plain default) and returns the
// previous factory.
MessageDialogFactory setMessageDialogFactory(MessageDialogFactory factory);

// The program's message box. Mode 0: a message with "OK"; 3: a question with "Yes" and "No";
// both wait for the answer, which MessageCancelled() holds (false for "OK" and "Yes", true for
// "No"; a question closed without an answer counts as "No", a message so closed leaves it).
// Mode 1: a notice that stays up; 2: a notice with a progress bar; both return at once and stay
// until UnloadMessage or the next ShowMessage. Warning colours the title bar dark red.
void ShowMessage(const QString &text, const QString &title, bool warning, int16_t mode);

// A progress notice (as mode 2) with a "Cancel" button for work that can stop early: a click
// calls onCancel once; the notice stays until UnloadMessage or the next ShowMessage.
void ShowProgressMessage(const QString &text, const QString &title,
                         std::function<void()> onCancel);
// Advances the progress bar of an open notice; nothing without one. The percentage is bounded
// to 0..100 and one that is not a number counts as 0.
void SetMessageProgress(double percent);
// Closes the open message, a notice or a waiting message (which then ends unanswered).
void UnloadMessage();
// Whether a message is up.
bool MessageOpen();

} // namespace app::common::desktop

#endif
