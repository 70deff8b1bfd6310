#include "app/shell/menucontrol.h"

#include <cmath>

#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include "app/shell/childcontrol.h"
#include "app/shell/shellstate.h"

namespace app::shell {

namespace {

using Menu = ShellState::Menu;

Menu &menu()
{
    return ShellState::current().menu;
}

int pixelsFromTwips(int twips)
{
    return static_cast<int>(std::nearbyint(twips / 15.0));
}

QString withLineBreaks(QString text)
{
    return text.replace(QLatin1Char('*'), QStringLiteral("\r\n"));
}

} // namespace

void SetHelpArea(const HelpArea &area)
{
    Menu &m = menu();
    m.mainFrame = area.mainFrame;
    m.mainHelp = area.mainHelp;
    m.help = area.help;
    m.extraInfo = area.extraInfo;
}

void OpenPage(ChildFormClass *page)
{
    Menu &m = menu();
    if (m.mainFrame)
        m.mainFrame->hide();
    ShowPage(page);
    if (m.help)
        m.help->setPlainText(withLineBreaks(CurrentPageHelpText()));
    ActivateCurrentPage();
    if (m.mainFrame)
        m.mainFrame->show();
    FocusCurrentPage();
    HideExtraInfo();
}

void ShowExtraInfo(const QString &templateText, int heightTwips)
{
    Menu &m = menu();
    m.extraTemplate = withLineBreaks(templateText);
    if (!m.extraInfo)
        return;
    m.extraInfo->clear();
    const int height = pixelsFromTwips(heightTwips);
    m.extraInfo->setFixedHeight(height);
    if (m.mainHelp)
        m.extraInfo->move(m.extraInfo->x(), m.mainHelp->height() - height);
    m.extraInfo->show();
    m.extraInfo->raise();
}

void FillExtraInfo(const QStringList &values)
{
    Menu &m = menu();
    QString text = m.extraTemplate;
    for (int i = 0; i < values.size() && i < 6; ++i)
        text.replace(QStringLiteral("#%1").arg(i + 1), values[i]);
    if (m.extraInfo) {
        m.extraInfo->setPlainText(text);
        m.extraInfo->show();
        m.extraInfo->raise();
    }
}

void HideExtraInfo()
{
    if (QPlainTextEdit *box = menu().extraInfo)
        box->hide();
}

QString ExtraInfoText()
{
    const auto &m = menu();
    return m.extraInfo ? m.extraInfo->toPlainText() : QString();
}

} // namespace app::shell
