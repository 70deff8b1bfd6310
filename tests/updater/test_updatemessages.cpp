#include "updater/updatemessages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace updater {
namespace {

// Presses `key` on the question box once it is up and returns what the box asked with.
struct Pressed
{
    QMessageBox::StandardButton startsOn = QMessageBox::NoButton;
    bool seen = false;
};

Pressed answerWithKey(int key)
{
    Pressed pressed;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&pressed, &poll, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        pressed.seen = true;
        pressed.startsOn = box->standardButton(box->defaultButton());
        QWidget *target = box->focusWidget() ? box->focusWidget() : box;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    });
    poll.start();
    const bool yes = AskUpdateQuestion(QStringLiteral("Download and install the update?"),
                                       QStringLiteral("Update"));
    EXPECT_FALSE(yes) << "a key as the question opens never says Yes";
    return pressed;
}

// The update question closes the caller's program: its Yes takes a deliberate choice.
TEST(UpdateQuestion, StartsOnNoAndEnterOrEscapeAnswersNo)
{
    for (const int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space}) {
        const Pressed pressed = answerWithKey(key);
        EXPECT_TRUE(pressed.seen);
        EXPECT_EQ(pressed.startsOn, QMessageBox::No) << key;
    }
}

} // namespace
} // namespace updater
