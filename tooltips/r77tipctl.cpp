#include "tooltips/r77tipctl.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include "platform/vb/vberror.h"
#include "platform/win/gui/qcolour.h"
#include "platform/win/propertybag.h"
#include "tooltips/mborder.h"
#include "tooltips/mtipapi.h"
#include "tooltips/tiperrors.h"
#include "tooltips/tipwindow.h"

namespace tooltips {

namespace {

constexpr int32_t MinMaxWidth = 100;
constexpr int32_t MaxMaxWidth = 800;

const QString Sub = QStringLiteral("Sub");
const QString Property = QStringLiteral("Property");

QString handleKey(int32_t handle)
{
    return QStringLiteral("hWnd") + QString::number(handle);
}

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// Runs a member of the control; any error it meets is raised again as the library's component
// failure in that member.
template <typename Body>
void trappedMember(const QString &member, Body &&body)
{
    trapped(ErrTooltipFailure, LibraryName + QLatin1Char('.') + member, LibraryName, Sub, member,
            std::forward<Body>(body));
}

bool holdsOwnTipControl(const QWidget *widget)
{
    return R77TipCtl::of(widget) != nullptr;
}

// The form's controls in creation order, without entering another form.
void collectControls(const QWidget *parent, std::vector<QPointer<QWidget>> &controls)
{
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || qobject_cast<R77TipCtl *>(widget) || qobject_cast<TipWindow *>(widget))
            continue;
        if (widget->isWindow() || holdsOwnTipControl(widget))
            continue;
        controls.emplace_back(widget);
        collectControls(widget, controls);
    }
}

} // namespace

QString TipTextOf(const QString &toolTipText)
{
    QString text = trimBlanks(toolTipText);
    text.replace(QStringLiteral("**"), QStringLiteral("\r\n"));
    return text;
}

R77TipCtl::R77TipCtl(QWidget *form) : QWidget(form)
{
    trappedMember(QStringLiteral("UserControl_Initialize"), [&] {
        setFixedSize(Side, Side);
        InitProperties();
        changed_ = false;
    });
}

R77TipCtl::~R77TipCtl()
{
    try {
        Tooltips_.Clear();
        Infotips_.Clear();
    } catch (...) {
    }
}

R77TipCtl *R77TipCtl::of(const QWidget *form)
{
    return form ? form->findChild<R77TipCtl *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

// ---- Properties --------------------------------------------------------------------------------

void R77TipCtl::InitProperties()
{
    BackColor_ = TipBase::DefaultBackColor;
    ForeColor_ = TipBase::DefaultForeColor;
    Delay_ = DefaultDelay;
    Duration_ = DefaultDuration;
    Style_ = TS_Balloon;
    Icon_ = TI_NoIcon;
    Centered_ = false;
    MaxWidth_ = DefaultMaxWidth;
    UseFont_ = false;
    Font_ = parentWidget() ? parentWidget()->font() : QWidget::font();
    layOut();
}

void R77TipCtl::ReadProperties(const platform::win::PropertyBag &bag)
{
    trappedMember(QStringLiteral("UserControl_ReadProperties"), [&] {
        const QFont ambient = parentWidget() ? parentWidget()->font() : QWidget::font();
        BackColor_ = bag.readColour(QStringLiteral("BackColor"), TipBase::DefaultBackColor);
        ForeColor_ = bag.readColour(QStringLiteral("ForeColor"), TipBase::DefaultForeColor);
        Delay_ = bag.read(QStringLiteral("Delay"), DefaultDelay).toInt();
        Duration_ = bag.read(QStringLiteral("Duration"), DefaultDuration).toInt();
        Style_ = static_cast<enTipStyle>(bag.read(QStringLiteral("Style"), 1).toInt());
        Icon_ = static_cast<enTipIcon>(bag.read(QStringLiteral("Icon"), 0).toInt());
        Centered_ = bag.read(QStringLiteral("Centered"), false).toBool();
        // Stored values are taken as they are, unclamped.
        MaxWidth_ = bag.read(QStringLiteral("MaxWidth"), DefaultMaxWidth).toInt();
        UseFont_ = bag.read(QStringLiteral("UseFont"), false).toBool();
        Font_ = bag.read(QStringLiteral("Font"), ambient).value<QFont>();
        layOut();
    });
}

void R77TipCtl::WriteProperties(platform::win::PropertyBag &bag) const
{
    trappedMember(QStringLiteral("UserControl_WriteProperties"), [&] {
        const QFont ambient = parentWidget() ? parentWidget()->font() : QWidget::font();
        bag.writeColour(QStringLiteral("BackColor"), BackColor_, TipBase::DefaultBackColor);
        bag.writeColour(QStringLiteral("ForeColor"), ForeColor_, TipBase::DefaultForeColor);
        bag.write(QStringLiteral("Delay"), Delay_, DefaultDelay);
        bag.write(QStringLiteral("Duration"), Duration_, DefaultDuration);
        bag.write(QStringLiteral("Style"), static_cast<int32_t>(Style_), 1);
        bag.write(QStringLiteral("Icon"), static_cast<int32_t>(Icon_), 0);
        bag.write(QStringLiteral("Centered"), Centered_, false);
        bag.write(QStringLiteral("MaxWidth"), MaxWidth_, DefaultMaxWidth);
        bag.write(QStringLiteral("UseFont"), UseFont_, false);
        bag.write(QStringLiteral("Font"), Font_, ambient);
    });
}

void R77TipCtl::setBackColor(platform::win::OleColour value)
{
    BackColor_ = value;
    markChanged();
}

void R77TipCtl::setCentered(bool value)
{
    Centered_ = value;
    markChanged();
}

void R77TipCtl::setDelay(int32_t value)
{
    Delay_ = value;
    markChanged();
}

void R77TipCtl::setDuration(int32_t value)
{
    Duration_ = value;
    markChanged();
}

void R77TipCtl::setFont(const QFont &value)
{
    Font_ = value;
    markChanged();
}

void R77TipCtl::setForeColor(platform::win::OleColour value)
{
    ForeColor_ = value;
    markChanged();
}

void R77TipCtl::setIcon(enTipIcon value)
{
    Icon_ = value;
    markChanged();
}

void R77TipCtl::setMaxWidth(int32_t value)
{
    MaxWidth_ = std::clamp(value, MinMaxWidth, MaxMaxWidth);
    markChanged();
}

void R77TipCtl::setStyle(enTipStyle value)
{
    Style_ = value;
    markChanged();
}

void R77TipCtl::setUseFont(bool value)
{
    UseFont_ = value;
    markChanged();
}

CInfotips &R77TipCtl::Infotips()
{
    return Infotips_;
}

CToolTips &R77TipCtl::Tooltips()
{
    return Tooltips_;
}

void R77TipCtl::LoadDefaultInfotipProperties(CInfotip &Tip)
{
    trapped(ErrTooltipFailure, QStringLiteral("R77TipCtl.LoadDefaultInfotipProperties"),
            QStringLiteral("R77TipCtl"), Sub, QStringLiteral("LoadDefaultInfotipProperties"), [&] {
                Tip.setBackColor(BackColor_);
                Tip.setCentered(Centered_);
                Tip.setDuration(Duration_);
                Tip.setForeColor(ForeColor_);
                Tip.setStyle(Style_);
                Tip.setMaxWidth(MaxWidth_);
                if (UseFont_)
                    Tip.setFont(Font_);
            });
}

void R77TipCtl::LoadDefaultTooltipProperties(CTooltip &Tip)
{
    trapped(ErrTooltipFailure, QStringLiteral("R77TipCtl.LoadDefaultTooltipProperties"),
            QStringLiteral("R77TipCtl"), Sub, QStringLiteral("LoadDefaultTooltipProperties"), [&] {
                Tip.setBackColor(BackColor_);
                Tip.setCentered(Centered_);
                Tip.setDelay(Delay_);
                Tip.setDuration(Duration_);
                Tip.setForeColor(ForeColor_);
                Tip.setIcon(Icon_);
                Tip.setStyle(Style_);
                Tip.setMaxWidth(MaxWidth_);
                if (UseFont_)
                    Tip.setFont(Font_);
            });
}

// ---- Tooltips ----------------------------------------------------------------------------------

bool R77TipCtl::makeTooltip(int32_t handle, const QString &text, const QString &DefaultTitle)
{
    bool cancel = false;
    emit BeforeLoadTooltip(handle, cancel);
    if (cancel)
        return false;
    auto tip = std::make_shared<CTooltip>();
    LoadDefaultTooltipProperties(*tip);
    tip->Init(handle, text, DefaultTitle, Icon_);
    tip->setAutoCreated(true);
    emit BeforeCreateTooltip(*tip);
    Tooltips_.Add(tip, handleKey(handle));
    return true;
}

void R77TipCtl::LoadTooltips(const QString &DefaultTitle)
{
    trappedMember(QStringLiteral("LoadTooltips"), [&] {
        UnloadTooltips();
        Tooltips_.Clear();
        std::vector<QPointer<QWidget>> controls;
        if (parentWidget())
            collectControls(parentWidget(), controls);
        for (const QPointer<QWidget> &control : controls) {
            if (!control)
                continue;
            const QString text = TipTextOf(control->toolTip());
            const int32_t handle = WindowHandle(control);
            if (text.isEmpty() || handle == 0)
                continue;
            // The plain tooltip goes only once its replacement exists: a failure before
            // leaves the control its own text.
            if (makeTooltip(handle, text, DefaultTitle) && control)
                control->setToolTip(QString());
        }
    });
}

void R77TipCtl::UnloadTooltips()
{
    trappedMember(QStringLiteral("UnloadTooltips"), [&] {
        std::vector<QPointer<QWidget>> controls;
        if (parentWidget())
            collectControls(parentWidget(), controls);
        for (const QPointer<QWidget> &control : controls) {
            if (!control)
                continue;
            const int32_t handle = WindowHandle(control);
            const auto tip = handle != 0 ? Tooltips_.ItemByControlhWnd(handle) : nullptr;
            if (!tip || !tip->AutoCreated())
                continue;
            try {
                control->setToolTip(tip->TipText());
            } catch (...) {
            }
            Tooltips_.Remove(handleKey(handle));
        }
    });
}

void R77TipCtl::AddTooltip(int32_t CtrlHwnd, const QString &ToolTipText,
                           const QString &DefaultTitle)
{
    UnloadTooltips();
    Tooltips_.Clear();
    try {
        const QString text = TipTextOf(ToolTipText);
        if (!text.isEmpty() && CtrlHwnd != 0)
            makeTooltip(CtrlHwnd, text, DefaultTitle);
    } catch (...) {
    }
}

void R77TipCtl::RemoveTooltip(int32_t CtrlHwnd)
{
    try {
        if (CtrlHwnd != 0 && Tooltips_.Exists(handleKey(CtrlHwnd)))
            Tooltips_.Remove(handleKey(CtrlHwnd));
    } catch (...) {
    }
}

void R77TipCtl::RemoveAllTooltips(int32_t)
{
    try {
        for (int i = Tooltips_.Count(); i >= 1; --i)
            Tooltips_.Remove(i);
    } catch (...) {
    }
}

void R77TipCtl::SetToolTipText(int32_t CtrlHwnd, const QString &ToolTipText)
{
    const auto tip = Tooltips_.Item(handleKey(CtrlHwnd));
    if (!tip)
        throw platform::vb::VbError(platform::vb::VbError::ObjectNotSet, LibraryName,
                                    QStringLiteral("Object variable or With block variable not "
                                                   "set"));
    if (tip->TipText() != ToolTipText)
        tip->setTipText(ToolTipText);
}

// ---- Look --------------------------------------------------------------------------------------

void R77TipCtl::setUserMode(bool userMode)
{
    userMode_ = userMode;
    layOut();
}

void R77TipCtl::layOut()
{
    setFixedSize(Side, Side);
    setVisible(!userMode_);
    update();
}

QImage R77TipCtl::toolboxBitmap()
{
    QImage image(Side, Side, QImage::Format_RGB32);
    image.fill(platform::win::gui::toQColor(platform::win::SystemColourFlag | 15u));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // A small yellow balloon with its stem and three lines of text.
    QPainterPath balloon;
    balloon.addRoundedRect(QRectF(4, 5, 20, 13), 4, 4);
    QPolygonF stem;
    stem << QPointF(8, 17) << QPointF(7, 23) << QPointF(13, 17);
    balloon.addPolygon(stem);
    balloon = balloon.simplified();
    painter.fillPath(balloon, QColor(255, 255, 225));
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.drawPath(balloon);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(0, 0, 128));
    painter.drawLine(8, 9, 19, 9);
    painter.drawLine(8, 12, 17, 12);
    painter.drawLine(8, 15, 14, 15);
    return image;
}

void R77TipCtl::paintEvent(QPaintEvent *)
{
    if (userMode_)
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, toolboxBitmap());
    DrawBorder(painter);
}

} // namespace tooltips
