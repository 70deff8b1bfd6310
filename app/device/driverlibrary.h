#ifndef APP_DEVICE_DRIVERLIBRARY_H
#define APP_DEVICE_DRIVERLIBRARY_H

#include <memory>

#include <QString>

#include "app/device/driverapi.h"

class QLibrary;

namespace app::device {

// Binds the driver library libHXRDrv.so by name at run time from one folder (the program
// folder by default) and resolves its exports. The library stays loaded for the rest of the
// run once bound: its reader thread may still be winding down after CLOSEPORT.
class DriverLibrary
{
public:
    enum class Status {
        NotLoaded,     // load() not called yet
        Loaded,        // every export resolved
        Missing,       // no library file in the folder
        CannotLoad,    // the file exists but does not load (broken, wrong architecture, ...)
        MissingExport, // loaded, but an export is missing: see missingExport()
    };

    static constexpr const char *FileName = "libHXRDrv.so";

    DriverLibrary();
    ~DriverLibrary();
    DriverLibrary(const DriverLibrary &) = delete;
    DriverLibrary &operator=(const DriverLibrary &) = delete;

    // Loads from the folder; an empty folder means the program folder. Returns status().
    Status load(const QString &folder = QString());

    Status status() const { return status_; }
    bool isLoaded() const { return status_ == Status::Loaded; }
    // The path that was tried, the loader's message and the first export not found.
    const QString &path() const { return path_; }
    const QString &errorText() const { return errorText_; }
    const QString &missingExport() const { return missingExport_; }

    // The resolved table; DriverApi::unavailable() unless loaded.
    const DriverApi &api() const { return api_; }

private:
    std::unique_ptr<QLibrary> library_;
    Status status_ = Status::NotLoaded;
    QString path_;
    QString errorText_;
    QString missingExport_;
    DriverApi api_ = DriverApi::unavailable();
};

} // namespace app::device

#endif
