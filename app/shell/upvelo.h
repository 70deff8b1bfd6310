#ifndef APP_SHELL_UPVELO_H
#define APP_SHELL_UPVELO_H

#include <QString>
#include <QVariant>

namespace app::shell {

// The launch of the update utility: the product code, kept for the run, and the check.
void SetUpdateProduct(const QString &Product);
QString UpdateProduct();

// Creates the utility's update class and calls its CheckUpdate with the product code, the
// program's version and its process (standing for the main window). The result, or empty when
// nothing was called or the call failed; True means "close now so that the installer can run".
// A utility that cannot be created is reported through ShowMessage; errors of the call are not.
QVariant StartUpdate(bool &Silent);

inline const QString UpdateClassName = QStringLiteral("VXLiveUpdate.Update");

} // namespace app::shell

#endif
