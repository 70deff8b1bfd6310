#ifndef APP_SHELL_PAGEFORMS_H
#define APP_SHELL_PAGEFORMS_H

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

namespace app::shell {

class ChildFormClass;

// The program-wide single instances of the page forms. The shell does not link the pages: the
// program registers a factory per form name, and a form is created on its first load.
using PageFactory = std::function<std::unique_ptr<ChildFormClass>()>;

void RegisterPageFactory(const QString &formName, PageFactory factory);
void ClearPageFactories();
bool HasPageFactory(const QString &formName);

// The loaded instance of a form, created by its factory when it is not loaded yet. Raises
// platform::vb::VbError when the form has no factory.
ChildFormClass *LoadPage(const QString &formName);
// The loaded instance, or nullptr.
ChildFormClass *LoadedPage(const QString &formName);
QStringList LoadedPageNames();

// Forgets a loaded form and hands it over, detached from any parent, to be destroyed.
std::unique_ptr<ChildFormClass> ReleasePage(const QString &formName);

} // namespace app::shell

#endif
