#include <functional>
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/common/desktop/messages.h"
#include "app/common/globals.h"
#include "app/controls/progbar.h"
#include "app/controls/vxbtn.h"
#include "app/shell/messagefrm.h"
#include "support/focuscheck.h"

namespace app::shell {
namespace {

using common::MessageCancelled;
using common::desktop::ShowMessage;

void sendKey(QWidget *widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// Where the form's keys go: its focused control, else the form itself.
QWidget *focusOf(QWidget &form)
{
    return form.focusWidget() ? form.focusWidget() : &form;
}

void click(QWidget *widget, QEvent::Type type = QEvent::MouseButtonPress)
{
    const QPointF at(4, 4);
    QMouseEvent press(type, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// ShowMessage over MessageFrm, with the last form at hand.
class MessageFrmTest : public testing::Test
{
protected:
    void SetUp() override
    {
        previous_ = common::desktop::setMessageDialogFactory([this] {
            auto dialog = std::make_unique<MessageFrmDialog>();
            form_ = dialog->form();
            return dialog;
        });
    }
    void TearDown() override
    {
        common::desktop::UnloadMessage();
        common::desktop::setMessageDialogFactory(previous_);
        QCoreApplication::processEvents();
    }

    // Runs action on the form once its modal loop runs.
    void whileOpen(std::function<void(MessageFrm &)> action)
    {
        QTimer::singleShot(0, [this, action] {
            if (form_)
                action(*form_);
        });
    }

    common::desktop::MessageDialogFactory previous_;
    QPointer<MessageFrm> form_;
};

TEST_F(MessageFrmTest, YesNoButtonsAnswer)
{
    common::setMessageCancelled(true);
    whileOpen([](MessageFrm &form) {
        EXPECT_EQ(form.btnOK()->Caption(), QStringLiteral("Yes"));
        EXPECT_EQ(form.btnCancel()->Caption(), QStringLiteral("No"));
        EXPECT_TRUE(form.btnCancel()->isVisible());
        EXPECT_FALSE(form.ProgBar()->isVisible());
        EXPECT_EQ(form.btnOK()->y(), form.btnCancel()->y());
        click(form.btnOK());
    });
    ShowMessage(QStringLiteral("Overwrite?"), QStringLiteral("Question"), false, 3);
    EXPECT_FALSE(MessageCancelled());

    whileOpen([](MessageFrm &form) { click(form.btnCancel()); });
    ShowMessage(QStringLiteral("Overwrite?"), QStringLiteral("Question"), false, 3);
    EXPECT_TRUE(MessageCancelled());
}

TEST_F(MessageFrmTest, BothButtonsShowTheKeyboardFocus)
{
    QStringList faults;
    whileOpen([&faults](MessageFrm &form) {
        if (testsupport::activate(form))
            faults = testsupport::controlsWithoutVisibleFocus(form);
        else
            faults << QStringLiteral("the form never became active");
        click(form.btnOK());
    });
    ShowMessage(QStringLiteral("Overwrite?"), QStringLiteral("Question"), true, 3);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

// Closing a question without its buttons never reads as the previous "Yes".
TEST_F(MessageFrmTest, YesNoKeysAndClose)
{
    struct Case
    {
        const char *name;
        std::function<void(MessageFrm &)> act;
        bool cancelled;
    };
    const Case cases[] = {
        {"Escape", [](MessageFrm &f) { sendKey(&f, Qt::Key_Escape); }, true},
        // A question opens on "No": Enter or Space as it opens never says Yes.
        {"EnterAsOpened", [](MessageFrm &f) { sendKey(focusOf(f), Qt::Key_Return); }, true},
        {"SpaceAsOpened", [](MessageFrm &f) { sendKey(focusOf(f), Qt::Key_Space); }, true},
        {"EnterOnTheForm", [](MessageFrm &f) { sendKey(&f, Qt::Key_Enter); }, true},
        {"EnterOnYes",
         [](MessageFrm &f) {
             f.btnOK()->setFocus();
             sendKey(&f, Qt::Key_Return);
         },
         false},
        {"EnterOnNo",
         [](MessageFrm &f) {
             f.btnCancel()->setFocus();
             sendKey(f.btnCancel(), Qt::Key_Return);
         },
         true},
        {"WindowClose", [](MessageFrm &f) { f.close(); }, true},
    };
    for (const Case &c : cases) {
        common::setMessageCancelled(false); // the last question was answered "Yes"
        whileOpen([&c](MessageFrm &f) {
            EXPECT_EQ(f.focusWidget(), f.btnCancel()) << c.name << ": starts on No";
            c.act(f);
        });
        ShowMessage(QStringLiteral("Go on?"), QStringLiteral("Question"), true, 3);
        EXPECT_EQ(MessageCancelled(), c.cancelled) << c.name;
    }
}

TEST_F(MessageFrmTest, OkMessageCentresItsButtonAndEscapeKeepsTheAnswer)
{
    common::setMessageCancelled(true);
    whileOpen([](MessageFrm &form) {
        EXPECT_FALSE(form.btnCancel()->isVisible());
        EXPECT_EQ(form.btnOK()->Caption(), QStringLiteral("OK"));
        const int centre = form.btnOK()->x() + form.btnOK()->width() / 2;
        EXPECT_NEAR(centre, form.width() / 2, 1);
        EXPECT_GT(form.btnOK()->y(), form.Message()->geometry().bottom());
        EXPECT_EQ(form.Title()->palette().color(QPalette::Window), QColor(0x80, 0, 0));
        sendKey(&form, Qt::Key_Escape);
    });
    ShowMessage(QStringLiteral("Saved."), QStringLiteral("Done"), true, 0);
    EXPECT_TRUE(MessageCancelled());

    whileOpen([](MessageFrm &form) { click(form.btnOK()); });
    ShowMessage(QStringLiteral("Saved."), QStringLiteral("Done"), false, 0);
    EXPECT_FALSE(MessageCancelled());
}

TEST_F(MessageFrmTest, ProgressNoticeStaysUntilItsCallerClosesIt)
{
    ShowMessage(QStringLiteral("Reading the file"), QStringLiteral("Please wait"), false, 2);
    ASSERT_TRUE(form_);
    MessageFrm *form = form_;
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->ProgBar()->isVisible());
    EXPECT_FALSE(form->btnOK()->isVisible());
    EXPECT_FALSE(form->btnCancel()->isVisible());
    common::desktop::SetMessageProgress(50);
    EXPECT_EQ(form->ProgBar()->litCount(), 25);

    // The user cannot close it while its caller still updates it.
    sendKey(form, Qt::Key_Escape);
    sendKey(form, Qt::Key_Return);
    form->close();
    EXPECT_TRUE(form->isVisible());
    common::desktop::SetMessageProgress(100);
    EXPECT_EQ(form->ProgBar()->litCount(), 50);

    // The next message replaces it.
    whileOpen([](MessageFrm &next) { click(next.btnOK()); });
    ShowMessage(QStringLiteral("Done"), QStringLiteral("Done"), false, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(common::desktop::MessageOpen());
}

TEST_F(MessageFrmTest, NoticeHasNoButtonsAndEndsBelowTheMessage)
{
    ShowMessage(QStringLiteral("Connecting"), QStringLiteral("Wait"), false, 1);
    ASSERT_TRUE(form_);
    EXPECT_FALSE(form_->btnOK()->isVisible());
    EXPECT_FALSE(form_->ProgBar()->isVisible());
    EXPECT_NEAR(form_->height(), form_->Message()->geometry().bottom() + 1 + 12, 1);
    common::desktop::UnloadMessage();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form_ && form_->isVisible());
}

TEST_F(MessageFrmTest, DoubleClickCopiesTheMessage)
{
    ShowMessage(QStringLiteral("Serial 70000"), QStringLiteral("Info"), false, 1);
    ASSERT_TRUE(form_);
    EXPECT_EQ(form_->Message()->toolTip(),
              QStringLiteral("Double-click this message to copy the contents to the clipboard."));
    click(form_->Message(), QEvent::MouseButtonDblClick);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Serial 70000"));
}

TEST(MessageFrmLook, ButtonsTakeTheTemplateColoursButKeepAFixedCaption)
{
    // The main window's "Button" template: its own colour, and captions that fill the button.
    controls::VXBtn model;
    model.setStretch(true);
    model.setBackColor(0x123456);
    model.setStyle(QStringLiteral("Button"));

    MessageFrm form;
    for (const controls::VXBtn *button : {form.btnOK(), form.btnCancel()}) {
        EXPECT_EQ(button->BackColor(), 0x123456u);
        EXPECT_FALSE(button->Stretch());
        EXPECT_EQ(button->Font().pointSizeF(), 10.0);
        EXPECT_TRUE(button->Font().bold());
    }
}

TEST(InstallMessageFrmTest, ShowMessageUsesTheForm)
{
    InstallMessageFrm();
    ShowMessage(QStringLiteral("Hello"), QStringLiteral("Title"), false, 1);
    bool found = false;
    for (QWidget *top : QApplication::topLevelWidgets())
        found = found || (qobject_cast<MessageFrm *>(top) && top->isVisible());
    EXPECT_TRUE(found);
    common::desktop::UnloadMessage();
    common::desktop::setMessageDialogFactory({});
}

} // namespace
} // namespace app::shell
