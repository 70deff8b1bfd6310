#include "app/common/desktop/messages.h"

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace app::common;
using namespace app::common::desktop;

// What the fake form was asked to do, kept after the form is gone.
struct FormRecord
{
    QString text;
    QString title;
    platform::win::OleColour titleColour = 0;
    MessageLayout layout;
    bool modal = false;
    bool modeless = false;
    bool dismissed = false;
    bool destroyed = false;
    std::vector<double> progress;
};

class FakeForm final : public MessageDialog
{
public:
    FakeForm(std::shared_ptr<FormRecord> record, std::function<MessageAnswer()> answer)
        : record_(std::move(record)), answer_(std::move(answer))
    {}
    ~FakeForm() override { record_->destroyed = true; }

    void setTexts(const QString &text, const QString &title,
                  platform::win::OleColour titleColour) override
    {
        record_->text = text;
        record_->title = title;
        record_->titleColour = titleColour;
    }
    MessageFormDesign design() const override
    {
        MessageFormDesign design;
        design.innerWidth = 6000;
        design.message = {300, 600, 5400, 900};
        design.ok = {1500, 2400, 1200, 450};
        design.cancel = {3300, 2400, 1200, 450};
        design.progress = {300, 2600, 5400, 300};
        return design;
    }
    void applyLayout(const MessageLayout &layout) override { record_->layout = layout; }
    MessageAnswer exec() override
    {
        record_->modal = true;
        return answer_ ? answer_() : MessageAnswer::None;
    }
    void dismiss() override { record_->dismissed = true; }
    void showModeless() override { record_->modeless = true; }
    void setProgress(double percent) override { record_->progress.push_back(percent); }

private:
    std::shared_ptr<FormRecord> record_;
    std::function<MessageAnswer()> answer_;
};

class Messages : public testing::Test
{
protected:
    void SetUp() override
    {
        setMessageDialogFactory([this]() -> std::unique_ptr<MessageDialog> {
            forms.push_back(std::make_shared<FormRecord>());
            std::function<MessageAnswer()> answer;
            if (!answers.empty()) {
                answer = answers.front();
                answers.erase(answers.begin());
            }
            return std::make_unique<FakeForm>(forms.back(), answer);
        });
    }
    void TearDown() override
    {
        UnloadMessage();
        setMessageDialogFactory({});
        setMessageCancelled(false);
    }

    void answerWith(MessageAnswer answer)
    {
        answers.push_back([answer] { return answer; });
    }

    std::vector<std::shared_ptr<FormRecord>> forms;
    std::vector<std::function<MessageAnswer()>> answers;
};

TEST_F(Messages, OkMessageCentresItsButtonBelowTheText)
{
    answerWith(MessageAnswer::Ok);
    ShowMessage(QStringLiteral("Saved."), QStringLiteral("Save Data"), false, MessageOk);
    ASSERT_EQ(forms.size(), 1u);
    const FormRecord &form = *forms[0];
    EXPECT_EQ(form.text, QStringLiteral("Saved."));
    EXPECT_EQ(form.title, QStringLiteral("Save Data"));
    EXPECT_EQ(form.titleColour, MessageNormalColour);
    EXPECT_TRUE(form.modal);
    EXPECT_TRUE(form.destroyed);
    const MessageLayout &layout = form.layout;
    EXPECT_EQ(layout.ok, (TwipsRect{2400, 1680, 1200, 450})); // 6000 / 2 - 600, 600 + 900 + 180
    EXPECT_EQ(layout.formHeight, 1680 + 450 + 180);
    EXPECT_TRUE(layout.okVisible);
    EXPECT_FALSE(layout.cancelVisible);
    EXPECT_FALSE(layout.progressVisible);
    EXPECT_EQ(layout.okCaption, QStringLiteral("OK"));
    EXPECT_FALSE(MessageOpen());
}

TEST_F(Messages, YesNoQuestionKeepsTheDesignedColumns)
{
    answerWith(MessageAnswer::Ok);
    ShowMessage(QStringLiteral("Overwrite?"), QStringLiteral("Save"), true, MessageYesNo);
    const FormRecord &form = *forms[0];
    EXPECT_EQ(form.titleColour, MessageWarningColour);
    const MessageLayout &layout = form.layout;
    EXPECT_EQ(layout.ok, (TwipsRect{1500, 1680, 1200, 450}));
    EXPECT_EQ(layout.cancel, (TwipsRect{3300, 1680, 1200, 450}));
    EXPECT_EQ(layout.formHeight, 2310);
    EXPECT_TRUE(layout.okVisible);
    EXPECT_TRUE(layout.cancelVisible);
    EXPECT_FALSE(layout.progressVisible);
    EXPECT_EQ(layout.okCaption, QStringLiteral("Yes"));
    EXPECT_EQ(layout.cancelCaption, QStringLiteral("No"));
}

TEST_F(Messages, NoticesStayUpWithOrWithoutAProgressBar)
{
    ShowMessage(QStringLiteral("Writing..."), QStringLiteral("Save Data"), false, MessageProgress);
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_TRUE(forms[0]->modeless);
    EXPECT_FALSE(forms[0]->modal);
    EXPECT_TRUE(MessageOpen());
    const MessageLayout &progress = forms[0]->layout;
    EXPECT_EQ(progress.progress, (TwipsRect{300, 1680, 5400, 300}));
    EXPECT_EQ(progress.formHeight, 1680 + 300 + 180);
    EXPECT_TRUE(progress.progressVisible);
    EXPECT_TRUE(progress.okVisible);
    EXPECT_EQ(progress.ok, (TwipsRect{1500, 2400, 1200, 450}));
    SetMessageProgress(40);
    SetMessageProgress(100);
    SetMessageProgress(std::nan(""));
    SetMessageProgress(1e300);
    SetMessageProgress(-5);
    EXPECT_EQ(forms[0]->progress, (std::vector<double>{40, 100, 0, 100, 0}));
    UnloadMessage();
    EXPECT_TRUE(forms[0]->destroyed);
    EXPECT_FALSE(MessageOpen());
    SetMessageProgress(50); // no notice: nothing happens

    ShowMessage(QStringLiteral("Please wait"), QString(), false, MessageNotice);
    const MessageLayout &notice = forms[1]->layout;
    EXPECT_EQ(notice.formHeight, 1680);
    EXPECT_FALSE(notice.okVisible);
    EXPECT_FALSE(notice.cancelVisible);
    EXPECT_FALSE(notice.progressVisible);
    EXPECT_TRUE(forms[1]->modeless);
}

TEST_F(Messages, ANewMessageReplacesAnOpenNotice)
{
    ShowMessage(QStringLiteral("Reading..."), QStringLiteral("Load Data"), false, MessageProgress);
    answers.push_back([this] {
        EXPECT_TRUE(forms[0]->destroyed) << "the notice is still up behind the message";
        return MessageAnswer::Ok;
    });
    ShowMessage(QStringLiteral("Done"), QStringLiteral("Load Data"), false, MessageOk);
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_TRUE(forms[0]->destroyed);
    EXPECT_FALSE(MessageOpen());
}

struct AnswerCase
{
    int16_t mode;
    bool before;
    MessageAnswer answer;
    bool cancelled;
};

void PrintTo(const AnswerCase &c, std::ostream *os)
{
    *os << "mode " << c.mode << " answer " << int(c.answer) << " after " << c.before;
}

class Answers : public Messages, public testing::WithParamInterface<AnswerCase>
{};

TEST_P(Answers, SetMessageCancelled)
{
    setMessageCancelled(GetParam().before);
    answerWith(GetParam().answer);
    ShowMessage(QStringLiteral("?"), QStringLiteral("Question"), false, GetParam().mode);
    EXPECT_EQ(MessageCancelled(), GetParam().cancelled);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, Answers,
    testing::Values(AnswerCase{MessageYesNo, true, MessageAnswer::Ok, false},
                    AnswerCase{MessageYesNo, false, MessageAnswer::Cancel, true},
                    // A question closed without an answer is a "No", whatever came before.
                    AnswerCase{MessageYesNo, false, MessageAnswer::None, true},
                    AnswerCase{MessageYesNo, true, MessageAnswer::None, true},
                    AnswerCase{MessageOk, true, MessageAnswer::Ok, false},
                    // A plain message closed by a key leaves the last answer.
                    AnswerCase{MessageOk, true, MessageAnswer::None, true},
                    AnswerCase{MessageOk, false, MessageAnswer::None, false}));

TEST_F(Messages, AMessageDuringAWaitingQuestionEndsItAsNo)
{
    // A timer fires while the question waits and shows a message of its own.
    answers.push_back([] {
        ShowMessage(QStringLiteral("Communications lost"), QStringLiteral("Error"), true,
                    MessageOk);
        return MessageAnswer::None;
    });
    answerWith(MessageAnswer::Ok);
    setMessageCancelled(false);
    ShowMessage(QStringLiteral("Restore?"), QStringLiteral("Restore"), false, MessageYesNo);
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_TRUE(forms[0]->dismissed);
    EXPECT_TRUE(forms[0]->destroyed);
    EXPECT_TRUE(forms[1]->destroyed);
    EXPECT_TRUE(MessageCancelled());
    EXPECT_FALSE(MessageOpen());
}

TEST_F(Messages, ThePointerIsAnArrowWhileTheMessageIsUpAndComesBackAfter)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape during = Qt::BlankCursor;
    answers.push_back([&during] {
        during = QGuiApplication::overrideCursor()->shape();
        return MessageAnswer::Ok;
    });
    ShowMessage(QStringLiteral("Saved."), QString(), false, MessageOk);
    EXPECT_EQ(during, Qt::ArrowCursor);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(PlainMessages, ANoticeWithoutTheProgramFormStillShowsAndCloses)
{
    setMessageDialogFactory({});
    ShowMessage(QStringLiteral("Writing..."), QStringLiteral("Save Data"), false, MessageProgress);
    EXPECT_TRUE(MessageOpen());
    SetMessageProgress(30);
    UnloadMessage();
    EXPECT_FALSE(MessageOpen());
}

// The stand-in box asks as the program's form does: it opens on "No", so that Enter or Space as
// it opens never says Yes, and Escape answers No.
TEST(PlainMessages, AQuestionOpensOnNo)
{
    setMessageDialogFactory({});
    for (const int key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
        QString openedOn;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            if (auto *start = qobject_cast<QPushButton *>(box->focusWidget()))
                openedOn = start->text();
            QWidget *target = box->focusWidget() ? box->focusWidget() : box;
            const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
            QApplication::sendEvent(target, &release);
        });
        poll.start(5);
        setMessageCancelled(false);
        ShowMessage(QStringLiteral("Overwrite the calibration?"), QStringLiteral("Question"), false,
                    MessageYesNo);
        EXPECT_EQ(openedOn, QStringLiteral("No")) << key;
        EXPECT_TRUE(MessageCancelled()) << key;
        // The answered box goes before the next one can take it for its owner.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
