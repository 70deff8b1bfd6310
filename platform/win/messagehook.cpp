#include "platform/win/messagehook.h"

#include <cstdio>
#include <mutex>

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace platform::win {

namespace {

std::mutex recorderMutex;
MessageRecorder &recorder()
{
    static MessageRecorder installed;
    return installed;
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
    // On the offscreen platform nobody could click the box away: write the text instead.
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (app && QThread::currentThread() == app->thread() &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
        return;
    }
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
}

MessageRecorder setMessageRecorder(MessageRecorder next)
{
    std::lock_guard lock(recorderMutex);
    MessageRecorder previous = std::move(recorder());
    recorder() = std::move(next);
    return previous;
}

} // namespace platform::win
