#ifndef APP_COMMON_DESKTOP_XMLPICTURE_H
#define APP_COMMON_DESKTOP_XMLPICTURE_H

#include <QByteArray>
#include <QImage>
#include <QString>

namespace app::common::desktop {

// The picture held by a binary key of the XML store; a null image when there is none.
QImage ReadXMLPicture(const QString &section, const QString &key);

// A picture decoded from memory (any format the image readers know); a null image for no data,
// a single byte, or bytes that are not a picture.
QImage LoadPictureFromBytes(const QByteArray &bytes);

} // namespace app::common::desktop

#endif
