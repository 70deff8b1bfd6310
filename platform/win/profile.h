#ifndef PLATFORM_WIN_PROFILE_H
#define PLATFORM_WIN_PROFILE_H

#include <cstddef>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace platform::win {

// INI files read and written one key at a time, in the manner of the system's private-profile
// calls (our own; QSettings escapes and reorders):
// - sections ("[name]") and keys ("name=value") match case-insensitively, blanks around names
//   and values are trimmed, and the first matching section and the first matching key in it win;
// - a value enclosed in one pair of matching quotes (" or ') loses them;
// - files are read as UTF-8 (with or without a byte-order mark), UTF-16 (either byte order) with a byte-order mark,
//   or CP1252 when they are not valid UTF-8, and are written back in the same encoding (a CP1252
//   file that would lose characters is written as UTF-8 instead);
// - a write rewrites the file in place, keeping every other line, ends every line with CR LF and
//   replaces the file atomically.

// Copies the value of key in section into result, cut to size - 1 characters (room for the
// terminator the system call would write), and returns the number of characters copied. A
// missing file, section or key copies defaultValue, without its trailing blanks. A key that holds
// an empty value copies nothing and returns 0.
int getPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                            QString &result, int size, const QString &fileName);

// An INI file read and parsed once, for any number of lookups that answer as
// getPrivateProfileString answered when the file was read. It holds a few blocks of memory
// however many lines the file has, so it is cheap to move between threads and to free.
class ParsedProfile
{
public:
    // Holds nothing: every lookup gives its default.
    ParsedProfile() = default;
    // Reads the file; a missing or unreadable file holds nothing.
    explicit ParsedProfile(const QString &fileName);

    // getPrivateProfileString on the file as it was read.
    int getString(const QString &section, const QString &key, const QString &defaultValue,
                  QString &result, int size) const;

private:
    // A case-folded name in store_, with its hash.
    struct Name
    {
        size_t hash = 0;
        qsizetype at = 0;
        qsizetype length = 0;
    };
    struct Key
    {
        Name name;
        qsizetype valueAt = 0;
        qsizetype valueLength = 0;
    };
    struct Section
    {
        Name name;
        size_t firstKey = 0; // its keys are keys_[firstKey, endKey)
        size_t endKey = 0;
    };

    Name store(const QString &name);
    QStringView text(qsizetype at, qsizetype length) const;
    std::optional<QStringView> find(const QString &section, const QString &key) const;

    QString store_;                 // every folded name and value, one after the other
    std::vector<Section> sections_; // in order of their hashes, equal ones in file order
    std::vector<Key> keys_;         // each section's keys together, in order of their hashes
};

// Writes key=value into section, creating the file and the section when missing. Returns false,
// leaving the file as it was, when the file cannot be read, is read-only or cannot be replaced,
// or when a name or the value would break the file's lines (a line break anywhere, "=" or a
// leading "[" in the key, "]" in the section, an empty key). When the file could not be read or
// written, *cause says why ("No space left on device"); it is empty for a refused name or value.
bool writePrivateProfileString(const QString &section, const QString &key, const QString &value,
                               const QString &fileName, QString *cause = nullptr);

// The same write into a file's bytes held in memory (empty bytes: no file yet), for a file that
// is written whole once it is complete. The bytes become what the file would hold; false, leaving
// them, for a name or a value that the file write refuses.
bool writeProfileString(QByteArray &bytes, const QString &section, const QString &key,
                        const QString &value);

} // namespace platform::win

#endif
