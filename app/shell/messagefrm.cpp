#include "app/shell/messagefrm.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include "app/controls/progbar.h"
#include "app/controls/roundregion.h"
#include "app/controls/twips.h"
#include "app/controls/vxbtn.h"
#include "app/shell/brandingmodule.h"

namespace app::shell {

namespace {

using controls::toPixels;
using controls::toTwips;

constexpr int TitleHeightTwips = 390;
constexpr int MessageLeftTwips = 240;
constexpr int MessageTopTwips = 600;
constexpr int MessageWidthTwips = MessageFrm::InnerWidthTwips - 2 * MessageLeftTwips;
constexpr int ButtonWidthTwips = 1200;
constexpr int ButtonHeightTwips = 420;
constexpr int OkLeftTwips = 1320;
constexpr int CancelLeftTwips = 2880;
constexpr int ProgressHeightTwips = 240;
constexpr int CornerEllipse = 15;

QPointer<QWidget> &installedOwner()
{
    static QPointer<QWidget> owner;
    return owner;
}

} // namespace

FormPalette currentFormPalette()
{
    const BrandPalette &loaded = CurrentBranding().colours;
    const bool branded = std::any_of(loaded.begin(), loaded.end(), [](uint32_t c) { return c; });
    const BrandPalette &colours = branded ? loaded : BuiltInPalette();
    auto c = [&colours](BrandColour which) { return colours[static_cast<size_t>(which)]; };
    FormPalette palette;
    palette.back = c(BrandColour::Back);
    palette.displayBack = c(BrandColour::DisplayBack);
    palette.helpBack = c(BrandColour::HelpBack);
    palette.headers = c(BrandColour::Headers);
    palette.text = c(BrandColour::Text);
    palette.buttonBack = c(BrandColour::ButtonBack);
    palette.buttonBackHover = c(BrandColour::ButtonBackHover);
    palette.buttonBackDown = c(BrandColour::ButtonBackDown);
    palette.buttonFore = c(BrandColour::ButtonFore);
    palette.buttonForeHover = c(BrandColour::ButtonForeHover);
    palette.buttonForeDown = c(BrandColour::ButtonForeDown);
    palette.fieldBack = c(BrandColour::FieldBack);
    palette.fieldFore = c(BrandColour::FieldFore);
    palette.border = c(BrandColour::Border);
    palette.borderFocus = c(BrandColour::BorderFocus);
    return palette;
}

void applyButtonLook(controls::VXBtn &button, const FormPalette &palette)
{
    button.setBackColor(palette.buttonBack);
    button.setBackColorHover(palette.buttonBackHover);
    button.setBackColorDown(palette.buttonBackDown);
    button.setForeColor(palette.buttonFore);
    button.setForeColorHover(palette.buttonForeHover);
    button.setForeColorDown(palette.buttonForeDown);
    button.setBorderColor(palette.border);
    button.setBorderColorFocus(palette.borderFocus);
    button.setBorderStyle(2);
    button.setHoverOffset(0);
    button.setClickOffset(1);
    // A caption of a fixed, readable size rather than one that fills the button.
    button.setStretch(false);
    QFont font = button.Font();
    font.setBold(true);
    font.setPointSizeF(10);
    button.setFont(font);
    // The main window's "Button" template, when there is one, gives the program-wide look.
    button.setStyle(QStringLiteral("Button"));
}

MessageFrm::MessageFrm(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("MessageFrm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedWidth(toPixels(InnerWidthTwips));
    const FormPalette palette = currentFormPalette();

    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("Title"));
    title_->setGeometry(0, 0, width(), toPixels(TitleHeightTwips));
    title_->setContentsMargins(toPixels(MessageLeftTwips), 0, toPixels(MessageLeftTwips), 0);
    title_->setAutoFillBackground(true);
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(10.5);
    title_->setFont(titleFont);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message_->setToolTip(
        QStringLiteral("Double-click this message to copy the contents to the clipboard."));
    QFont messageFont = message_->font();
    messageFont.setPointSizeF(10);
    message_->setFont(messageFont);
    message_->installEventFilter(this);

    progress_ = new controls::ProgBar(this);
    progress_->setObjectName(QStringLiteral("ProgBar"));
    progress_->setSegments(50);
    progress_->setMin(0);
    progress_->setMax(100);
    progress_->hide();

    auto makeButton = [this, &palette](const QString &name, const QString &caption) {
        auto *button = new controls::VXBtn(this);
        button->setObjectName(name);
        applyButtonLook(*button, palette);
        button->setCaption(caption);
        button->resize(toPixels(ButtonWidthTwips), toPixels(ButtonHeightTwips));
        return button;
    };
    ok_ = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"));
    cancel_ = makeButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel"));
    ok_->move(toPixels(OkLeftTwips), 0);
    cancel_->move(toPixels(CancelLeftTwips), 0);
    connect(ok_, &controls::VXBtn::Click, this, [this] { finish(common::MessageAnswer::Ok); });
    connect(cancel_, &controls::VXBtn::Click, this,
            [this] { finish(common::MessageAnswer::Cancel); });

    // The load step's colours.
    progress_->setForeColor(palette.text);
    progress_->setBackColor(palette.helpBack);
    QPalette titleColours = title_->palette();
    titleColours.setColor(QPalette::Window, controls::UserControl::colour(palette.back));
    titleColours.setColor(QPalette::WindowText, controls::UserControl::colour(palette.headers));
    title_->setPalette(titleColours);
    QPalette messageColours = message_->palette();
    messageColours.setColor(QPalette::WindowText, controls::UserControl::colour(palette.text));
    message_->setPalette(messageColours);
    QPalette form = this->palette();
    form.setColor(QPalette::Window, controls::UserControl::colour(palette.displayBack));
    setPalette(form);
    setAutoFillBackground(true);
    resize(width(), toPixels(3000));
}

void MessageFrm::Round()
{
    setMask(controls::roundRectRegion(width(), height(), CornerEllipse, CornerEllipse));
}

void MessageFrm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Round();
}

void MessageFrm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // A hairline in the title colour stands in for the drop shadow of a desktop that draws none.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor edge = title_->palette().color(QPalette::Window);
    painter.setPen(QPen(edge, 1.0));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), CornerEllipse / 2.0,
                            CornerEllipse / 2.0);
}

void MessageFrm::finish(common::MessageAnswer answer)
{
    if (modeless_)
        return; // a notice stays until its caller closes it
    answer_ = answer;
    done(answer == common::MessageAnswer::Ok ? QDialog::Accepted : QDialog::Rejected);
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
        finish(cancel_->isVisible() ? common::MessageAnswer::Cancel : common::MessageAnswer::None);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        finish(cancel_->hasFocus() ? common::MessageAnswer::Cancel : common::MessageAnswer::Ok);
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
    QPalette colours = form_->Title()->palette();
    colours.setColor(QPalette::Window, controls::UserControl::colour(titleColour));
    form_->Title()->setPalette(colours);
}

common::MessageFormDesign MessageFrmDialog::design() const
{
    common::MessageFormDesign design;
    design.innerWidth = MessageFrm::InnerWidthTwips;
    int textHeight = 0;
    if (form_) {
        const QFontMetrics metrics(form_->Message()->font());
        textHeight = metrics
                         .boundingRect(QRect(0, 0, toPixels(MessageWidthTwips), 10000),
                                       Qt::TextWordWrap, form_->Message()->text())
                         .height();
    }
    design.message = {MessageLeftTwips, MessageTopTwips, MessageWidthTwips,
                      static_cast<int>(toTwips(std::max(textHeight, 1)))};
    design.ok = {OkLeftTwips, 0, ButtonWidthTwips, ButtonHeightTwips};
    design.cancel = {CancelLeftTwips, 0, ButtonWidthTwips, ButtonHeightTwips};
    design.progress = {MessageLeftTwips, 0, MessageWidthTwips, ProgressHeightTwips};
    return design;
}

void MessageFrmDialog::applyLayout(const common::MessageLayout &layout)
{
    if (!form_)
        return;
    const common::MessageFormDesign placed = design();
    auto place = [](QWidget *widget, const common::TwipsRect &r) {
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

common::MessageAnswer MessageFrmDialog::exec()
{
    if (!form_)
        return common::MessageAnswer::None;
    form_->setModeless(false);
    if (form_->btnOK()->isVisible())
        form_->btnOK()->setFocus();
    form_->exec();
    return form_ ? form_->answer() : common::MessageAnswer::None;
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
    form_->btnCancel()->hide();
    form_->show();
    form_->raise();
    form_->repaint();
}

void MessageFrmDialog::setProgress(double percent)
{
    if (form_)
        form_->ProgBar()->setValue(static_cast<float>(std::clamp(percent, 0.0, 100.0)));
}

void InstallMessageFrm(QWidget *owner)
{
    installedOwner() = owner;
    common::setMessageDialogFactory([]() -> std::unique_ptr<common::MessageDialog> {
        return std::make_unique<MessageFrmDialog>(installedOwner());
    });
}

} // namespace app::shell
