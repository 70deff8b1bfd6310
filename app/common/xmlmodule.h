#ifndef APP_COMMON_XMLMODULE_H
#define APP_COMMON_XMLMODULE_H

#include <optional>

#include <QByteArray>
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

std::optional<QStringList> GetXMLNodeList(const QString &appName, const QString &section);

// The integrity check of a section: the salted digest of the raw texts of its keys, in document
// order and without the "md5hash" key, must equal the text of its "MD5Hash" key exactly. The keys
// are listed and read from one and the same section element, the one the settings reads use.
bool VerifyXMLHash(const QString &section);

// The bytes of a binary key; empty when the key holds none.
QByteArray ReadXMLBinary(const QString &section, const QString &key);

} // namespace app::common

#endif
