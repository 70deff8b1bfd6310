#ifndef APP_SHELL_CHILDCONTROL_H
#define APP_SHELL_CHILDCONTROL_H

#include <functional>

#include <QString>
#include <QStringList>

class QWidget;

namespace app::shell {

class ChildFormClass;

// The page host: the container the pages live in, the pages shown since the last unload
// (registered by form name) and the current page.

void SetPageContainer(QWidget *host, QWidget *container);
QWidget *PageContainer();

// Adds the page under its form name; a page already there stays.
void RegisterPage(ChildFormClass *page);
QStringList RegisteredPageNames();

// Makes the page current inside the container: the previous page is hidden, the new one
// reparented, placed one pixel above and left of the container's origin, sized to cover it,
// shown and given the focus.
void ShowPage(ChildFormClass *page);
ChildFormClass *CurrentPage();

// The strip along the container's bottom edge that the main window's logo frame lies over, in
// twips: a page keeps its controls above it, plus the pixel it reaches past that edge.
constexpr int CoveredContainerBottomTwips = 160;

// Focuses the form's first control in tab order; a form without a tab stop gets its first
// focusable control.
void FocusFirstControl(QWidget *form);
void FocusCurrentPage();
// For the window's focusNextPrevChild. When its focused control hides or is disabled, the focus
// goes to the next control of the current page (its first, when the control was not in it),
// never to a page button that the user did not move to; without such a control nothing keeps
// it. Returns false when the user moves the focus on (Tab), which the window's order decides.
bool KeepFocusInPage(QWidget &window, bool next);

// Unloads every loaded page but CHILD_GEN_HOME, which stays loaded but unregistered; no page is
// current afterwards. A page whose refresh is running is hidden at once and destroyed when
// its refresh returns.
void UnloadPages();
// Forgets the container, UnloadPages, and unloads CHILD_GEN_HOME too.
void CloseAllPages();

QString CurrentPageHelpText();
int CurrentPageType();

// TimedRefresh of the current page under IsRefreshing. A refresh that is still running (a
// page letting events run) makes a second call return at once, as does an InputHold. Page
// errors are swallowed.
void RefreshCurrentPage();
void ActivateCurrentPage();
void DeactivateCurrentPage();
bool IsRefreshing();

// Called each time a refresh returns (the main window finishes a close that waited for it).
void SetRefreshFinishedHook(std::function<void()> hook);

inline const QString HomePageName = QStringLiteral("CHILD_GEN_HOME");

} // namespace app::shell

#endif
