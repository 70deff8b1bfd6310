#ifndef APP_SHELL_MENUCONTROL_H
#define APP_SHELL_MENUCONTROL_H

#include <QString>
#include <QStringList>

class QPlainTextEdit;
class QWidget;

namespace app::shell {

class ChildFormClass;

// The main window's help area, as the page host needs it.
struct HelpArea
{
    QWidget *mainFrame = nullptr;        // the page container, hidden while a page is opened
    QWidget *mainHelp = nullptr;         // the help panel
    QPlainTextEdit *help = nullptr;      // help text of the current page
    QPlainTextEdit *extraInfo = nullptr; // the extra information box over the help panel
};

void SetHelpArea(const HelpArea &area);

// Shows the page with its help text ("*" as line breaks) and tells it Activated.
void OpenPage(ChildFormClass *page);

// Prepares the extra information box: Height in twips at the bottom of the help panel; "*" in
// the template becomes a line break.
void ShowExtraInfo(const QString &templateText, int heightTwips);
// Replaces "#1" .. "#6" of the template with the given values (1 to 6 of them) and shows the
// box. Placeholders without a value stay.
void FillExtraInfo(const QStringList &values);
void HideExtraInfo();
// The text the extra information box shows now.
QString ExtraInfoText();

} // namespace app::shell

#endif
