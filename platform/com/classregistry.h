#ifndef PLATFORM_COM_CLASSREGISTRY_H
#define PLATFORM_COM_CLASSREGISTRY_H

#include <QString>

namespace platform::com {

// The registration file: one section per class name, its key "Server" naming the executable
// relative to the file's folder. HXR_COM_CLASSES names another file in place of "classes.ini"
// in the program folder.
QString classesFileName();

// The absolute path of the server registered for progId; empty when the class is not registered.
QString serverForClass(const QString &progId);

} // namespace platform::com

#endif
