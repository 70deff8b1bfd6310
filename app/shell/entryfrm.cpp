#include "app/shell/entryfrm.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

#include "app/common/desktop/messages.h"
#include "app/common/desktop/systemhelpers.h"
#include "app/common/globals.h"
#include "app/controls/twips.h"
#include "app/controls/vxbtn.h"
#include "app/shell/childcontrol.h"
#include "app/shell/childformclass.h"
#include "app/shell/messagefrm.h"
#include "platform/vb/cstr.h"
#include "platform/vb/format.h"
#include "platform/vb/val.h"

namespace app::shell {

namespace {

using controls::toPixels;
using controls::toTwips;

constexpr int FieldHeightTwips = 450;
constexpr int FieldWidthTwips = 2400;
constexpr int ButtonTopTwips = 720;
constexpr int ContainerHeightTwips = ButtonTopTwips + DialogButtonHeightTwips + 240;
constexpr int16_t ModeManual = 0;
constexpr int16_t ModeOkCancel = 6;

QString withPoint(QString text)
{
    const QString separator = common::DecimalSeparator();
    if (!separator.isEmpty() && separator != QLatin1String("."))
        text.replace(separator, QLatin1String("."));
    return text;
}

} // namespace

EntryFrm::EntryFrm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), raiser_(dialogRaiser(owner))
{
    setObjectName(QStringLiteral("EntryFrm"));
    setFixedWidth(toPixels(InnerWidthTwips));
    const FormPalette palette = currentFormPalette();

    title_ = addDialogTitle(*this, QStringLiteral("lblTitle"), palette);
    description_ = addDialogText(*this, QStringLiteral("lblDescription"), palette);

    container_ = new QWidget(this);
    container_->setObjectName(QStringLiteral("ControlContainer"));
    // Transparent over the form's own background, so the form's outline stays whole.
    container_->resize(width(), toPixels(ContainerHeightTwips));

    manual_ = new controls::VXBtn(container_);
    manual_->setObjectName(QStringLiteral("Manual"));
    manual_->setStretch(false);
    QFont fieldFont = manual_->Font();
    fieldFont.setPointSizeF(13);
    fieldFont.setBold(true);
    manual_->setFont(fieldFont);
    manual_->setBackColor(palette.fieldBack);
    manual_->setBackColorHover(palette.fieldBack);
    manual_->setBackColorDown(palette.fieldBack);
    manual_->setForeColor(palette.fieldFore);
    manual_->setForeColorHover(palette.fieldFore);
    manual_->setForeColorDown(palette.fieldFore);
    manual_->setBorderColor(palette.border);
    manual_->setBorderColorFocus(palette.borderFocus);
    manual_->setBorderStyle(2);
    manual_->setHoverOffset(0);
    manual_->setEditable(1);
    manual_->setStyle(QStringLiteral("Field")); // the main window's field template, if any
    manual_->setStretch(false);
    manual_->setFont(fieldFont);
    manual_->setGeometry(toPixels((InnerWidthTwips - FieldWidthTwips) / 2), 0,
                         toPixels(FieldWidthTwips), toPixels(FieldHeightTwips));
    manual_->installEventFilter(this);
    manual_->textEditor()->installEventFilter(this);

    auto makeButton = [this, &palette](const QString &name, const QString &caption, int left) {
        controls::VXBtn *button = addDialogButton(*container_, name, caption, palette);
        button->move(toPixels(left), toPixels(ButtonTopTwips));
        return button;
    };
    ok_ = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"), DialogOkLeftTwips);
    cancel_ =
        makeButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel"), DialogCancelLeftTwips);
    connect(ok_, &controls::VXBtn::Click, this, &EntryFrm::okAction);
    connect(cancel_, &controls::VXBtn::Click, this, &EntryFrm::cancelAction);

    // The load step's colours.
    setRoleColour(*this, QPalette::Window, palette.displayBack);
    setAutoFillBackground(true);
    value_.clear();
    layOut();
}

void EntryFrm::InitOKCancel(const QString &Title, const QString &Description)
{
    title_->setText(Title);
    description_->setText(Description);
    mode_ = ModeOkCancel;
    manual_->hide();
    layOut();
}

void EntryFrm::InitManual(const QString &Title, const QString &Description, const QString &Default,
                          const QString &Formatting, bool Numeric, const QString &Allowed,
                          float Min, float Max, int16_t Length)
{
    title_->setText(Title);
    description_->setText(Description);
    formatting_ = Formatting;
    allowed_ = Allowed;
    numeric_ = Numeric;
    min_ = Min;
    max_ = Max;
    manual_->setAllowed(Allowed);
    if (Formatting.isEmpty())
        manual_->setCaption(Default);
    else
        manual_->setCaption(platform::vb::Format(platform::vb::Val(withPoint(Default)), Formatting,
                                                 common::ProgramSeparators()));
    mode_ = ModeManual;
    manual_->show();

    if (Length > 0) {
        manual_->setMaxLength(Length);
        const int inner = width();
        QFont font = manual_->Font();
        for (;;) {
            const int textTwips = static_cast<int>(
                toTwips(QFontMetrics(font).horizontalAdvance(QString(Length, QLatin1Char('A')))));
            const int widthPx = toPixels(textTwips + 120);
            manual_->setFont(font);
            manual_->setGeometry((inner - widthPx) / 2, manual_->y(), widthPx, manual_->height());
            // Shrink to fit, but never below a readable size.
            if (widthPx <= inner || font.pointSizeF() - 1 < MinimumFieldPoints)
                break;
            font.setPointSizeF(font.pointSizeF() - 1);
        }
        if (manual_->width() > inner)
            manual_->setGeometry(0, manual_->y(), inner, manual_->height());
    }
    layOut();
}

void EntryFrm::layOut()
{
    const QFontMetrics metrics(description_->font());
    const int textHeight = metrics
                               .boundingRect(QRect(0, 0, toPixels(DialogTextWidthTwips), 10000),
                                             Qt::TextWordWrap, description_->text())
                               .height();
    description_->setGeometry(toPixels(DialogMarginTwips), toPixels(DialogTextTopTwips),
                              toPixels(DialogTextWidthTwips), std::max(textHeight, 1));
    const int containerTop =
        static_cast<int>(toTwips(description_->y() + description_->height())) + 180;
    // Without the entry field the buttons move up to where it would be.
    const int buttonTop = mode_ == ModeOkCancel ? 0 : ButtonTopTwips;
    ok_->move(ok_->x(), toPixels(buttonTop));
    cancel_->move(cancel_->x(), toPixels(buttonTop));
    const int containerHeight = buttonTop + DialogButtonHeightTwips + 240;
    container_->setGeometry(0, toPixels(containerTop), width(), toPixels(containerHeight));
    setFixedHeight(toPixels(containerTop + containerHeight));
}

void EntryFrm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    roundDialog(*this);
}

void EntryFrm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    paintDialogOutline(*this, *title_);
}

EntryFrm::~EntryFrm()
{
    common::desktop::RestorePageFocus(CurrentPage());
}

void EntryFrm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeDialog(*this, raiser_);
    // The caller's default stays; the editor opens on it with everything selected. A question
    // starts on Cancel: going on takes a deliberate choice.
    if (mode_ == ModeManual)
        QTimer::singleShot(0, this, &EntryFrm::openEditor);
    else
        cancel_->setFocus();
}

void EntryFrm::openEditor()
{
    if (isVisible() && manual_->isVisible() && !manual_->isEditing()) {
        manual_->setFocus();
        manual_->DoEdit();
    }
}

bool EntryFrm::valueNumber(const QString &value, double &number)
{
    const QString text = value.trimmed();
    if (text.isEmpty()) {
        number = 0.0;
        return true;
    }
    static const QRegularExpression numeric(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!numeric.match(text).hasMatch())
        return false;
    number = platform::vb::Val(text);
    return true;
}

void EntryFrm::okAction()
{
    if (mode_ == ModeManual && manual_->isEditing())
        manual_->EndEdit();
    if (mode_ == ModeManual && manual_->isEditing())
        return; // the field refused its text and stays open

    if (mode_ == ModeOkCancel) {
        value_ = QStringLiteral("1");
    } else if (!formatting_.isEmpty()) {
        const double entered = platform::vb::Val(withPoint(manual_->Caption()));
        value_ = withPoint(platform::vb::Format(entered, formatting_, common::ProgramSeparators()));
    } else {
        value_ = withPoint(manual_->Caption());
    }

    if (mode_ == ModeManual && numeric_ && !(min_ == 0.0f && max_ == 0.0f)) {
        // Both the text as typed and the value it gave must be numbers: "-" is no 0.
        double typed = 0.0;
        double x = 0.0;
        const bool number =
            valueNumber(withPoint(manual_->Caption()), typed) && valueNumber(value_, x);
        const float single = static_cast<float>(x);
        if (!number || single < min_ || single > max_) {
            const auto separators = common::ProgramSeparators();
            QPointer<EntryFrm> self(this);
            common::desktop::ShowMessage(
                QStringLiteral("The value must be between ") +
                    platform::vb::CStr(min_, separators) + QStringLiteral(" and ") +
                    platform::vb::CStr(max_, separators),
                QStringLiteral("Invalid Value"), true, common::desktop::MessageOk);
            if (self) {
                value_.clear();
                openEditor();
            }
            return;
        }
    }
    cancelled_ = false;
    accept();
}

void EntryFrm::cancelAction()
{
    if (manual_->isEditing())
        manual_->textEditor()->setText(manual_->Caption());
    value_ = QStringLiteral("-1");
    cancelled_ = true;
    reject();
}

void EntryFrm::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        // A question goes on only from its own OK button.
        if (mode_ == ModeOkCancel && focusWidget() != ok_)
            cancelAction();
        else
            okAction();
        return;
    case Qt::Key_Escape:
        event->accept();
        cancelAction();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void EntryFrm::closeEvent(QCloseEvent *event)
{
    // Closed by the window system: a cancel, never a stale answer.
    if (result() != QDialog::Accepted && value_.isEmpty()) {
        value_ = QStringLiteral("-1");
        cancelled_ = true;
    }
    QDialog::closeEvent(event);
}

bool EntryFrm::eventFilter(QObject *watched, QEvent *event)
{
    // The form sees Enter and Escape before the entry field does.
    if ((watched == manual_ || watched == manual_->textEditor()) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            okAction();
            return true;
        }
        if (key == Qt::Key_Escape) {
            cancelAction();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace app::shell
