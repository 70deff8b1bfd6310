#include "app/shell/pageforms.h"

#include <map>

#include <QPointer>

#include "app/shell/childformclass.h"
#include "app/shell/shellstate.h"
#include "platform/vb/vberror.h"

namespace app::shell {

namespace {

using Forms = ShellState::Forms;

Forms &forms()
{
    return ShellState::current().forms;
}

} // namespace

void RegisterPageFactory(const QString &formName, PageFactory factory)
{
    forms().factories[formName] = std::move(factory);
}

void ClearPageFactories()
{
    forms().factories.clear();
}

bool HasPageFactory(const QString &formName)
{
    return forms().factories.count(formName) != 0;
}

ChildFormClass *LoadPage(const QString &formName)
{
    if (ChildFormClass *page = LoadedPage(formName))
        return page;
    Forms &f = forms();
    const auto it = f.factories.find(formName);
    if (it == f.factories.end() || !it->second)
        throw platform::vb::VbError(platform::vb::VbError::InvalidCall, QStringLiteral("LoadPage"),
                                    QStringLiteral("The page %1 is not available").arg(formName));
    std::unique_ptr<ChildFormClass> page = it->second();
    if (!page)
        throw platform::vb::VbError(
            platform::vb::VbError::InvalidCall, QStringLiteral("LoadPage"),
            QStringLiteral("The page %1 could not be created").arg(formName));
    page->setObjectName(formName);
    ChildFormClass *raw = page.release(); // owned through `loaded` until released
    f.loaded[formName] = raw;
    return raw;
}

ChildFormClass *LoadedPage(const QString &formName)
{
    Forms &f = forms();
    const auto it = f.loaded.find(formName);
    if (it == f.loaded.end())
        return nullptr;
    if (!it->second) {
        f.loaded.erase(it);
        return nullptr;
    }
    return it->second.data();
}

QStringList LoadedPageNames()
{
    QStringList names;
    for (const auto &[name, page] : forms().loaded)
        if (page)
            names << name;
    return names;
}

std::unique_ptr<ChildFormClass> ReleasePage(const QString &formName)
{
    ChildFormClass *page = LoadedPage(formName);
    forms().loaded.erase(formName);
    if (!page)
        return nullptr;
    page->hide();
    page->setParent(nullptr);
    return std::unique_ptr<ChildFormClass>(page);
}

} // namespace app::shell
