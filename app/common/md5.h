#ifndef APP_COMMON_MD5_H
#define APP_COMMON_MD5_H

#include <QByteArrayView>
#include <QString>

namespace app::common {

// The fixed salt that SaltedMD5 puts in front of its text.
QString MD5Salt();

// The MD5 digest (RFC 1321) of bytes, as 32 lower-case hexadecimal digits.
QString MD5Hex(QByteArrayView bytes);

// The digest of a text hashed one byte per character in the "ANSI" code page (CP1252).
QString MD5Text(const QString &text);

// MD5Text of the salt followed directly by the text.
QString SaltedMD5(const QString &text);

} // namespace app::common

#endif
