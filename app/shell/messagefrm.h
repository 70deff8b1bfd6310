#ifndef APP_SHELL_MESSAGEFRM_H
#define APP_SHELL_MESSAGEFRM_H

#include <cstdint>
#include <memory>

#include <QDialog>
#include <QPointer>

#include "app/common/dialogs/messages.h"
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
    common::dialogs::MessageAnswer answer() const { return answer_; }
    void setModeless(bool modeless) { modeless_ = modeless; }
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
    void finish(common::dialogs::MessageAnswer answer);

    QPointer<QWidget> raiser_; // the control that had the focus: the form keeps clear of it

    QLabel *title_ = nullptr;
    QLabel *message_ = nullptr;
    controls::ProgBar *progress_ = nullptr;
    controls::VXBtn *ok_ = nullptr;
    controls::VXBtn *cancel_ = nullptr;
    common::dialogs::MessageAnswer answer_ = common::dialogs::MessageAnswer::None;
    bool modeless_ = false;
    bool unloading_ = false;
};

// MessageFrm as the message form of ShowMessage.
class MessageFrmDialog final : public common::dialogs::MessageDialog
{
public:
    explicit MessageFrmDialog(QWidget *owner = nullptr);
    ~MessageFrmDialog() override;

    void setTexts(const QString &text, const QString &title,
                  platform::win::OleColour titleColour) override;
    common::dialogs::MessageFormDesign design() const override;
    void applyLayout(const common::dialogs::MessageLayout &layout) override;
    common::dialogs::MessageAnswer exec() override;
    void dismiss() override;
    void showModeless() override;
    void setProgress(double percent) override;

    MessageFrm *form() const { return form_; }

private:
    QPointer<MessageFrm> form_;
};

// Makes MessageFrm the form of ShowMessage, owned by the given window (the active window when
// none is given).
void InstallMessageFrm(QWidget *owner = nullptr);

} // namespace app::shell

#endif
