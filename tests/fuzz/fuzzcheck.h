#ifndef TESTS_FUZZ_FUZZCHECK_H
#define TESTS_FUZZ_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace fuzzing {

// A broken property is a finding: say which and stop, so the fuzzer keeps the input.
[[noreturn]] inline void fail(const char *property)
{
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline void check(bool holds, const char *property)
{
    if (!holds)
        fail(property);
}

// A scratch folder for the whole run, on a memory file system where there is one.
inline const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                       ? QStringLiteral("/dev/shm/hxr-fuzz-XXXXXX")
                                       : QString());
    return dir;
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(bytes) == bytes.size(),
          "the scratch file can be written");
}

} // namespace fuzzing

#endif
