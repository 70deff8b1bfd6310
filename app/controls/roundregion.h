#ifndef APP_CONTROLS_ROUNDREGION_H
#define APP_CONTROLS_ROUNDREGION_H

#include <QRegion>

namespace app::controls {

// A rounded-rectangle region from (0, 0) to (width, height) in pixels, right and bottom edges
// excluded (it covers columns 0 .. width - 1 and rows 0 .. height - 1), whose corners are
// quarters of an ellipse ellipseWidth by ellipseHeight pixels. Built row by row, so the corner
// steps are the same on every platform. An ellipse of 0 gives the plain rectangle.
QRegion roundRectRegion(int width, int height, int ellipseWidth, int ellipseHeight);

} // namespace app::controls

#endif
