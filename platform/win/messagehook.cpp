#include "platform/win/messagehook.h"

#include <cstdio>
#include <mutex>

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QVariant>

#include "platform/win/winstate.h"

namespace platform::win {

namespace {

// The application object's property that holds the presenter.
constexpr char PresenterProperty[] = "hxrMessagePresenter";

std::mutex recorderMutex;
MessageRecorder &recorder()
{
    return WinState::current().messageRecorder;
}

bool onApplicationThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace

void showPlainMessage(const QString &text, const QString &caption)
{
    MessageRecorder current;
    {
        std::lock_guard lock(recorderMutex);
        current = recorder();
    }
    if (current) {
        current(text, caption);
        return;
    }
    // The presenter shows a modal box: only the application's thread may ask for it.
    QObject *presenter = onApplicationThread() ? messagePresenter() : nullptr;
    if (presenter && presenter->metaObject()->indexOfMethod("present(QString,QString)") >= 0 &&
        QMetaObject::invokeMethod(presenter, "present", Qt::DirectConnection, Q_ARG(QString, text),
                                  Q_ARG(QString, caption)))
        return;
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
}

MessageRecorder setMessageRecorder(MessageRecorder next)
{
    std::lock_guard lock(recorderMutex);
    MessageRecorder previous = std::move(recorder());
    recorder() = std::move(next);
    return previous;
}

void setMessagePresenter(QObject *presenter)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->setProperty(PresenterProperty, QVariant::fromValue(presenter));
}

QObject *messagePresenter()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app ? app->property(PresenterProperty).value<QObject *>() : nullptr;
}

} // namespace platform::win
