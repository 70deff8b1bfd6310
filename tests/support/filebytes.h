#ifndef TESTS_SUPPORT_FILEBYTES_H
#define TESTS_SUPPORT_FILEBYTES_H

// A file's bytes as a test reads and sets them, bypassing the code under test.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace testsupport {

// The file's bytes; "<missing>" when it cannot be read, which no fixture holds.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Replaces the file's bytes; the calling test fails when they cannot all be written.
inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace testsupport

#endif
