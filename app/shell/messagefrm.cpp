#include "app/shell/messagefrm.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>

#include "app/controls/progbar.h"
#include "app/controls/twips.h"
#include "app/controls/vxbtn.h"
#include "app/shell/shellstate.h"

namespace app::shell {

namespace {

using controls::toPixels;
using controls::toTwips;

constexpr int ProgressHeightTwips = 240;

QPointer<QWidget> &installedOwner()
{
    return ShellState::current().messageOwner;
}

} // namespace

MessageFrm::MessageFrm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), raiser_(dialogRaiser(owner))
{
    setObjectName(QStringLiteral("MessageFrm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedWidth(toPixels(InnerWidthTwips));
    const FormPalette palette = currentFormPalette();

    title_ = addDialogTitle(*this, QStringLiteral("Title"), palette);
    message_ = addDialogText(*this, QStringLiteral("Message"), palette);
    message_->setToolTip(
        QStringLiteral("Double-click this message to copy the contents to the clipboard."));
    message_->installEventFilter(this);

    progress_ = new controls::ProgBar(this);
    progress_->setObjectName(QStringLiteral("ProgBar"));
    progress_->setSegments(50);
    progress_->setMin(0);
    progress_->setMax(100);
    progress_->hide();

    ok_ = addDialogButton(*this, QStringLiteral("btnOK"), QStringLiteral("OK"), palette);
    cancel_ =
        addDialogButton(*this, QStringLiteral("btnCancel"), QStringLiteral("Cancel"), palette);
    ok_->move(toPixels(DialogOkLeftTwips), 0);
    cancel_->move(toPixels(DialogCancelLeftTwips), 0);
    connect(ok_, &controls::VXBtn::Click, this,
            [this] { finish(common::desktop::MessageAnswer::Ok); });
    connect(cancel_, &controls::VXBtn::Click, this,
            [this] {
                if (modeless_ && noticeCancel_)
                    noticeCancel_();
                else
                    finish(common::desktop::MessageAnswer::Cancel);
            });

    // The load step's colours.
    progress_->setForeColor(palette.text);
    progress_->setBackColor(palette.helpBack);
    setRoleColour(*this, QPalette::Window, palette.displayBack);
    setAutoFillBackground(true);
    resize(width(), toPixels(3000));
}

void MessageFrm::Round()
{
    roundDialog(*this);
}

void MessageFrm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeDialog(*this, raiser_);
    // A question starts on "No": one Enter must not write to the module or drop data.
    if (isQuestion())
        cancel_->setFocus(Qt::OtherFocusReason);
}

void MessageFrm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Round();
}

void MessageFrm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    paintDialogOutline(*this, *title_);
}

void MessageFrm::finish(common::desktop::MessageAnswer answer)
{
    if (modeless_)
        return; // a notice stays until its caller closes it
    answer_ = answer;
    done(answer == common::desktop::MessageAnswer::Ok ? QDialog::Accepted : QDialog::Rejected);
}

bool MessageFrm::isQuestion() const
{
    return !modeless_ && !ok_->isHidden() && !cancel_->isHidden();
}

void MessageFrm::unload()
{
    unloading_ = true;
    if (isVisible())
        done(QDialog::Rejected);
    hide();
}

void MessageFrm::keyPressEvent(QKeyEvent *event)
{
    if (modeless_) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        // Escape says No to a question; a plain message just closes.
        finish(isQuestion() ? common::desktop::MessageAnswer::Cancel
                            : common::desktop::MessageAnswer::None);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A question takes "Yes" only from its own button: Enter elsewhere answers No.
        if (isQuestion())
            finish(focusWidget() == ok_ ? common::desktop::MessageAnswer::Ok
                                        : common::desktop::MessageAnswer::Cancel);
        else
            finish(common::desktop::MessageAnswer::Ok);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void MessageFrm::closeEvent(QCloseEvent *event)
{
    if (modeless_ && !unloading_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool MessageFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == message_ && event->type() == QEvent::MouseButtonDblClick) {
        if (QClipboard *clipboard = QApplication::clipboard()) {
            clipboard->clear();
            clipboard->setText(message_->text());
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- the form behind ShowMessage ---------------------------------------------------------

namespace {

// The window a new message belongs to. Never an earlier message form: that one is on its way
// out, and a form parented to it would go with it while still showing.
QWidget *messageOwner(QWidget *owner)
{
    QWidget *window = owner ? owner : QApplication::activeWindow();
    while (window && qobject_cast<MessageFrm *>(window))
        window = window->parentWidget();
    return window ? window->window() : nullptr;
}

} // namespace

MessageFrmDialog::MessageFrmDialog(QWidget *owner) : form_(new MessageFrm(messageOwner(owner))) {}

MessageFrmDialog::~MessageFrmDialog()
{
    if (form_) {
        form_->unload();
        form_->deleteLater();
    }
}

void MessageFrmDialog::setTexts(const QString &text, const QString &title,
                                platform::win::OleColour titleColour)
{
    if (!form_)
        return;
    form_->Message()->setText(text);
    form_->Title()->setText(title);
    form_->setWindowTitle(title);
    setRoleColour(*form_->Title(), QPalette::Window, titleColour);
}

common::desktop::MessageFormDesign MessageFrmDialog::design() const
{
    common::desktop::MessageFormDesign design;
    design.innerWidth = MessageFrm::InnerWidthTwips;
    int textHeight = 0;
    if (form_) {
        const QFontMetrics metrics(form_->Message()->font());
        textHeight = metrics
                         .boundingRect(QRect(0, 0, toPixels(DialogTextWidthTwips), 10000),
                                       Qt::TextWordWrap, form_->Message()->text())
                         .height();
    }
    design.message = {DialogMarginTwips, DialogTextTopTwips, DialogTextWidthTwips,
                      static_cast<int>(toTwips(std::max(textHeight, 1)))};
    design.ok = {DialogOkLeftTwips, 0, DialogButtonWidthTwips, DialogButtonHeightTwips};
    design.cancel = {DialogCancelLeftTwips, 0, DialogButtonWidthTwips, DialogButtonHeightTwips};
    design.progress = {DialogMarginTwips, 0, DialogTextWidthTwips, ProgressHeightTwips};
    return design;
}

void MessageFrmDialog::applyLayout(const common::desktop::MessageLayout &layout)
{
    if (!form_)
        return;
    const common::desktop::MessageFormDesign placed = design();
    auto place = [](QWidget *widget, const common::desktop::TwipsRect &r) {
        widget->setGeometry(toPixels(r.left), toPixels(r.top), toPixels(r.width),
                            toPixels(r.height));
    };
    place(form_->Message(), placed.message);
    place(form_->btnOK(), layout.ok);
    place(form_->btnCancel(), layout.cancel);
    place(form_->ProgBar(), layout.progress);
    if (!layout.okCaption.isEmpty())
        form_->btnOK()->setCaption(layout.okCaption);
    if (!layout.cancelCaption.isEmpty())
        form_->btnCancel()->setCaption(layout.cancelCaption);
    form_->btnOK()->setVisible(layout.okVisible);
    form_->btnCancel()->setVisible(layout.cancelVisible);
    form_->ProgBar()->setVisible(layout.progressVisible);
    form_->setFixedHeight(toPixels(layout.formHeight));
    form_->Round();
}

common::desktop::MessageAnswer MessageFrmDialog::exec()
{
    if (!form_)
        return common::desktop::MessageAnswer::None;
    form_->setModeless(false);
    if (form_->btnOK()->isVisible())
        form_->btnOK()->setFocus();
    form_->exec();
    return form_ ? form_->answer() : common::desktop::MessageAnswer::None;
}

void MessageFrmDialog::dismiss()
{
    if (form_)
        form_->unload();
}

void MessageFrmDialog::showModeless()
{
    if (!form_)
        return;
    // A notice has no answer to give: its caller closes it, so it shows no button.
    form_->setModeless(true);
    form_->btnOK()->hide();
    // A notice of work that can stop shows its Cancel and holds the other windows' input.
    form_->btnCancel()->setVisible(form_->noticeCancellable());
    if (form_->noticeCancellable())
        form_->setWindowModality(Qt::ApplicationModal);
    form_->show();
    form_->raise();
    form_->repaint();
}

void MessageFrmDialog::setCancelHandler(std::function<void()> handler)
{
    if (form_)
        form_->setNoticeCancel(std::move(handler));
}

void MessageFrmDialog::setProgress(double percent)
{
    if (form_)
        form_->ProgBar()->setValue(static_cast<float>(std::clamp(percent, 0.0, 100.0)));
}

void InstallMessageFrm(QWidget *owner)
{
    installedOwner() = owner;
    common::desktop::setMessageDialogFactory(
        []() -> std::unique_ptr<common::desktop::MessageDialog> {
            return std::make_unique<MessageFrmDialog>(installedOwner());
        });
}

} // namespace app::shell
