#ifndef APP_SHELL_MESSAGEFRM_H
#define APP_SHELL_MESSAGEFRM_H

#include <cstdint>
#include <functional>
#include <memory>

#include <QDialog>
#include <QPointer>

#include "app/common/desktop/messages.h"
#include "app/shell/dialogform.h"

class QLabel;

namespace app::controls {
class ProgBar;
class VXBtn;
} // namespace app::controls

namespace app::shell {

// The program's message form: a borderless, rounded box coloured from the branding, with a
// title bar, the message, a progress bar and two buttons. ShowMessage drives it through
// MessageFrmDialog; nothing else shows it.
class MessageFrm : public QDialog
{
    Q_OBJECT

public:
    explicit MessageFrm(QWidget *owner = nullptr);

    // Rounds the form's corners (ellipse 15 pixels).
    void Round();

    // Modal messages: the answer so far. Modeless notices cannot be closed by the user.
    common::desktop::MessageAnswer answer() const { return answer_; }
    void setModeless(bool modeless) { modeless_ = modeless; }
    // A modal message with both buttons: a Yes/No question.
    bool isQuestion() const;
    // A notice's Cancel button calls this and leaves the notice up.
    void setNoticeCancel(std::function<void()> handler) { noticeCancel_ = std::move(handler); }
    bool noticeCancellable() const { return static_cast<bool>(noticeCancel_); }
    // Closes the form on its owner's behalf, also a notice.
    void unload();

    QLabel *Title() const { return title_; }
    QLabel *Message() const { return message_; }
    controls::ProgBar *ProgBar() const { return progress_; }
    controls::VXBtn *btnOK() const { return ok_; }
    controls::VXBtn *btnCancel() const { return cancel_; }

    static constexpr int InnerWidthTwips = DialogWidthTwips;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish(common::desktop::MessageAnswer answer);

    QPointer<QWidget> raiser_; // the control that had the focus: the form keeps clear of it

    QLabel *title_ = nullptr;
    QLabel *message_ = nullptr;
    controls::ProgBar *progress_ = nullptr;
    controls::VXBtn *ok_ = nullptr;
    controls::VXBtn *cancel_ = nullptr;
    common::desktop::MessageAnswer answer_ = common::desktop::MessageAnswer::None;
    bool modeless_ = false;
    bool unloading_ = false;
    std::function<void()> noticeCancel_;
};

// MessageFrm as the message form of ShowMessage.
class MessageFrmDialog final : public common::desktop::MessageDialog
{
public:
    explicit MessageFrmDialog(QWidget *owner = nullptr);
    ~MessageFrmDialog() override;

    void setTexts(const QString &text, const QString &title,
                  platform::win::OleColour titleColour) override;
    common::desktop::MessageFormDesign design() const override;
    void applyLayout(const common::desktop::MessageLayout &layout) override;
    common::desktop::MessageAnswer exec() override;
    void dismiss() override;
    void showModeless() override;
    void setProgress(double percent) override;
    void setCancelHandler(std::function<void()> handler) override;

    MessageFrm *form() const { return form_; }

private:
    QPointer<MessageFrm> form_;
};

// Makes MessageFrm the form of ShowMessage, owned by the given window (the active window when
// none is given).
void InstallMessageFrm(QWidget *owner = nullptr);

} // namespace app::shell

#endif
