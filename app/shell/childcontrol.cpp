#include "app/shell/childcontrol.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "app/common/desktop/waitcursor.h"
#include "app/controls/focuschain.h"
#include "app/shell/childformclass.h"
#include "app/shell/handlertrap.h"
#include "app/shell/inputhold.h"
#include "app/shell/pageforms.h"
#include "app/shell/shellstate.h"

namespace app::shell {

namespace {

using Host = ShellState::PageHost;

Host &state()
{
    return ShellState::current().pageHost;
}

template <typename Call>
void ignoringErrors(const ChildFormClass &page, const char *handler, Call &&call)
{
    // Named first: the call may unload the page.
    const QString name = page.objectName();
    try {
        call();
    } catch (...) {
        // A failing page never stops the shell.
        LogSkippedHandler(name, handler);
    }
}

void unload(const QString &name)
{
    std::unique_ptr<ChildFormClass> page = ReleasePage(name);
    if (!page)
        return;
    Host &h = state();
    if (h.refreshing && h.refreshingPage == page.get())
        h.pendingUnload.push_back(std::move(page));
}

} // namespace

void SetPageContainer(QWidget *host, QWidget *container)
{
    state().host = host;
    state().container = container;
}

QWidget *PageContainer()
{
    return state().container;
}

void RegisterPage(ChildFormClass *page)
{
    if (!page)
        return;
    auto &registered = state().registered;
    const auto it = registered.find(page->objectName());
    if (it == registered.end() || !it->second) {
        registered[page->objectName()] = page;
        state().registrationOrder.removeAll(page->objectName());
        state().registrationOrder << page->objectName();
    }
}

QStringList RegisteredPageNames()
{
    QStringList names;
    for (const QString &name : state().registrationOrder)
        if (state().registered[name])
            names << name;
    return names;
}

void ShowPage(ChildFormClass *page)
{
    Host &h = state();
    if (h.current && h.current != page) {
        h.current->setEnabled(false);
        h.current->hide();
    }
    const app::common::desktop::WaitCursor busy;
    RegisterPage(page);
    page->setEnabled(true);
    if (h.container) {
        page->setParent(h.container);
        page->move(-1, -1);
        page->resize(h.container->width() + 2, h.container->height() + 2);
    }
    page->show();
    page->raise();
    h.current = page;
    FocusFirstControl(page);
}

ChildFormClass *CurrentPage()
{
    return state().current;
}

void FocusFirstControl(QWidget *form)
{
    if (QWidget *target = app::controls::FirstControl(form, true))
        target->setFocus(Qt::OtherFocusReason);
}

void FocusCurrentPage()
{
    FocusFirstControl(CurrentPage());
}

bool KeepFocusInPage(QWidget &window, bool next)
{
    // The window's own focus: it may be inactive behind a dialog.
    QWidget *focus = window.focusWidget();
    if (!focus || (focus->isVisible() && focus->isEnabled()))
        return false; // the user moves on: the window's whole tab order
    QWidget *page = CurrentPage();
    QWidget *target = nullptr;
    if (page && page->isVisible() && page->isEnabled())
        target = page->isAncestorOf(focus) ? app::controls::NextControl(*page, *focus, next)
                                           : app::controls::FirstControl(page, true);
    if (target)
        target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    else
        focus->clearFocus(); // a hidden control must not keep taking the keys
    return true;
}

void UnloadPages()
{
    Host &h = state();
    // The pages shown since the last unload, newest first, then any loaded but never shown.
    QStringList names = RegisteredPageNames();
    std::reverse(names.begin(), names.end());
    names << LoadedPageNames();
    for (const QString &name : names)
        if (name != HomePageName)
            unload(name);
    if (ChildFormClass *home = LoadedPage(HomePageName))
        home->hide();
    h.registered.clear();
    h.registrationOrder.clear();
    h.current = nullptr;
}

void CloseAllPages()
{
    Host &h = state();
    h.host = nullptr;
    h.container = nullptr;
    UnloadPages();
    unload(HomePageName);
}

QString CurrentPageHelpText()
{
    ChildFormClass *page = CurrentPage();
    return page ? page->HelpText() : QString();
}

int CurrentPageType()
{
    ChildFormClass *page = CurrentPage();
    return page ? page->PageType() : 0;
}

void RefreshCurrentPage()
{
    Host &h = state();
    // A page that holds the user's input (a settle wait) is not refreshed under itself.
    if (h.refreshing || !h.current || InputHeld())
        return;
    h.refreshing = true;
    h.refreshingPage = h.current;
    ignoringErrors(*h.refreshingPage, "TimedRefresh", [&] { h.refreshingPage->TimedRefresh(); });
    h.refreshing = false;
    h.refreshingPage = nullptr;
    h.pendingUnload.clear();
    if (h.refreshFinished)
        h.refreshFinished();
}

void ActivateCurrentPage()
{
    if (ChildFormClass *page = CurrentPage())
        ignoringErrors(*page, "Activated", [&] { page->Activated(); });
}

void DeactivateCurrentPage()
{
    if (ChildFormClass *page = CurrentPage())
        ignoringErrors(*page, "DeActivated", [&] { page->DeActivated(); });
}

bool IsRefreshing()
{
    return state().refreshing;
}

void SetRefreshFinishedHook(std::function<void()> hook)
{
    state().refreshFinished = std::move(hook);
}

} // namespace app::shell
