#include "app/common/xmlmodule.h"

#include <QVariant>

#include "app/common/commonstate.h"
#include "app/common/md5.h"
#include "app/common/xmlregistry.h"

namespace app::common {

namespace {

QString restoreControlCharacters(QString text)
{
    text.replace(QLatin1String("&#xD;"), QStringLiteral("\r"));
    text.replace(QLatin1String("&#xA;"), QStringLiteral("\n"));
    text.replace(QLatin1String("&#x9;"), QStringLiteral("\t"));
    text.replace(QLatin1String("&#x0;"), QString(QChar(0)));
    return text;
}

} // namespace

cXMLRegistry &XMLStore()
{
    return CommonState::current().xmlStore;
}

QString OpenXMLStore(const QString &fileName, const QString &appName, bool create)
{
    if (XMLStore().OpenXMLFile(fileName, appName, create)) {
        return QString();
    }
    return QStringLiteral("Cannot open file: ") + fileName;
}

QString ReadXMLSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    const QVariant value = XMLStore().GetSettingEx(section, key, defaultValue);
    const QString text = value.typeId() == QMetaType::QByteArray
                             ? QString::fromUtf8(value.toByteArray())
                             : value.toString();
    return restoreControlCharacters(text);
}

QByteArray ReadXMLBinary(const QString &section, const QString &key)
{
    const QVariant value = XMLStore().GetSettingEx(section, key, QString());
    if (value.typeId() != QMetaType::QByteArray) {
        return QByteArray();
    }
    return value.toByteArray();
}

std::optional<QStringList> GetXMLNodeList(const QString &appName, const QString &section)
{
    return XMLStore().NodeList(appName, section);
}

bool VerifyXMLHash(const QString &section)
{
    QString joined;
    for (const auto &[name, text] : XMLStore().sectionEntries(section)) {
        if (name.toLower() != QLatin1String("md5hash")) {
            joined += text;
        }
    }
    const QString stored = ReadXMLSetting(section, QStringLiteral("MD5Hash"), QString());
    return SaltedMD5(joined) == stored;
}

} // namespace app::common
