// The registry store: a file it cannot understand is never overwritten; values it accepts read
// back, in the same store and in a new one, and leave the other values as they were.

#include <cstdint>
#include <vector>

#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzzcheck.h"
#include "platform/win/registrystore.h"

namespace {

using namespace platform::win;

struct Stored
{
    QString name;
    uint32_t type = 0;
    QByteArray data;
};

std::vector<Stored> valuesOf(RegistryStore &store, HKey key)
{
    std::vector<Stored> values;
    QString name;
    // A few are enough to see other values disturbed; each call reads the whole file.
    for (uint32_t i = 0; i < 2 && store.enumValue(key, i, name) == RegSuccess; ++i) {
        Stored value{name, 0, {}};
        fuzzing::check(store.queryValue(key, name, &value.type, &value.data) == RegSuccess,
                       "an enumerated value can be read");
        values.push_back(value);
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString subKey = QString::fromStdString(input.ConsumeRandomLengthString(24));
    const QString name = QString::fromStdString(input.ConsumeRandomLengthString(24));
    const uint32_t type = input.ConsumeIntegral<uint32_t>();
    const std::string bytes = input.ConsumeRandomLengthString(48);
    const QByteArray valueData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QByteArray file(rest.data(), static_cast<qsizetype>(rest.size()));

    const QString path = fuzzing::scratch().filePath(QStringLiteral("registry.json"));
    fuzzing::writeAll(path, file);
    RegistryStore store(path);
    uint32_t subKeys = 0;
    const long loaded = store.queryInfoKey(HKeyCurrentUser, &subKeys, nullptr, nullptr, nullptr);
    if (loaded != RegSuccess) {
        fuzzing::check(loaded == RegCorrupt, "a readable file either loads or is corrupt");
        HKey key = 0;
        fuzzing::check(store.setValue(HKeyCurrentUser, name, type, valueData) == RegCorrupt &&
                           store.createKey(HKeyCurrentUser, subKey, KeyAllAccess, key) ==
                               RegCorrupt,
                       "a corrupt file refuses every change");
        fuzzing::check(fuzzing::readAll(path) == file, "a corrupt file is never overwritten");
        return 0;
    }

    const std::vector<Stored> rootBefore = valuesOf(store, HKeyCurrentUser);
    const bool inRoot = subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts).isEmpty();
    HKey key = 0;
    if (store.createKey(HKeyCurrentUser, subKey, KeyAllAccess, key) != RegSuccess)
        return 0;
    fuzzing::check(store.setValue(key, name, type, valueData) == RegSuccess,
                   "a value can be set in a key just opened");
    RegistryStore reopened(path);
    HKey again = 0;
    fuzzing::check(reopened.openKey(HKeyCurrentUser, subKey, KeyRead, again) == RegSuccess,
                   "the key is found in the saved file");
    for (RegistryStore *reader : {&store, &reopened}) {
        uint32_t readType = 0;
        QByteArray readData;
        fuzzing::check(reader->queryValue(reader == &store ? key : again, name, &readType,
                                          &readData) == RegSuccess &&
                           readType == type && readData == valueData,
                       "a value round-trips");
    }
    for (const Stored &value : rootBefore) {
        if (inRoot && value.name.compare(name, Qt::CaseInsensitive) == 0)
            continue;
        uint32_t readType = 0;
        QByteArray readData;
        reopened.queryValue(HKeyCurrentUser, value.name, &readType, &readData);
        fuzzing::check(readType == value.type && readData == value.data,
                       "other values are unchanged");
    }
    return 0;
}
