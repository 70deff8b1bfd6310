// Draws the tooltip styles, the knob in each size class and the line diagram in both kinds into
// one picture, to look at: hxr-gallery OUT.png

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "app/controls/knob.h"
#include "app/controls/linechart.h"
#include "app/controls/picturebox.h"
#include "tooltips/cinfotip.h"
#include "tooltips/mtipapi.h"
#include "tooltips/tipwindow.h"

namespace {

struct TipSample
{
    tooltips::enTipStyle style;
    tooltips::enTipIcon icon;
    const char *title;
    const char *text;
    int maxWidth;
};

QImage tipPicture(QWidget &anchor, const TipSample &sample)
{
    tooltips::CInfotip tip;
    tip.Init(tooltips::WindowHandle(&anchor), QString::fromUtf8(sample.text),
             QString::fromUtf8(sample.title), sample.icon);
    tip.setStyle(sample.style);
    tip.setMaxWidth(sample.maxWidth);
    tip.setDuration(60000);
    tip.Create();
    tip.Show();
    return tip.window()->grab().toImage();
}

void label(QPainter &painter, int x, int y, const QString &text)
{
    painter.setPen(Qt::black);
    painter.drawText(x, y, text);
}

// A row of tips, wrapped at the picture's width; returns the y below it.
int drawTips(QPainter &painter, int pictureWidth)
{
    QWidget anchor;
    anchor.setGeometry(200, 200, 101, 31);
    anchor.show();
    const std::vector<TipSample> tips = {
        {tooltips::TS_Balloon, tooltips::TI_NoIcon, "", "A balloon without a title", 300},
        {tooltips::TS_Balloon, tooltips::TI_IconInfo, "Last Toolkit Calibration Date",
         "Holds the last date that calibration was changed from the Toolkit.", 300},
        {tooltips::TS_Balloon, tooltips::TI_IconWarning, "Warning",
         "A long text wraps at the maximum width of the tip, here one hundred and fifty pixels, "
         "and keeps & as it is.",
         150},
        {tooltips::TS_Standard, tooltips::TI_IconError, "Error",
         "A rectangle with a title\r\n"
         "and a second line",
         300},
        {tooltips::TS_Standard, tooltips::TI_NoIcon, "", "A plain rectangle", 300},
    };
    label(painter, 16, 20,
          QStringLiteral("Tooltips: balloon and rectangle, icons, title, wrapping"));
    int x = 16;
    int y = 32;
    int rowHeight = 0;
    for (const TipSample &sample : tips) {
        const QImage picture = tipPicture(anchor, sample);
        if (x + picture.width() > pictureWidth - 16) {
            x = 16;
            y += rowHeight + 12;
            rowHeight = 0;
        }
        painter.drawImage(x, y, picture);
        x += picture.width() + 16;
        rowHeight = std::max(rowHeight, picture.height());
    }
    return y + rowHeight;
}

// The knob in each size class, in one row at y.
void drawKnobs(QPainter &painter, int y)
{
    label(painter, 16, y - 8,
          QStringLiteral("Knob: size classes 0 to 4 (heights 33, 34, 42, 50, 58)"));
    int x = 16;
    for (int height : {33, 34, 42, 50, 58}) {
        app::controls::Knob knob;
        knob.resize(std::max(height, 70), height);
        knob.show();
        knob.setBackColor(0x404040);
        knob.setKnobColor(0x909090);
        knob.setOutlineColor(0xE0E0E0);
        knob.setInnerColor(0x303030);
        knob.setMarkColor(0x00C0FF);
        knob.setMarksColor(0xFFFFFF);
        knob.setLabelLeft(QStringLiteral("0"));
        knob.setLabelRight(QStringLiteral("100"));
        knob.setPercent(35);
        painter.drawImage(x, y, knob.grab().toImage());
        x += knob.width() + 20;
    }
}

// The line diagram in both kinds, one below the other from y.
void drawLineCharts(QPainter &painter, int y)
{
    for (int type : {0, 1}) {
        label(painter, 16, y - 8,
              type == 0 ? QStringLiteral("Line diagram: lines, moving grid")
                        : QStringLiteral("Line diagram: dots, fixed grid"));
        app::controls::PictureBox box;
        box.resize(940, 150);
        app::controls::LineChart chart;
        chart.setMax(100);
        chart.setHorzSplits(4);
        chart.setVertSplits(9);
        chart.setDiagramType(type);
        chart.InitDiagram(box, type == 0 ? 0x00FFFF : 0x40FF40, true, std::nullopt, std::nullopt,
                          type == 0);
        for (int i = 0; i < 700; ++i)
            chart.AddPoint(50.0f + 35.0f * std::sin(i * 0.04f) + (i % 17) * 0.6f);
        chart.RePaint();
        painter.drawImage(16, y, box.image());
        y += 150 + 30;
    }
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery.png");

    QImage gallery(980, 760, QImage::Format_RGB32);
    gallery.fill(QColor(236, 236, 236));
    QPainter painter(&gallery);
    const int knobsY = drawTips(painter, gallery.width()) + 40;
    drawKnobs(painter, knobsY);
    drawLineCharts(painter, knobsY + 90);
    painter.end();
    return gallery.save(out) ? 0 : 1;
}
