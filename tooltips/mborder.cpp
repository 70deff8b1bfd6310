#include "tooltips/mborder.h"

#include <QColor>
#include <QPainter>

#include "platform/win/gui/qcolour.h"
#include "platform/win/syscolours.h"

namespace tooltips {

namespace {

constexpr int Side = 28;

// System colour indexes of the 3D edge.
constexpr uint32_t Light3D = 22;
constexpr uint32_t Highlight3D = 20;
constexpr uint32_t Shadow3D = 16;
constexpr uint32_t DarkShadow3D = 21;

void edgeRing(QPainter &painter, int inset, uint32_t topLeft, uint32_t bottomRight)
{
    const int last = Side - 1 - inset;
    painter.setPen(platform::win::gui::toQColor(platform::win::SystemColourFlag | topLeft));
    painter.drawLine(inset, inset, last, inset);
    painter.drawLine(inset, inset, inset, last);
    painter.setPen(platform::win::gui::toQColor(platform::win::SystemColourFlag | bottomRight));
    painter.drawLine(inset, last, last, last);
    painter.drawLine(last, inset, last, last);
}

} // namespace

void DrawBorder(QPainter &painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // A raised outer and a raised inner ring on all four sides.
    edgeRing(painter, 0, Light3D, DarkShadow3D);
    edgeRing(painter, 1, Highlight3D, Shadow3D);
    painter.restore();
}

} // namespace tooltips
