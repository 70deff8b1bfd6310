#include "app/common/desktop/messages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

#include "app/common/desktop/desktopstate.h"

namespace app::common::desktop {

namespace {

using platform::win::OleColour;

constexpr int Gap = 180;

// A plain stand-in for the program's message form: a standard message box for the messages
// that wait, a progress dialog for the notices.
class PlainMessageDialog final : public MessageDialog
{
public:
    ~PlainMessageDialog() override
    {
        if (box_)
            box_->deleteLater();
    }

    void setTexts(const QString &text, const QString &title, OleColour) override
    {
        text_ = text;
        title_ = title;
    }

    MessageFormDesign design() const override
    {
        MessageFormDesign design;
        design.innerWidth = 5400;
        design.message = {240, 480, 4920, 240 * int(text_.count(QLatin1Char('\n')) + 1)};
        design.ok = {1200, 0, 1200, 375};
        design.cancel = {3000, 0, 1200, 375};
        design.progress = {240, 0, 4920, 255};
        return design;
    }

    void applyLayout(const MessageLayout &layout) override { layout_ = layout; }

    MessageAnswer exec() override
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(title_), qPrintable(text_));
            return MessageAnswer::None;
        }
        box_ = new QMessageBox(QMessageBox::NoIcon, title_, text_, QMessageBox::NoButton,
                               QApplication::activeWindow());
        QPushButton *ok = box_->addButton(caption(layout_.okCaption, QStringLiteral("OK")),
                                          QMessageBox::AcceptRole);
        QPushButton *cancel = nullptr;
        if (layout_.cancelVisible) {
            cancel = box_->addButton(caption(layout_.cancelCaption, QStringLiteral("Cancel")),
                                     QMessageBox::RejectRole);
            box_->setEscapeButton(cancel);
        }
        // A question starts on its "No": saying Yes takes a deliberate choice.
        box_->setDefaultButton(cancel ? cancel : ok);
        box_->exec();
        if (!box_)
            return MessageAnswer::None;
        const QAbstractButton *clicked = box_->clickedButton();
        box_->deleteLater();
        if (clicked && clicked == ok)
            return MessageAnswer::Ok;
        if (clicked && clicked == cancel)
            return MessageAnswer::Cancel;
        return MessageAnswer::None;
    }

    void dismiss() override
    {
        if (box_)
            box_->done(0);
    }

    void showModeless() override
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(title_), qPrintable(text_));
            return;
        }
        progress_ = std::make_unique<QProgressDialog>();
        progress_->setWindowTitle(title_);
        progress_->setLabelText(text_);
        if (cancel_) {
            progress_->setCancelButtonText(QStringLiteral("Cancel"));
            progress_->setWindowModality(Qt::ApplicationModal);
            QObject::connect(progress_.get(), &QProgressDialog::canceled, cancel_);
        } else {
            progress_->setCancelButton(nullptr);
        }
        progress_->setRange(0, 100);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        if (!layout_.progressVisible)
            progress_->setRange(0, 0);
        progress_->show();
        progress_->repaint();
    }

    void setProgress(double percent) override
    {
        if (progress_ && layout_.progressVisible)
            progress_->setValue(qBound(0, int(percent), 100));
    }

    void setCancelHandler(std::function<void()> handler) override { cancel_ = std::move(handler); }

private:
    static QString caption(const QString &given, const QString &designed)
    {
        return given.isEmpty() ? designed : given;
    }

    QString text_;
    QString title_;
    MessageLayout layout_;
    QPointer<QMessageBox> box_;
    std::unique_ptr<QProgressDialog> progress_;
    std::function<void()> cancel_;
};

DesktopState::Messages &state()
{
    return DesktopState::current().messages;
}

std::unique_ptr<MessageDialog> makeDialog()
{
    std::unique_ptr<MessageDialog> dialog;
    if (state().factory)
        dialog = state().factory();
    if (!dialog)
        dialog = std::make_unique<PlainMessageDialog>();
    return dialog;
}

// The arrow while a message is up; the caller's pointer (an hourglass, say) afterwards.
class ArrowPointer
{
public:
    ArrowPointer()
        : active_(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (active_)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowPointer()
    {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }
    ArrowPointer(const ArrowPointer &) = delete;
    ArrowPointer &operator=(const ArrowPointer &) = delete;

private:
    bool active_;
};

} // namespace

MessageLayout LayOutMessage(const MessageFormDesign &design, int16_t mode)
{
    MessageLayout layout;
    layout.ok = design.ok;
    layout.cancel = design.cancel;
    layout.progress = design.progress;
    const int below = design.message.bottom() + Gap;
    switch (mode) {
    case MessageYesNo:
        layout.ok.top = below;
        layout.cancel.top = below;
        layout.okCaption = QStringLiteral("Yes");
        layout.cancelCaption = QStringLiteral("No");
        layout.formHeight = layout.ok.bottom() + Gap;
        layout.okVisible = true;
        layout.cancelVisible = true;
        break;
    case MessageOk:
        layout.ok.left = design.innerWidth / 2 - design.ok.width / 2;
        layout.ok.top = below;
        layout.okCaption = QStringLiteral("OK");
        layout.formHeight = layout.ok.bottom() + Gap;
        layout.okVisible = true;
        break;
    case MessageProgress:
        layout.progress.top = below;
        layout.progressVisible = true;
        layout.formHeight = layout.progress.bottom() + Gap;
        // The OK button stays at its designed place; the form ends below the bar.
        layout.okVisible = true;
        break;
    default:
        layout.formHeight = below;
        break;
    }
    return layout;
}

MessageDialogFactory setMessageDialogFactory(MessageDialogFactory factory)
{
    return std::exchange(state().factory, std::move(factory));
}

void ShowMessage(const QString &text, const QString &title, bool warning, int16_t mode)
{
    UnloadMessage();
    const ArrowPointer arrow;
    std::unique_ptr<MessageDialog> dialog = makeDialog();
    dialog->setTexts(text, title, warning ? MessageWarningColour : MessageNormalColour);
    dialog->applyLayout(LayOutMessage(dialog->design(), mode));
    if (mode != MessageOk && mode != MessageYesNo) {
        dialog->showModeless();
        state().notice = std::move(dialog);
        return;
    }
    // A question that is closed without an answer must not read as the last question's "Yes".
    if (mode == MessageYesNo)
        setMessageCancelled(true);
    state().waiting = dialog.get();
    const MessageAnswer answer = dialog->exec();
    if (state().waiting == dialog.get())
        state().waiting = nullptr;
    // A question's own answer decides, even if another message came and went while it waited.
    if (mode == MessageYesNo)
        setMessageCancelled(answer != MessageAnswer::Ok);
    else if (answer != MessageAnswer::None)
        setMessageCancelled(answer == MessageAnswer::Cancel);
    dialog.reset();
    QCoreApplication::processEvents();
}

void ShowProgressMessage(const QString &text, const QString &title,
                         std::function<void()> onCancel)
{
    UnloadMessage();
    const ArrowPointer arrow;
    std::unique_ptr<MessageDialog> dialog = makeDialog();
    dialog->setTexts(text, title, MessageNormalColour);
    const MessageFormDesign design = dialog->design();
    MessageLayout layout = LayOutMessage(design, MessageProgress);
    layout.okVisible = false;
    layout.cancelVisible = true;
    layout.cancelCaption = QStringLiteral("Cancel");
    layout.cancel.left = design.innerWidth / 2 - design.cancel.width / 2;
    layout.cancel.top = layout.progress.bottom() + Gap;
    layout.formHeight = layout.cancel.bottom() + Gap;
    dialog->applyLayout(layout);
    dialog->setCancelHandler([onCancel = std::move(onCancel), called = false]() mutable {
        if (!called && onCancel) {
            called = true;
            onCancel();
        }
    });
    dialog->showModeless();
    state().notice = std::move(dialog);
}

void SetMessageProgress(double percent)
{
    // A share computed from nothing (0 / 0) or beyond its range must not reach an integer cast.
    if (state().notice)
        state().notice->setProgress(std::isnan(percent) ? 0.0 : std::clamp(percent, 0.0, 100.0));
}

void UnloadMessage()
{
    state().notice.reset();
    if (MessageDialog *waiting = std::exchange(state().waiting, nullptr))
        waiting->dismiss();
}

bool MessageOpen()
{
    return state().notice || state().waiting;
}

} // namespace app::common::desktop
