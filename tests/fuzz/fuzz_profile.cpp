// The INI layer: a refused write leaves the file byte for byte as it was; an accepted write reads
// back; every other key reads as before.

#include <cstdint>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzzcheck.h"
#include "platform/win/profile.h"

namespace {

using platform::win::getPrivateProfileString;
using platform::win::writePrivateProfileString;

const QString Missing = QStringLiteral("\x01missing");
constexpr int Room = 1 << 20;

QString read(const QString &section, const QString &key, const QString &path)
{
    QString result;
    getPrivateProfileString(section, key, Missing, result, Room, path);
    return result;
}

// What a value reads back as: blanks trimmed and one pair of matching quotes taken off.
QString readBackForm(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.size() >= 2 && trimmed.front() == trimmed.back() &&
        (trimmed.front() == QLatin1Char('"') || trimmed.front() == QLatin1Char('\'')))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

// Section and key names the file seems to hold, each key with the section above it.
std::vector<std::pair<QString, QString>> namesIn(const QByteArray &bytes)
{
    std::vector<std::pair<QString, QString>> names;
    QString section;
    QString text = QString::fromUtf8(bytes);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            section = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1);
        } else if (const auto equals = line.indexOf(QLatin1Char('=')); equals >= 0) {
            names.emplace_back(section, line.left(equals));
        }
        if (names.size() >= 4) // each read goes through the whole file
            break;
    }
    return names;
}

bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString section = QString::fromStdString(input.ConsumeRandomLengthString(24));
    const QString key = QString::fromStdString(input.ConsumeRandomLengthString(24));
    const QString value = QString::fromStdString(input.ConsumeRandomLengthString(64));
    const bool exists = input.ConsumeBool();
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QByteArray before(rest.data(), static_cast<qsizetype>(rest.size()));

    const QString path = fuzzing::scratch().filePath(QStringLiteral("Config.ini"));
    QFile::remove(path);
    if (exists)
        fuzzing::writeAll(path, before);

    const auto others = namesIn(before);
    std::vector<QString> earlier;
    for (const auto &[s, k] : others)
        earlier.push_back(read(s, k, path));

    if (!writePrivateProfileString(section, key, value, path)) {
        fuzzing::check(QFile::exists(path) == exists, "a refused write creates no file");
        fuzzing::check(fuzzing::readAll(path) == (exists ? before : QByteArray()),
                       "a refused write leaves the file as it was");
        return 0;
    }
    fuzzing::check(read(section, key, path) == readBackForm(value), "a written value reads back");
    for (size_t i = 0; i < others.size(); ++i) {
        const auto &[s, k] = others[i];
        if (sameName(s, section) && sameName(k, key))
            continue;
        fuzzing::check(read(s, k, path) == earlier[i], "other keys are unchanged");
    }
    return 0;
}
