#ifndef PLATFORM_VB_CP1252_H
#define PLATFORM_VB_CP1252_H

#include <cstdint>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform::vb {

// The "ANSI" code page of the system's texts: Windows-1252. The five bytes that code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, both ways,
// so that any byte string survives a round trip.

// The byte of one character; '?' for a character the code page cannot hold.
uint8_t toCp1252Byte(char32_t character);
// The character of one byte.
char16_t fromCp1252Byte(uint8_t byte);

// One byte per character (a surrogate pair is one character, so one '?').
QByteArray toCp1252(QStringView text);
QString fromCp1252(QByteArrayView bytes);

// True when every character of the text has a byte of its own.
bool fitsCp1252(QStringView text);

} // namespace platform::vb

#endif
