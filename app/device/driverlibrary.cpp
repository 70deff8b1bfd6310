#include "app/device/driverlibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace app::device {

namespace {

template <typename Function>
bool resolve(QLibrary &library, const char *name, Function &slot, QString &missing)
{
    slot = reinterpret_cast<Function>(library.resolve(name));
    if (!slot && missing.isEmpty())
        missing = QString::fromLatin1(name);
    return slot != nullptr;
}

} // namespace

DriverLibrary::DriverLibrary() = default;

// A QLibrary that goes does not unload its library, which is what the class promises.
DriverLibrary::~DriverLibrary() = default;

DriverLibrary::Status DriverLibrary::load(const QString &folder)
{
    api_ = DriverApi::unavailable();
    errorText_.clear();
    missingExport_.clear();
    const QString dir = folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
    path_ = QDir(dir).filePath(QString::fromLatin1(FileName));
    if (!QFileInfo(path_).isFile()) {
        errorText_ = QStringLiteral("%1 was not found").arg(path_);
        return status_ = Status::Missing;
    }
    auto library = std::make_unique<QLibrary>(path_);
    if (!library->load()) {
        errorText_ = library->errorString();
        return status_ = Status::CannotLoad;
    }
    DriverApi api;
    QString missing;
    resolve(*library, "INITIALISE", api.INITIALISE, missing);
    resolve(*library, "OPENPORT", api.OPENPORT, missing);
    resolve(*library, "CLOSEPORT", api.CLOSEPORT, missing);
    resolve(*library, "DEVICECOUNT", api.DEVICECOUNT, missing);
    resolve(*library, "VERSION", api.VERSION, missing);
    resolve(*library, "READCOMMAND", api.READCOMMAND, missing);
    resolve(*library, "WRITECOMMAND", api.WRITECOMMAND, missing);
    resolve(*library, "EXECUTECOMMAND", api.EXECUTECOMMAND, missing);
    resolve(*library, "COMMANDMODE", api.COMMANDMODE, missing);
    resolve(*library, "CONFIGCAL", api.CONFIGCAL, missing);
    resolve(*library, "INTGAIN", api.INTGAIN, missing);
    resolve(*library, "INTOFFS", api.INTOFFS, missing);
    resolve(*library, "FINDMINMAX", api.FINDMINMAX, missing);
    resolve(*library, "CREATECALLBACKWINDOW", api.CREATECALLBACKWINDOW, missing);
    if (!missing.isEmpty()) {
        missingExport_ = missing;
        errorText_ = QStringLiteral("%1 lacks the export %2").arg(path_, missing);
        // Nothing of it has run yet, so it can go again.
        library->unload();
        return status_ = Status::MissingExport;
    }
    api_ = api;
    library_ = std::move(library);
    return status_ = Status::Loaded;
}

} // namespace app::device
