#include "app/common/desktop/systemhelpers.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "app/common/desktop/desktopstate.h"
#include "app/common/globals.h"
#include "platform/win/gui/qcolour.h"

namespace app::common::desktop {

namespace {

using platform::win::OleColour;
using platform::win::gui::toQColor;

DesktopState::CommsStatus &commsStatus()
{
    return DesktopState::current().comms;
}

} // namespace

void DetectFactoryMode()
{
    const Qt::KeyboardModifiers held = QGuiApplication::instance()
                                           ? QGuiApplication::queryKeyboardModifiers()
                                           : Qt::KeyboardModifiers();
    DetectFactoryMode(held, qEnvironmentVariable("HXR_FACTORY"));
}

void DetectFactoryMode(Qt::KeyboardModifiers held, const QString &factoryVariable)
{
    const bool bothHeld = held.testFlag(Qt::ControlModifier) && held.testFlag(Qt::ShiftModifier);
    if (bothHeld || factoryVariable.trimmed() == QLatin1String("1"))
        setFactoryAccess(true);
}

void InitTwipsPerPixel()
{
    setTwipsPerPixel(15);
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

bool CopyWindowToClipboard(QWidget *window)
{
    if (!window || !QGuiApplication::clipboard())
        return false;
    const QPixmap picture = window->grab();
    if (picture.isNull())
        return false;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture.toImage());
    return true;
}

void BlendOutsideRange(const QImage &source, QImage &dest, QColor background, int32_t startX,
                       int32_t endX, uint8_t alpha)
{
    if (dest.isNull())
        return;
    dest.fill(background);
    const int width = dest.width();
    const int left = std::clamp(std::min(startX, endX), 0, width);
    const int right = std::clamp(std::max(startX, endX), 0, width);
    QPainter painter(&dest);
    painter.setOpacity(alpha / 255.0);
    const int height = std::min(dest.height(), source.height());
    if (left > 0)
        painter.drawImage(QRect(0, 0, left, height), source, QRect(0, 0, left, height));
    if (right < width)
        painter.drawImage(QRect(right, 0, width - right, height), source,
                          QRect(right, 0, width - right, height));
}

void RestorePageFocus(QWidget *page)
{
    if (!page)
        return;
    const QPointer<QWidget> remembered = page->focusWidget();
    if (QWidget *window = page->window())
        window->activateWindow();
    page->setFocus(Qt::OtherFocusReason);
    if (remembered && remembered != page && page->isAncestorOf(remembered) &&
        remembered->isEnabled() && remembered->isVisible()) {
        remembered->setFocus(Qt::OtherFocusReason);
        remembered->update();
    }
}

const TabColourProperty TabColourProperties[9] = {
    {0x6803001Bu, "BackColor", &TabColours::displayBack},
    {0x68030025u, "TabBackColor", &TabColours::displayBack},
    {0x68030026u, "PageBackColor", &TabColours::displayBack},
    {0x68030022u, "TabForeColor", &TabColours::text},
    {0x68030023u, "ActiveTabBackColor", &TabColours::fieldBack},
    {0x68030024u, "HoverTabBackColor", &TabColours::fieldBack},
    {0x68030021u, "BorderColor", &TabColours::displayBack},
    {0x6803001Eu, "ActiveTabForeColor", &TabColours::helpBack},
    {0x6803001Du, "HighlightColor", &TabColours::helpBack},
};

void ApplyTabColours(QWidget *tab, const TabColours &colours)
{
    if (!tab)
        return;
    for (const TabColourProperty &property : TabColourProperties)
        tab->setProperty(property.name, toQColor(colours.*property.role));
}

void setCommsStatusLabel(QLabel *label)
{
    commsStatus().label = label;
}

void setCommsRecoveredAction(std::function<void()> action)
{
    commsStatus().recovered = std::move(action);
}

void ReportCommsFailure(const QString &text, bool failed)
{
    QLabel *label = commsStatus().label;
    if (!label)
        return;
    const QString caption = failed ? QStringLiteral("Communications Failure: ") + text : text;
    if (label->text() == caption && label->font().bold() == failed)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     toQColor(failed ? OleColour(0x0000FF) : OleColour(0xFFFFFF)));
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(failed);
    label->setFont(font);
    label->setText(caption);
    if (!failed && commsStatus().recovered)
        commsStatus().recovered();
    label->repaint();
}

} // namespace app::common::desktop
