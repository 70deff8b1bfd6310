#ifndef TESTS_APP_SHELL_TESTPAGES_H
#define TESTS_APP_SHELL_TESTPAGES_H

#include <functional>
#include <memory>
#include <ostream>

#include <QString>
#include <QStringList>

#include "app/shell/childformclass.h"
#include "app/shell/pageforms.h"

// Readable test output for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace app::shell::testpages {

// Every call a test page receives, as "<call> <form name>".
inline QStringList &PageLog()
{
    static QStringList log;
    return log;
}

class TestPage : public ChildFormClass
{
public:
    explicit TestPage(const QString &name) : ChildFormClass(name)
    {
        PageLog() << QStringLiteral("load ") + name;
    }
    ~TestPage() override { PageLog() << QStringLiteral("unload ") + objectName(); }

    QString HelpText() const override
    {
        PageLog() << QStringLiteral("help ") + objectName();
        return objectName() + QStringLiteral(" help*second line");
    }
    void TimedRefresh() override
    {
        PageLog() << QStringLiteral("refresh ") + objectName();
        if (onRefresh)
            onRefresh();
    }
    void Activated() override
    {
        // The shell shows the page before it tells it.
        PageLog() << QStringLiteral("activate ") + objectName() +
                         (isVisibleTo(parentWidget()) ? QString() : QStringLiteral(" hidden"));
    }
    void DeActivated() override { PageLog() << QStringLiteral("deactivate ") + objectName(); }

    std::function<void()> onRefresh;
};

inline void RegisterTestPages(const QStringList &names)
{
    for (const QString &name : names)
        RegisterPageFactory(name, [name] { return std::make_unique<TestPage>(name); });
}

inline TestPage *LoadedTestPage(const QString &name)
{
    return dynamic_cast<TestPage *>(LoadedPage(name));
}

} // namespace app::shell::testpages

#endif
