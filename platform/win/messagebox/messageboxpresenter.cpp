#include "platform/win/messagebox/messageboxpresenter.h"

#include <cstdio>

#include <QApplication>
#include <QMessageBox>

#include "platform/win/messagehook.h"

namespace platform::win::messagebox {

MessageBoxPresenter::MessageBoxPresenter()
{
    setMessagePresenter(this);
}

MessageBoxPresenter::~MessageBoxPresenter()
{
    if (messagePresenter() == this)
        setMessagePresenter(nullptr);
}

void MessageBoxPresenter::present(const QString &text, const QString &caption)
{
    const bool widgets = qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
    if (!widgets || QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace platform::win::messagebox
