#ifndef TOOLTIPS_MBORDER_H
#define TOOLTIPS_MBORDER_H

class QPainter;

namespace tooltips {

// The raised edge around the 28 x 28 square of the tooltip control's design look.
void DrawBorder(QPainter &painter);

} // namespace tooltips

#endif
