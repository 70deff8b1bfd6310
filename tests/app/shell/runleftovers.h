#ifndef TESTS_APP_SHELL_RUNLEFTOVERS_H
#define TESTS_APP_SHELL_RUNLEFTOVERS_H

#include <cstdint>

#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

#include "app/common/desktop/fonts.h"
#include "app/device/driverapi.h"
#include "app/device/drv_hxr.h"
#include "app/shell/childcontrol.h"
#include "app/shell/childformclass.h"
#include "app/shell/devicecontrol.h"

// What a run can leave behind, so that a test sees both ends of a run without the window's
// close (the window's destructor, a fixture dropping its context) leave none of it.
namespace app::shell::runleftovers {

// Whether the port of a device object over CountingDriver() is open.
inline bool &PortOpen()
{
    static bool open = false;
    return open;
}

// A driver whose port calls are followed; every command fails as with no module there.
inline app::device::DriverApi CountingDriver()
{
    PortOpen() = false;
    app::device::DriverApi driver = app::device::DriverApi::unavailable();
    driver.VERSION = [] { return 1.0f; };
    driver.OPENPORT = []() -> int16_t {
        PortOpen() = true;
        return 0;
    };
    driver.CLOSEPORT = []() -> int16_t {
        PortOpen() = false;
        return 0;
    };
    return driver;
}

// A program folder whose LED font is a seven-segment face the system knows by another name.
class FontFolder
{
public:
    FontFolder()
    {
        QFile::copy(QStringLiteral("/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf"),
                    dir_.filePath(QStringLiteral("VX-LED.TTF")));
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

inline bool LedFaceInUse()
{
    return QFontInfo(QFont(app::common::desktop::LedFontFamily.toString())).family() ==
           QStringLiteral("DSEG7 Classic");
}

// What is left of the run: `page` is one of its pages.
inline QStringList Leftovers(const QPointer<ChildFormClass> &page)
{
    QStringList left;
    if (page || CurrentPage())
        left << QStringLiteral("pages");
    if (CurrentDevice())
        left << QStringLiteral("page sets");
    if (PortOpen())
        left << QStringLiteral("open port");
    if (app::device::HXRObject() || PageContainer())
        left << QStringLiteral("links");
    if (app::common::desktop::FontsLoaded() || LedFaceInUse())
        left << QStringLiteral("fonts");
    return left;
}

// All of it, as Leftovers() names it.
inline QStringList Everything()
{
    return {QStringLiteral("pages"), QStringLiteral("page sets"), QStringLiteral("open port"),
            QStringLiteral("links"), QStringLiteral("fonts")};
}

} // namespace app::shell::runleftovers

#endif
