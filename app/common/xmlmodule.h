#ifndef APP_COMMON_XMLMODULE_H
#define APP_COMMON_XMLMODULE_H

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

namespace app::common {

class cXMLRegistry;

// The program's one XML settings store, created on first use and kept for the run.
cXMLRegistry &XMLStore();

// Opens the shared store: the empty text on success, else "Cannot open file: " and the name.
QString OpenXMLStore(const QString &fileName, const QString &appName, bool create);

// The key's value as a text, with the escapes "&#xD;", "&#xA;", "&#x9;" and "&#x0;" in its text
// turned into carriage return, line feed, tab and NUL.
QString ReadXMLSetting(const QString &section, const QString &key, const QString &defaultValue);

// The picture held by a binary key; a null image when there is none.
QImage ReadXMLPicture(const QString &section, const QString &key);

std::optional<QStringList> GetXMLNodeList(const QString &appName, const QString &section);

// The integrity check of a section: the salted digest of the raw texts of its keys, in document
// order and without the "md5hash" key, must equal the text of its "MD5Hash" key exactly. The keys
// are listed and read from one and the same section element, the one the settings reads use.
bool VerifyXMLHash(const QString &section);

// A picture decoded from memory (any format the image readers know); a null image for no data,
// a single byte, or bytes that are not a picture.
QImage LoadPictureFromBytes(const QByteArray &bytes);

} // namespace app::common

#endif
