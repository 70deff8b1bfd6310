#ifndef APP_PAGES_CALIBRATIONREPORT_H
#define APP_PAGES_CALIBRATIONREPORT_H

#include <QString>

namespace app::pages {

// The messages of the two-point calibrations (the user's and the factory's).

// "Invalid Calibration Points": the entered points are refused before the module is touched.
void ReportInvalidPoints(const QString &text);
// The points' values are not ascending.
void ReportPointsNotAscending();
// Reading the input failed.
void ReportReadFailure();
// The input at point 2 is not above that at point 1.
void ReportInputNotAbove();
// The end of a calibration, "with errors" when any write failed.
void ReportCalibration(bool failed);

} // namespace app::pages

#endif
