#include "app/shell/upvelo.h"

#include <memory>

#include <QCoreApplication>
#include <QJsonArray>

#include "app/common/desktop/messages.h"
#include "app/shell/handlertrap.h"
#include "app/shell/shellstate.h"
#include "platform/com/automationobject.h"
#include "platform/com/comerrors.h"
#include "platform/vb/vberror.h"

namespace app::shell {

namespace {

QString &product()
{
    return ShellState::current().updateProduct;
}

void reportCreationError(const platform::vb::VbError &error)
{
    namespace desktop = app::common::desktop;
    const QString crLf = QStringLiteral("\r\n");
    if (error.number() == platform::com::ElevationRequired)
        desktop::ShowMessage(
            QStringLiteral("Updating this program with files downloaded from the Internet requires "
                           "elevated privileges!") +
                crLf +
                QStringLiteral("You need to run the program with Administrative rights or contact "
                               "your network administrator."),
            QStringLiteral("Error - Requires Elevated Privileges"), true, desktop::MessageOk);
    else
        desktop::ShowMessage(QStringLiteral("Cannot launch update component!") + crLf +
                                 QStringLiteral("Error: ") + error.description(),
                             QStringLiteral("Error"), true, desktop::MessageOk);
}

} // namespace

void SetUpdateProduct(const QString &Product)
{
    product() = Product;
}

QString UpdateProduct()
{
    return product();
}

QVariant StartUpdate(bool &Silent)
{
    if (product().isEmpty())
        return {};
    std::unique_ptr<platform::com::AutomationObject> update;
    try {
        update = platform::com::CreateObject(UpdateClassName);
    } catch (const platform::vb::VbError &error) {
        try {
            reportCreationError(error);
        } catch (...) {
            // The message is all there is to do.
            LogSkippedHandler("Upvelo", "StartUpdate");
        }
        return {};
    } catch (...) {
        LogSkippedHandler("Upvelo", "StartUpdate");
        return {};
    }
    try {
        const QJsonArray arguments{product(), HXR_VERSION_MAJOR, HXR_VERSION_MINOR,
                                   HXR_VERSION_PATCH,
                                   static_cast<qint64>(QCoreApplication::applicationPid()), Silent};
        return update->call(QStringLiteral("CheckUpdate"), arguments).toVariant();
    } catch (...) {
        // The utility's own errors are its own business: the program goes on.
        LogSkippedHandler("Upvelo", "StartUpdate");
        return {};
    }
}

} // namespace app::shell
