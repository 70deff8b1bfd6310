#include "updater/mainfrm.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/vb/convert.h"
#include "updater/netgrab.h"
#include "updater/upvelo.h"

namespace updater {

MainFrm::MainFrm(QWidget *parent) : QWidget(parent)
{
    // The caller's window cannot own this one across processes: it stays on top instead.
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::CustomizeWindowHint);
    setWindowTitle(QStringLiteral("Live Update"));
    setFixedSize(320, 96);

    label1_ = new QLabel(QStringLiteral("Live Update"), this);
    QFont bold = label1_->font();
    bold.setBold(true);
    label1_->setFont(bold);
    infoLabel_ = new QLabel(QStringLiteral("Label1"), this);
    infoLabel_->setTextFormat(Qt::PlainText);
    netGrab1_ = new NetGrab(this);
    // The control shows nothing while the window is up.
    netGrab1_->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addWidget(infoLabel_);
    layout->addStretch();

    connect(netGrab1_, &NetGrab::DownloadProgress, this, [this](int32_t nBytes) {
        // Painted with the next frame: a repaint per arriving chunk would slow the download.
        infoLabel_->setText(progressText(nBytes));
    });

    timer1_.setInterval(2000);
    timer1_.setSingleShot(true);
    connect(&timer1_, &QTimer::timeout, this, &MainFrm::onTimer1);
}

void MainFrm::showEvent(QShowEvent *event)
{
    // Without an owner window to sit on, the window stands in the middle of the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QWidget::showEvent(event);
}

void MainFrm::enableTimer1()
{
    timer1_.start();
}

QString MainFrm::progressText(int32_t nBytes)
{
    const auto kilobytes = static_cast<int64_t>(platform::vb::Int(nBytes / 1000.0));
    return QStringLiteral("Downloading update... ") + QString::number(kilobytes) +
           QStringLiteral("kb");
}

void MainFrm::onTimer1()
{
    if (installerRan_)
        return;
    installerRan_ = true;
    RunInstaller();
}

} // namespace updater
