#include "app/common/desktop/xmlpicture.h"

#include "app/common/xmlmodule.h"

namespace app::common::desktop {

QImage ReadXMLPicture(const QString &section, const QString &key)
{
    return LoadPictureFromBytes(ReadXMLBinary(section, key));
}

QImage LoadPictureFromBytes(const QByteArray &bytes)
{
    if (bytes.size() <= 1) {
        return QImage();
    }
    return QImage::fromData(bytes);
}

} // namespace app::common::desktop
