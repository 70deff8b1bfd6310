#include "app/shell/mainfrmui.h"

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWidget>

#include "app/controls/buttonbar.h"
#include "app/controls/vxbtn.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/childcontrol.h"
#include "app/shell/panel.h"
#include "app/shell/styletemplates.h"
#include "platform/win/gui/qcolour.h"

namespace app::shell {

namespace {

using app::controls::VXBtn;
using platform::win::OleColour;

// Geometry in pixels.
constexpr int Margin = 12;
constexpr int HeaderHeight = 70;
constexpr int HelpWidth = 250;
constexpr int InfoHeight = 28;

QColor qc(OleColour colour)
{
    return platform::win::gui::toQColor(colour);
}

void setLabelColours(QLabel *label, OleColour fore)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, qc(fore));
    label->setPalette(pal);
}

void setTextBoxColours(QPlainTextEdit *box, OleColour back, OleColour fore)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, qc(back));
    pal.setColor(QPalette::Window, qc(back));
    pal.setColor(QPalette::Text, qc(fore));
    box->setPalette(pal);
}

QPlainTextEdit *makeTextBox(QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setFrameShape(QFrame::NoFrame);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFocusPolicy(Qt::NoFocus);
    box->setContextMenuPolicy(Qt::NoContextMenu);
    box->viewport()->setCursor(Qt::ArrowCursor);
    QFont f = box->font();
    f.setPointSizeF(9.5);
    box->setFont(f);
    return box;
}

} // namespace

void MainFrmUi::setupUi(QWidget *window)
{
    frameExt = new Panel(window, 12);
    themes = new Panel(window, 12);
    buttonBar = new app::controls::ButtonBar(themes);

    smallLogo = new QLabel(window);
    titleLabel = new QLabel(DesignTitle, window);
    QFont titleFont = titleLabel->font();
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    versionLabel = new QLabel(window);
    QFont small = versionLabel->font();
    small.setPixelSize(11);
    versionLabel->setFont(small);

    auto windowButton = [window](const QString &caption) {
        auto *b = new VXBtn(window);
        b->setStyle(styles::FrmButton);
        QFont f = b->Font();
        f.setPointSizeF(11.0);
        f.setBold(true);
        b->setFont(f);
        b->setCaption(caption);
        return b;
    };
    buttonHelp = windowButton(QStringLiteral("?"));
    buttonMin = windowButton(QString(QChar(0x2013)));
    buttonClose = windowButton(QString(QChar(0x00D7)));

    mainHelp = new Panel(window, 12);
    helpTitleLabel = new QLabel(QStringLiteral("Help"), mainHelp);
    QFont helpTitleFont = helpTitleLabel->font();
    helpTitleFont.setPixelSize(15);
    helpTitleFont.setBold(true);
    helpTitleLabel->setFont(helpTitleFont);
    help = makeTextBox(mainHelp);
    iconHelp = makeTextBox(mainHelp);
    iconHelp->hide();
    extraInfo = makeTextBox(mainHelp);
    extraInfo->hide();

    mainFrame = new Panel(window, 12);
    mainFrame->setObjectName(QStringLiteral("MainFrame"));
    logoFrame = new Panel(window, 12);
    logoFrame->setObjectName(QStringLiteral("LogoFrame"));
    largeLogo = new QLabel(logoFrame);

    infoFrame = new Panel(window, 7);
    infoLabel = new QLabel(infoFrame);
    QFont infoFont = infoLabel->font();
    infoFont.setPixelSize(12);
    infoLabel->setFont(infoFont);
    // The status line's buttons: the program's button look with a caption of the line's size.
    auto statusButton = [this](const QString &caption) {
        auto *b = new VXBtn(infoFrame);
        b->setStyle(styles::Button);
        b->setCaption(caption);
        QFont f = b->Font();
        f.setPointSizeF(9.0);
        b->setFont(f);
        return b;
    };
    btnErrorReset = statusButton(QStringLiteral("Reset"));
    btnErrorReset->setEnabled(false);
    comms = new Panel(infoFrame);
    comms->setRound(true);
    comms->hide();
    recordLed = new Panel(infoFrame);
    recordLed->setRound(true);
    recordLed->setBackColor(0x000040);
    recordMsg = statusButton(QString());
    recordCapture = statusButton(QStringLiteral("Capture"));
    resetCapture = statusButton(QStringLiteral("Clear"));
    recordBlanker = new Panel(infoFrame, 7);

    mnuHelp = new QMenu(window);
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    standardHelp = mnuHelp->addAction(QStringLiteral("Standard Help"));
    advancedHelp = mnuHelp->addAction(QStringLiteral("Advanced / OEM Help"));
}

void MainFrmUi::layOut(int w, int h)
{
    frameExt->setGeometry(Margin / 2, Margin / 2, w - Margin, HeaderHeight - Margin / 2);
    smallLogo->setGeometry(Margin + 6, 13, 40, 40);
    titleLabel->setGeometry(Margin + 58, 10, 360, 28);
    versionLabel->setGeometry(Margin + 60, 38, 360, 18);

    const int windowButtonsLeft = w - Margin - 3 * 30 - 2 * 4;
    buttonHelp->setGeometry(windowButtonsLeft, 21, 30, 26);
    buttonMin->setGeometry(windowButtonsLeft + 34, 21, 30, 26);
    buttonClose->setGeometry(windowButtonsLeft + 68, 21, 30, 26);
    // The button bar grows to the left from its right edge, inside its themed panel.
    const int barWidth = buttonBar->width();
    themes->setGeometry(windowButtonsLeft - 12 - barWidth - 8, 8, barWidth + 8, 54);
    buttonBar->setGeometry(4, 3, barWidth, 48);
    fitTitleBesideButtons();

    const int bodyTop = HeaderHeight + 8;
    const int bodyBottom = h - Margin - InfoHeight - 8;
    mainHelp->setGeometry(Margin, bodyTop, HelpWidth, bodyBottom - bodyTop);
    helpTitleLabel->setGeometry(14, 10, HelpWidth - 28, 22);
    help->setGeometry(10, 38, HelpWidth - 20, mainHelp->height() - 48);
    iconHelp->setGeometry(help->geometry());
    extraInfo->setGeometry(8, mainHelp->height() - 120, HelpWidth - 16, 112);

    const int right = Margin + HelpWidth + Margin;
    mainFrame->setGeometry(right, bodyTop, w - right - Margin, bodyBottom - bodyTop);
    logoFrame->setGeometry(right, bodyBottom - 70, w - right - Margin, 70);
    arrangeLogoFrame();

    infoFrame->setGeometry(Margin, h - Margin - InfoHeight, w - 2 * Margin, InfoHeight);
    const int iw = infoFrame->width();
    infoLabel->setGeometry(12, 4, 430, 20);
    btnErrorReset->setGeometry(450, 3, 96, 22);
    comms->setGeometry(556, 9, 10, 10);
    recordLed->setGeometry(iw - 392, 9, 10, 10);
    recordMsg->setGeometry(iw - 376, 3, 180, 22);
    recordCapture->setGeometry(iw - 190, 3, 88, 22);
    resetCapture->setGeometry(iw - 96, 3, 88, 22);
    recordBlanker->setGeometry(iw - 400, 1, 400, InfoHeight - 2);
    recordBlanker->raise();
}

void MainFrmUi::fitTitleBesideButtons()
{
    const int textWidth = std::clamp(themes->x() - 8 - titleLabel->x(), 0, 360);
    titleLabel->resize(textWidth, titleLabel->height());
    versionLabel->resize(textWidth, versionLabel->height());
}

void MainFrmUi::arrangeLogoFrame()
{
    // The formulas are in twips: 160 twips of frame around the logo, 80 above it; the frame
    // lies over as much of the page container's bottom.
    const int pad = static_cast<int>(std::nearbyint(CoveredContainerBottomTwips / 15.0));
    const int logoHeight = largeLogo->pixmap().isNull() ? 56 : largeLogo->pixmap().height();
    logoFrame->resize(logoFrame->width(), logoHeight + pad);
    largeLogo->move(logoFrame->width() - largeLogo->width() - 14,
                    static_cast<int>(std::nearbyint(80 / 15.0)));
    logoFrame->move(logoFrame->x(), mainHelp->y() + mainHelp->height() - logoFrame->height());
    mainFrame->resize(mainFrame->width(), logoFrame->y() - mainFrame->y() + pad);
    logoFrame->raise();
}

void MainFrmUi::applyBranding(const Branding &b)
{
    auto c = [&b](BrandColour which) { return b.colour(which); };
    using BC = BrandColour;
    for (Panel *p : {mainFrame, themes})
        p->setBackColor(c(BC::DisplayBack));
    // Framing panels of the design follow the branding's surfaces.
    frameExt->setBackColor(c(BC::Back));
    logoFrame->setBackColor(c(BC::DisplayBack));
    infoFrame->setBackColor(c(BC::DisplayBack));
    recordBlanker->setBackColor(c(BC::DisplayBack));
    comms->setBackColor(c(BC::Live));
    buttonBar->setMenuBackcolor(c(BC::DisplayBack));
    setLabelColours(infoLabel, c(BC::Title));
    setLabelColours(titleLabel, c(BC::Title));
    titleLabel->setText(b.LongName);
    setLabelColours(versionLabel, c(BC::Text));
    mainHelp->setBackColor(c(BC::HelpBack));
    setTextBoxColours(help, c(BC::HelpBack), c(BC::HelpFore));
    setTextBoxColours(iconHelp, c(BC::HelpBack), c(BC::HelpFore));
    setTextBoxColours(extraInfo, c(BC::LiftoutBack), c(BC::LiftoutFore));
    setLabelColours(helpTitleLabel, c(BC::HelpFore));
    buttonBar->setMenuForecolor(c(BC::MenuFore));
    buttonBar->setMenuForecolorHover(c(BC::MenuHover));
    buttonBar->setMenuForecolorDown(c(BC::MenuDown));
    buttonBar->setMenuForecolorDisabled(c(BC::MenuDisabled));
    buttonBar->setMenuFocusColour(c(BC::BorderFocus));
    // The help menu in the display colours rather than the desktop's light ones.
    QPalette menu = mnuHelp->palette();
    menu.setColor(QPalette::Window, qc(c(BC::DisplayBack)));
    menu.setColor(QPalette::Base, qc(c(BC::DisplayBack)));
    menu.setColor(QPalette::WindowText, qc(c(BC::Text)));
    menu.setColor(QPalette::Text, qc(c(BC::Text)));
    menu.setColor(QPalette::ButtonText, qc(c(BC::Text)));
    // The item the keys are on stands out from the menu as a focus ring does.
    menu.setColor(QPalette::Highlight, qc(c(BC::ButtonBackDown)));
    menu.setColor(QPalette::HighlightedText, qc(c(BC::ButtonForeHover)));
    mnuHelp->setPalette(menu);

    smallLogo->setPixmap(QPixmap::fromImage(b.LogoSmall));
    largeLogo->setPixmap(QPixmap::fromImage(b.Logo));
    largeLogo->resize(largeLogo->pixmap().isNull() ? QSize(180, 56) : largeLogo->pixmap().size());
    arrangeLogoFrame();
}

void MainFrmUi::roundCorners()
{
    mainFrame->setCorner(12);
    mainHelp->setCorner(12);
    frameExt->setCorner(12);
    infoFrame->setCorner(7);
    logoFrame->setCorner(12);
    themes->setCorner(12);
}

} // namespace app::shell
