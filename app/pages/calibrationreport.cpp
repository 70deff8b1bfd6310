#include "app/pages/calibrationreport.h"

#include "app/common/desktop/messages.h"

namespace app::pages {

namespace {

void alert(const QString &text, const QString &title)
{
    app::common::desktop::ShowMessage(text, title, true, app::common::desktop::MessageOk);
}

} // namespace

void ReportInvalidPoints(const QString &text)
{
    alert(text, QStringLiteral("Invalid Calibration Points"));
}

void ReportPointsNotAscending()
{
    ReportInvalidPoints(
        QStringLiteral("The values you have entered for each point are not ascending!"));
}

void ReportReadFailure()
{
    alert(QStringLiteral("An error occurred reading the value from the module!"),
          QStringLiteral("Communication Error"));
}

void ReportInputNotAbove()
{
    alert(QStringLiteral("The input value at this point was equal to or lower than the input "
                         "value at the previous point!"),
          QStringLiteral("Invalid Calibration Value"));
}

void ReportCalibration(bool failed)
{
    const QString title = QStringLiteral("Calibration");
    if (failed)
        alert(QStringLiteral("Calibration has been completed but errors have occurred.\r\n"
                             "It is recommended that calibration is retried."),
              title);
    else
        app::common::desktop::ShowMessage(QStringLiteral("Calibration has been completed."), title,
                                          false, app::common::desktop::MessageOk);
}

} // namespace app::pages
