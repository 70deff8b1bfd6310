// Draws the toolkit's own logos and icon. Run once by hand when the artwork changes:
//   hxr-brandart <resources folder>
// writes branding/logo.png, branding/logo-small.png and icons/hxr-toolkit-<size>.png.

#include <cstdio>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Accent(0x2F, 0xA8, 0xE0);
const QColor AccentLight(0x8E, 0xD8, 0xF8);
const QColor Ink(0xEE, 0xF3, 0xF7);
const QColor Badge(0x1B, 0x2A, 0x38);

// A strain gauge's serpentine grid inside a rounded badge.
void drawBadge(QPainter &p, const QRectF &r)
{
    const qreal radius = r.width() * 0.2;
    QLinearGradient fill(r.topLeft(), r.bottomRight());
    fill.setColorAt(0, Badge.lighter(135));
    fill.setColorAt(1, Badge);
    p.setPen(QPen(Accent, r.width() * 0.045));
    p.setBrush(fill);
    p.drawRoundedRect(
        r.adjusted(r.width() * 0.03, r.width() * 0.03, -r.width() * 0.03, -r.width() * 0.03),
        radius, radius);

    const int loops = 4;
    const qreal left = r.left() + r.width() * 0.22;
    const qreal right = r.right() - r.width() * 0.22;
    const qreal top = r.top() + r.height() * 0.24;
    const qreal bottom = r.bottom() - r.height() * 0.30;
    const qreal step = (right - left) / (loops * 2 - 1);
    QPainterPath grid;
    grid.moveTo(left, bottom + r.height() * 0.1);
    for (int i = 0; i < loops * 2; ++i) {
        const qreal x = left + i * step;
        const bool up = i % 2 == 0;
        grid.lineTo(x, up ? top : bottom);
        if (i + 1 < loops * 2)
            grid.lineTo(x + step, up ? top : bottom);
    }
    grid.lineTo(right, bottom + r.height() * 0.1);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(AccentLight, r.width() * 0.06, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(grid);
    // The solder tabs.
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    const qreal tab = r.width() * 0.1;
    p.drawEllipse(QPointF(left, bottom + r.height() * 0.1), tab / 2, tab / 2);
    p.drawEllipse(QPointF(right, bottom + r.height() * 0.1), tab / 2, tab / 2);
}

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

bool save(const QImage &image, const QString &path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: hxr-brandart <resources folder>\n");
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    resources.mkpath(QStringLiteral("branding"));
    resources.mkpath(QStringLiteral("icons"));
    bool ok = true;

    // The large logo: badge and word mark, 180 x 56.
    {
        QImage image = canvas(180, 56);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawBadge(p, QRectF(2, 2, 52, 52));
        QFont mark(QStringLiteral("DejaVu Sans"));
        mark.setPixelSize(27);
        mark.setBold(true);
        p.setFont(mark);
        p.setPen(Ink);
        p.drawText(QRectF(64, 2, 116, 32), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("HXR"));
        QFont sub(QStringLiteral("DejaVu Sans"));
        sub.setPixelSize(12);
        sub.setLetterSpacing(QFont::AbsoluteSpacing, 3.2);
        p.setFont(sub);
        p.setPen(Accent);
        p.drawText(QRectF(65, 35, 116, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("TOOLKIT"));
        p.end();
        ok = save(image, resources.filePath(QStringLiteral("branding/logo.png"))) && ok;
    }
    // The small logo: the badge alone.
    {
        QImage image = canvas(40, 40);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawBadge(p, QRectF(1, 1, 38, 38));
        p.end();
        ok = save(image, resources.filePath(QStringLiteral("branding/logo-small.png"))) && ok;
    }
    for (int size : {16, 32, 48, 256}) {
        QImage image = canvas(size, size);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawBadge(p, QRectF(0, 0, size, size));
        p.end();
        ok =
            save(image, resources.filePath(QStringLiteral("icons/hxr-toolkit-%1.png").arg(size))) &&
            ok;
    }
    return ok ? 0 : 1;
}
