#include "app/shell/handlertrap.h"

#include <exception>

#include <QString>
#include <QtGlobal>

#include "platform/vb/vberror.h"

namespace app::shell {

namespace {

QString vbErrorText(const platform::vb::VbError &error)
{
    QString text = QStringLiteral("error ") + QString::number(error.number());
    if (!error.source().isEmpty())
        text += QStringLiteral(" in ") + error.source();
    return text + QStringLiteral(": ") + error.description();
}

QString errorText(const std::exception_ptr &error)
{
    if (!error)
        return QStringLiteral("unknown error");
    try {
        std::rethrow_exception(error);
    } catch (const platform::vb::VbError &vb) {
        return vbErrorText(vb);
    } catch (const std::exception &other) {
        return QString::fromUtf8(other.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

} // namespace

void LogSkippedHandler(QAnyStringView page, QAnyStringView handler) noexcept
{
    try {
        qWarning("%s.%s skipped: %s", qUtf8Printable(page.toString()),
                 qUtf8Printable(handler.toString()),
                 qUtf8Printable(errorText(std::current_exception())));
    } catch (...) {
        // Nothing is left to tell: the handler still leaves silently.
    }
}

} // namespace app::shell
