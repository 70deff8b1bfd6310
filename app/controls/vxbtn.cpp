#include "app/controls/vxbtn.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>

#include "app/controls/editbox.h"
#include "app/controls/fieldeditor.h"
#include "app/controls/fieldrules.h"
#include "app/controls/vxbtnmodule.h"

namespace app::controls {

const QString VXBtn::GlyphFontFamily = QStringLiteral("VXTKButtons");

namespace {

constexpr double FitStart = 6.0;
constexpr double FitEnd = 255.0;
constexpr double FitStep = 0.5;
constexpr int ArrowInset = 4; // pixels between the list arrow and the right edge

} // namespace

VXBtn::VXBtn(QWidget *parent) : UserControl(parent)
{
    font_ = parent ? parent->font() : QApplication::font();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    editors_ = new FieldEditor(*this);
    editors_->textBox()->setFilter(
        [this](QLineEdit &box, int keyAscii) { return ValidateNumeric(box, keyAscii); });
    connect(editors_, &FieldEditor::commitRequested, this, &VXBtn::commitEdit);
    connect(editors_, &FieldEditor::cancelRequested, this, [this] {
        keyArmed_ = false;
        cancelEdit();
    });
    connect(editors_, &FieldEditor::textFocusLeft, this, &VXBtn::commitEdit);
    connect(editors_, &FieldEditor::chosen, this, &VXBtn::listChosen);
    connect(editors_, &FieldEditor::dismissed, this, &VXBtn::listDismissed);

    updateAccessKey();
    layoutControl();
}

VXBtn::~VXBtn()
{
    // The editors outlive this body; what they report while they go must not reach us.
    editors_->disconnect(this);
    unregisterStyle();
}

// ---- looks -------------------------------------------------------------------------------

Qt::Alignment VXBtn::textAlignment(int16_t alignment)
{
    switch (alignment) {
    case 0:
        return Qt::AlignLeft;
    case 1:
        return Qt::AlignRight;
    default:
        return Qt::AlignHCenter;
    }
}

QString VXBtn::sevenDigits(double value, const platform::vb::NumberSeparators &separators)
{
    return SevenDigits(value, separators);
}

QString VXBtn::formatCaption(const QString &text) const
{
    return FormatCaptionNumber(text, Format_, separators());
}

QString VXBtn::buildCaptionText() const
{
    QString text = Caption_;
    if (TOGGLE_ && !(CaptionOff_.isEmpty() && CaptionOn_.isEmpty()))
        text = State_ ? CaptionOn_ : CaptionOff_;
    text.replace(QLatin1String("**"), QLatin1String("\r\n"));
    if (!Format_.isEmpty())
        text = formatCaption(text);
    return text;
}

void VXBtn::DrawMe()
{
    displayText_ = buildCaptionText();
    const bool hover = hovering_;
    if ((hover || (State_ && Enabled_)) && !Inactive_) {
        if (!hover || State_) {
            fore_ = ForeColorDown_;
            fill_ = BackColorDown_;
            captionPos_ = QPoint(Padding_ + ClickOffset_, ClickOffset_);
        } else {
            fore_ = ForeColorHover_;
            fill_ = BackColorHover_;
            captionPos_ = QPoint(Padding_ + HoverOffset_, HoverOffset_);
        }
        underlined_ = Underline_;
    } else {
        captionPos_ = QPoint(Padding_, 0);
        fore_ = ForeColor_;
        fill_ = Enabled_ ? BackColor_ : BackColorDisabled_;
        underlined_ = false;
        if (border_ == BorderColorDisabled_ && Enabled_)
            border_ = BorderColor_;
    }
    if (!Enabled_) {
        fore_ = ForeColorDisabled_;
        fill_ = BackColorDisabled_;
        border_ = BorderColorDisabled_;
    }
    update();
}

void VXBtn::showPressedLook(bool keyPress)
{
    if (ClickOffset_ != 0)
        captionPos_ = QPoint(Padding_ + ClickOffset_, ClickOffset_);
    fill_ = BackColorDown_;
    if (keyPress)
        fore_ = ForeColorDown_;
    update();
}

void VXBtn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour(fill_));

    if (BorderStyle_ >= 1 && BorderStyle_ <= 4 && BorderWidth_ > 0) {
        const bool dotted = BorderStyle_ == 3 || BorderStyle_ == 4;
        const bool rounded = BorderStyle_ == 2 || BorderStyle_ == 4;
        QPen pen(colour(border_), BorderWidth_, dotted ? Qt::DotLine : Qt::SolidLine);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const double half = BorderWidth_ / 2.0;
        const QRectF frame = QRectF(rect()).adjusted(half, half, -half, -half);
        if (rounded) {
            const double r = std::nearbyint(std::min(width(), height()) / 5.0) / 2.0;
            painter.setRenderHint(QPainter::Antialiasing);
            painter.drawRoundedRect(frame, r, r);
            painter.setRenderHint(QPainter::Antialiasing, false);
        } else {
            painter.drawRect(frame);
        }
    }
    if (showsFocus())
        paintFocusRing(painter);

    if (!editors_->editing()) {
        QFont font = font_;
        font.setUnderline(underlined_);
        painter.setFont(font);
        painter.setPen(colour(fore_));
        QString text = displayText_;
        text.remove(QLatin1Char('\r'));
        painter.drawText(captionRect(),
                         static_cast<int>(textAlignment(Alignment_) | Qt::AlignVCenter |
                                          Qt::TextShowMnemonic | Qt::TextWordWrap),
                         text);
    }

    if (Editable_ == 2 && !Inactive_) {
        QFont glyph(GlyphFontFamily);
        glyph.setPointSizeF(font_.pointSizeF() > 0 ? font_.pointSizeF() : 9.0);
        painter.setFont(glyph);
        painter.setPen(colour(fore_));
        painter.drawText(arrowRect_, Qt::AlignCenter, QStringLiteral("X"));
    }
}

bool VXBtn::showsFocus() const
{
    return acceptsInput() &&
           (hasFocus() || (editors_->editing() && editors_->textBox()->hasFocus()));
}

// The focus is drawn whatever the border style: a ring of the focus colour two pixels wide, in
// the border's shape, so that a control drawn without a border still shows where Tab went.
void VXBtn::paintFocusRing(QPainter &painter) const
{
    constexpr double RingWidth = 2.0;
    QPen pen(colour(BorderColorFocus_), RingWidth, Qt::SolidLine);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF frame =
        QRectF(rect()).adjusted(RingWidth / 2, RingWidth / 2, -RingWidth / 2, -RingWidth / 2);
    if (BorderStyle_ == 2 || BorderStyle_ == 4) {
        const double r = std::nearbyint(std::min(width(), height()) / 5.0) / 2.0;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawRoundedRect(frame, r, r);
    } else {
        painter.drawRect(frame);
    }
    painter.restore();
}

// ---- layout ------------------------------------------------------------------------------

void VXBtn::fitFont()
{
    const double limit = height() * (ClickOffset_ != 0 ? 0.9 : 1.0);
    QFont probe = font_;
    double size = FitStart;
    bool exceeded = false;
    for (; size <= FitEnd; size += FitStep) {
        probe.setPointSizeF(size);
        if (QFontMetricsF(probe).height() > limit) {
            exceeded = true;
            break;
        }
    }
    font_.setPointSizeF(exceeded ? size - FitStep : FitEnd);
}

void VXBtn::layoutControl()
{
    const int pad = Padding_;
    applyBorderWidth();
    captionSize_ = QSize(std::max(0, width() - 2 * pad), height());
    if (Stretch_ && height() > 0)
        fitFont();

    QFont glyph(GlyphFontFamily);
    glyph.setPointSizeF(font_.pointSizeF() > 0 ? font_.pointSizeF() : 9.0);
    const int arrowWidth =
        static_cast<int>(std::ceil(QFontMetricsF(glyph).horizontalAdvance(QLatin1Char('X'))));
    arrowRect_ = QRect(width() - ArrowInset - arrowWidth, 0, arrowWidth, height());

    if (BorderStyle_ == 2 || BorderStyle_ == 4)
        applyRoundRegion(static_cast<int>(std::nearbyint(std::min(width(), height()) / 5.0)));
    else
        clearMask();
    if (editors_->editing())
        editors_->setTextFont(editorFont());
    DrawMe();
    if (editors_->editing())
        editors_->setTextGeometry(captionRect());
}

void VXBtn::applyBorderWidth()
{
    // The frame always spans the control; its width is painted in paintEvent.
    update();
}

void VXBtn::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    layoutControl();
}

QSize VXBtn::sizeHint() const
{
    return QSize(75, 23);
}

void VXBtn::showEvent(QShowEvent *event)
{
    if (stylePending_) {
        stylePending_ = false;
        registerStyle();
    }
    UserControl::showEvent(event);
}

// ---- property lets -----------------------------------------------------------------------

void VXBtn::applyHostEnabled()
{
    const bool enabled = Enabled_ && !Inactive_;
    if (!enabled) {
        if (mouseInRaised_) {
            mouseInRaised_ = false;
            emit MouseOut();
        }
        hovering_ = false;
        mouseArmed_ = false;
        keyArmed_ = false;
        if (ShowHandPointer_)
            showHandCursor(false);
    }
    QWidget::setEnabled(enabled);
}

void VXBtn::setEnabled(bool value)
{
    Enabled_ = value;
    applyHostEnabled();
    if (!value)
        border_ = BorderColorDisabled_;
    DrawMe();
}

void VXBtn::setBorderStyle(int32_t value)
{
    if (value < 0 || value > 4)
        return;
    BorderStyle_ = value;
    layoutControl();
}

void VXBtn::setCaption(const QString &value)
{
    Caption_ = value;
    DrawMe();
    updateAccessKey();
}

void VXBtn::updateAccessKey()
{
    if (accessShortcut_ != 0) {
        releaseShortcut(accessShortcut_);
        accessShortcut_ = 0;
    }
    accessKey_ = QChar();
    const qsizetype amp = Caption_.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= Caption_.size())
        return;
    if (Caption_.at(amp + 1) == QLatin1Char('&'))
        return;
    accessKey_ = Caption_.at(amp + 1).toLower();
    const QKeySequence sequence(QStringLiteral("Alt+") + accessKey_.toUpper());
    if (!sequence.isEmpty())
        accessShortcut_ = grabShortcut(sequence);
}

void VXBtn::setFont(const QFont &value)
{
    font_ = value;
    layoutControl();
}

void VXBtn::setLookColour(OleColour &member, OleColour value)
{
    member = value;
    DrawMe();
}

void VXBtn::setDisabledLookColour(OleColour &member, OleColour value)
{
    member = value;
    // Only the disabled look shows it.
    if (!Enabled_)
        DrawMe();
}

void VXBtn::setForeColorDown(OleColour value)
{
    setLookColour(ForeColorDown_, value);
}

void VXBtn::setState(bool value)
{
    State_ = value;
    DrawMe();
}

void VXBtn::setForeColor(OleColour value)
{
    setLookColour(ForeColor_, value);
}

void VXBtn::setForeColorDisabled(OleColour value)
{
    setDisabledLookColour(ForeColorDisabled_, value);
}

void VXBtn::setBorderWidth(int16_t value)
{
    BorderWidth_ = std::max<int16_t>(0, value);
    applyBorderWidth();
}

void VXBtn::setBackColor(OleColour value)
{
    setLookColour(BackColor_, value);
}

void VXBtn::setBackColorDisabled(OleColour value)
{
    setDisabledLookColour(BackColorDisabled_, value);
}

void VXBtn::setBorderColor(OleColour value)
{
    BorderColor_ = value;
    if (Enabled_ && !hasFocus())
        border_ = value;
    update();
}

void VXBtn::setBorderColorDisabled(OleColour value)
{
    BorderColorDisabled_ = value;
    if (!Enabled_)
        border_ = value;
    update();
}

void VXBtn::setStyle(const QString &value)
{
    Style_ = value;
    unregisterStyle();
    stylePending_ = false;
    if (!value.isEmpty())
        registerStyle();
}

void VXBtn::setUseMyStyle(const QString &)
{
    ApplyButtonStyle(*this, Style_);
}

void VXBtn::registerStyle()
{
    CopyButtonStyle(*this, Style_, instanceNumber_);
}

void VXBtn::unregisterStyle()
{
    RemoveButtonStyle(instanceNumber_);
    instanceNumber_ = 0;
}

void VXBtn::setInactive(bool value)
{
    Inactive_ = value;
    applyHostEnabled();
    DrawMe();
}

void VXBtn::setAlignment(int16_t value)
{
    Alignment_ = value;
    editors_->setTextAlignment(textAlignment(value));
    update();
}

void VXBtn::setPadding(uint8_t value)
{
    Padding_ = value;
    layoutControl();
}

void VXBtn::setEditable(uint8_t value)
{
    Editable_ = value;
    update();
}

void VXBtn::setCaptionOff(const QString &value)
{
    CaptionOff_ = value;
    DrawMe();
}

void VXBtn::setCaptionOn(const QString &value)
{
    CaptionOn_ = value;
    DrawMe();
}

void VXBtn::setFormat(const QString &value)
{
    Format_ = value;
    DrawMe();
}

void VXBtn::SetToolTip(const QString &Text)
{
    setToolTip(Text);
}

// ---- input -------------------------------------------------------------------------------

void VXBtn::HandleClick()
{
    if (Editable_ < 1)
        emit Click();
    else
        DoEdit();
}

void VXBtn::hover(bool on)
{
    hovering_ = on;
    DrawMe();
    if (ShowHandPointer_)
        showHandCursor(on);
    // MouseIn and MouseOut come in pairs, also when a click ends the hover look in between.
    if (on && !mouseInRaised_) {
        mouseInRaised_ = true;
        emit MouseIn();
    } else if (!on && mouseInRaised_) {
        mouseInRaised_ = false;
        emit MouseOut();
    }
}

void VXBtn::pointerEntered()
{
    if ((State_ && !TOGGLE_) || !acceptsInput() || hovering_)
        return;
    hover(true);
}

void VXBtn::pointerLeft()
{
    if (hovering_ || mouseInRaised_)
        hover(false);
}

void VXBtn::mouseMoveEvent(QMouseEvent *event)
{
    if ((State_ && !TOGGLE_) || !acceptsInput())
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (!hovering_ && inside)
        hover(true);
    else if (hovering_ && inside && TOGGLE_ && ShowHandPointer_)
        showHandCursor(true);
}

void VXBtn::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton || !acceptsInput())
        return;
    if (editors_->editing() || editors_->listOpen())
        return;
    showPressedLook(false);
    mouseArmed_ = true;
}

void VXBtn::mouseReleaseEvent(QMouseEvent *event)
{
    if (!acceptsInput())
        return;
    if (editors_->editing()) {
        editors_->focusText(Qt::MouseFocusReason);
        return;
    }
    if (editors_->listOpen())
        return;
    if (event->button() == Qt::RightButton) {
        emit RightClick();
        return;
    }
    const bool armed = std::exchange(mouseArmed_, false);
    const bool inside = rect().contains(event->position().toPoint());
    QPointer<VXBtn> self(this);
    if (armed && inside) {
        if (TOGGLE_)
            setState(!State_);
        HandleClick();
        if (!self)
            return; // the owner closed the form that held the button
    }
    hovering_ = inside && pointerInside() && !(State_ && !TOGGLE_) && acceptsInput();
    DrawMe();
}

void VXBtn::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton && acceptsInput())
        emit DblClick();
}

void VXBtn::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool clickKey = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (clickKey && !editors_->editing() && !editors_->listOpen() && acceptsInput()) {
        event->accept();
        if (!event->isAutoRepeat()) {
            keyArmed_ = true;
            showPressedLook(true);
        }
        return;
    }
    UserControl::keyPressEvent(event);
}

void VXBtn::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat() || !keyArmed_) {
        UserControl::keyReleaseEvent(event);
        return;
    }
    event->accept();
    keyArmed_ = false;
    QPointer<VXBtn> self(this);
    if (TOGGLE_)
        setState(!State_);
    HandleClick();
    if (self)
        DrawMe();
}

bool VXBtn::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() == accessShortcut_ && accessShortcut_ != 0) {
            if (acceptsInput() && !editors_->editing() && !editors_->listOpen()) {
                setFocus(Qt::ShortcutFocusReason);
                QPointer<VXBtn> self(this);
                if (TOGGLE_)
                    setState(!State_);
                HandleClick();
                if (self)
                    DrawMe();
            }
            return true;
        }
    }
    return UserControl::event(event);
}

void VXBtn::focusInEvent(QFocusEvent *event)
{
    UserControl::focusInEvent(event);
    if (!acceptsInput())
        return;
    border_ = BorderColorFocus_;
    update();
    ForceLostFocusOthers(*this);
}

void VXBtn::focusOutEvent(QFocusEvent *event)
{
    UserControl::focusOutEvent(event);
    if (editors_->opening())
        return;
    if (editors_->ownsFocus(QApplication::focusWidget()))
        return; // the focus moves into our own editor
    focusLossHandling();
}

void VXBtn::ForceLostFocus()
{
    focusLossHandling();
}

void VXBtn::focusLossHandling()
{
    if (editors_->opening())
        return;
    if (Enabled_)
        border_ = BorderColor_;
    // An editor still open here lost its focus without a valid commit: it closes unchanged.
    if (editors_->editing() && !editors_->textBox()->hasFocus() && !editors_->refocusPending())
        cancelEdit();
    update();
}

} // namespace app::controls
