#include "app/common/globals.h"

#include "app/common/commonstate.h"

namespace app::common {

namespace {

CommonState::Globals &globals()
{
    return CommonState::current().globals;
}

} // namespace

bool FactoryAccess()
{
    return globals().factoryAccess;
}
void setFactoryAccess(bool on)
{
    globals().factoryAccess = on;
}

bool MessageCancelled()
{
    return globals().messageCancelled;
}
void setMessageCancelled(bool cancelled)
{
    globals().messageCancelled = cancelled;
}

int16_t TwipsPerPixel()
{
    return globals().twipsPerPixel;
}
void setTwipsPerPixel(int16_t twips)
{
    globals().twipsPerPixel = twips;
}

QString DisplayFormat()
{
    return globals().displayFormat;
}
void setDisplayFormat(const QString &format)
{
    globals().displayFormat = format;
}

QString DecimalSeparator()
{
    return globals().decimalSeparator;
}
void setDecimalSeparator(const QString &separator)
{
    globals().decimalSeparator = separator;
}
QString ThousandsSeparator()
{
    return globals().thousandsSeparator;
}
void setThousandsSeparator(const QString &separator)
{
    globals().thousandsSeparator = separator;
}

platform::vb::NumberSeparators ProgramSeparators()
{
    platform::vb::NumberSeparators separators;
    if (!globals().decimalSeparator.isEmpty())
        separators.decimal = globals().decimalSeparator[0];
    if (!globals().thousandsSeparator.isEmpty())
        separators.thousands = globals().thousandsSeparator[0];
    return separators;
}

bool ShuttingDown()
{
    return globals().shuttingDown;
}
void setShuttingDown(bool shuttingDown)
{
    globals().shuttingDown = shuttingDown;
}

QString DataFolder()
{
    return globals().dataFolder;
}
void setDataFolder(const QString &folder)
{
    globals().dataFolder = folder;
}
QString SettingsFilePath()
{
    return globals().settingsFilePath;
}
void setSettingsFilePath(const QString &path)
{
    globals().settingsFilePath = path;
}

} // namespace app::common
