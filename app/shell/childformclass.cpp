#include "app/shell/childformclass.h"

namespace app::shell {

ChildFormClass::ChildFormClass(const QString &formName, QWidget *parent) : QWidget(parent)
{
    setObjectName(formName);
}

QString ChildFormClass::HelpText() const
{
    return {};
}

void ChildFormClass::TimedRefresh() {}

void ChildFormClass::Activated() {}

void ChildFormClass::DeActivated() {}

int ChildFormClass::PageType() const
{
    return 0;
}

} // namespace app::shell
