#include "updater/update.h"

#include "platform/vb/convert.h"
#include "platform/vb/vberror.h"
#include "updater/upvelo.h"

namespace updater {

namespace {

const QString Source = QStringLiteral("VXLiveUpdate.Update");

[[noreturn]] void typeMismatch()
{
    throw platform::vb::VbError(platform::vb::VbError::TypeMismatch, Source,
                                QStringLiteral("Type mismatch"));
}

double numberArgument(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? -1.0 : 0.0;
    if (!value.isDouble())
        typeMismatch();
    return value.toDouble();
}

} // namespace

bool Update::CheckUpdate(QString &Product, int16_t &Major, int16_t &Minor, int16_t &Revision,
                         int32_t &hwnd, bool &Silent)
{
    return CheckUpdateBody(Product, Major, Minor, Revision, hwnd, Silent);
}

QJsonValue Update::invoke(const QString &member, const QJsonArray &arguments, pid_t callerPid)
{
    if (member != QLatin1String("CheckUpdate"))
        throw platform::vb::VbError(438, Source,
                                    QStringLiteral("Object doesn't support this property or "
                                                   "method"));
    if (arguments.size() != 6)
        throw platform::vb::VbError(450, Source,
                                    QStringLiteral("Wrong number of arguments or invalid property "
                                                   "assignment"));
    if (!arguments.at(0).isString())
        typeMismatch();
    QString product = arguments.at(0).toString();
    int16_t major = platform::vb::CInt(numberArgument(arguments.at(1)));
    int16_t minor = platform::vb::CInt(numberArgument(arguments.at(2)));
    int16_t revision = platform::vb::CInt(numberArgument(arguments.at(3)));
    int32_t hwnd = platform::vb::CLng(numberArgument(arguments.at(4)));
    bool silent = numberArgument(arguments.at(5)) != 0.0;
    // The process to wait for must be the one that asks.
    if (callerPid <= 0 || hwnd != callerPid)
        throw platform::vb::VbError(platform::vb::VbError::InvalidCall, Source,
                                    QStringLiteral("The caller's process is not the one named"));
    return CheckUpdate(product, major, minor, revision, hwnd, silent);
}

} // namespace updater
