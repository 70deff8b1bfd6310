#ifndef APP_SHELL_CHILDFORMCLASS_H
#define APP_SHELL_CHILDFORMCLASS_H

#include <QString>
#include <QWidget>

namespace app::shell {

// The contract of every page the main window hosts. A page is a widget whose objectName is its
// form name ("CHILD_GEN_HOME", ...). The base bodies return an empty text, do nothing and
// return 0.
class ChildFormClass : public QWidget
{
    Q_OBJECT

public:
    explicit ChildFormClass(const QString &formName, QWidget *parent = nullptr);

    // The page's help text; "*" marks a line break.
    virtual QString HelpText() const;
    // Every tick of the refresh timer while the page is current.
    virtual void TimedRefresh();
    // Each time the page becomes current, after it is shown.
    virtual void Activated();
    // When another page is about to replace it.
    virtual void DeActivated();
    virtual int PageType() const;
};

} // namespace app::shell

#endif
