#include "app/shell/device.h"

#include "platform/vb/vberror.h"

namespace app::shell {

namespace {

QString item(const QStringList &items, int index, const char *what)
{
    if (index < 1 || index > items.size())
        throw platform::vb::VbError(9, QString::fromLatin1(what),
                                    QStringLiteral("Subscript out of range: %1").arg(index));
    return items[index - 1];
}

} // namespace

QString Device::ButtonImage(int index) const
{
    return item(ButtonImageCollection, index, "ButtonImage");
}

QString Device::ButtonToolTip(int index) const
{
    return item(ButtonTooltipCollection, index, "ButtonToolTip");
}

QString Device::Form(int index) const
{
    return item(FormCollection, index, "FormCollection");
}

void Device::addButton(const QString &glyph, const QString &formName, const QString &tooltip)
{
    ButtonImageCollection << glyph;
    FormCollection << formName;
    ButtonTooltipCollection << tooltip;
}

} // namespace app::shell
