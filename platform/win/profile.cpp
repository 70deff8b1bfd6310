#include "platform/win/profile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QStringConverter>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include "platform/vb/cp1252.h"
#include "platform/win/wholefilewriter.h"

namespace platform::win {

namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16LeBom, Utf16BeBom, Cp1252 };

struct ProfileText
{
    QStringList lines;
    Encoding encoding = Encoding::Utf8;
};

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf16LeBom("\xFF\xFE");
const QByteArray Utf16BeBom("\xFE\xFF");

QString decode(const QByteArray &bytes, Encoding &encoding)
{
    if (bytes.startsWith(Utf8Bom)) {
        encoding = Encoding::Utf8Bom;
        return QString::fromUtf8(bytes.mid(Utf8Bom.size()));
    }
    if (bytes.startsWith(Utf16LeBom)) {
        encoding = Encoding::Utf16LeBom;
        QStringDecoder decoder(QStringConverter::Utf16LE);
        return decoder(bytes.mid(Utf16LeBom.size()));
    }
    if (bytes.startsWith(Utf16BeBom)) {
        encoding = Encoding::Utf16BeBom;
        QStringDecoder decoder(QStringConverter::Utf16BE);
        return decoder(bytes.mid(Utf16BeBom.size()));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        encoding = Encoding::Utf8;
        return text;
    }
    encoding = Encoding::Cp1252;
    return vb::fromCp1252(bytes);
}

QByteArray encode(const QString &text, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Cp1252:
        if (vb::fitsCp1252(text)) {
            return vb::toCp1252(text);
        }
        return text.toUtf8();
    case Encoding::Utf8Bom:
        return Utf8Bom + text.toUtf8();
    case Encoding::Utf16LeBom: {
        QStringEncoder encoder(QStringConverter::Utf16LE);
        return Utf16LeBom + QByteArray(encoder(text));
    }
    case Encoding::Utf16BeBom: {
        QStringEncoder encoder(QStringConverter::Utf16BE);
        return Utf16BeBom + QByteArray(encoder(text));
    }
    case Encoding::Utf8:
        break;
    }
    return text.toUtf8();
}

// The bytes for the text, read back as the same text. A legacy file is told from UTF-8 by its
// bytes, so a write that removes its last non-UTF-8 byte would change how every other line
// reads: such a file is written as UTF-8 instead (with a byte-order mark as the last resort,
// for a text that would still read otherwise).
QByteArray encodeReadingBack(const QString &text, Encoding encoding)
{
    for (const Encoding candidate : {encoding, Encoding::Utf8}) {
        QByteArray bytes = encode(text, candidate);
        Encoding seen = candidate;
        if (decode(bytes, seen) == text) {
            return bytes;
        }
    }
    return encode(text, Encoding::Utf8Bom);
}

ProfileText parse(const QByteArray &bytes)
{
    ProfileText profile;
    QString text = decode(bytes, profile.encoding);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    profile.lines = text.split(QLatin1Char('\n'));
    if (!profile.lines.isEmpty() && profile.lines.last().isEmpty()) {
        profile.lines.removeLast(); // the final line break
    }
    return profile;
}

// The file's lines; an empty text for a missing file; nothing when the file cannot be read.
std::optional<ProfileText> load(const QString &fileName, QString *cause = nullptr)
{
    QFile file(fileName);
    if (!file.exists()) {
        return ProfileText{};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (cause) {
            *cause = QFileInfo(fileName).isDir() ? QString::fromLocal8Bit(std::strerror(EISDIR))
                                                 : file.errorString();
        }
        return std::nullopt;
    }
    return parse(file.readAll());
}

QByteArray bytesOf(const ProfileText &profile)
{
    QString text;
    for (const QString &line : profile.lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return encodeReadingBack(text, profile.encoding);
}

bool save(const QString &fileName, const ProfileText &profile, QString *cause)
{
    // The writer refuses a file the user may not write, as writing into it would.
    return WholeFileWriter::writeFile(fileName, bytesOf(profile), cause);
}

// The name of a section header line.
std::optional<QString> sectionOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('['))) {
        return std::nullopt;
    }
    qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0) {
        close = trimmed.size();
    }
    return trimmed.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line (section headers are not keys).
std::optional<QString> keyOf(const QString &line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0 || line.trimmed().startsWith(QLatin1Char('['))) {
        return std::nullopt;
    }
    return line.left(equals).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Location
{
    qsizetype section = -1;    // line of the first matching section header
    qsizetype sectionEnd = -1; // one past its last non-blank line
    qsizetype key = -1;        // line of the first matching key in it
};

Location locate(const QStringList &lines, const QString &section, const QString &key)
{
    Location at;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionOf(lines[i])) {
            if (at.section >= 0) {
                break;
            }
            if (sameName(*name, section)) {
                at.section = i;
                at.sectionEnd = i + 1;
            }
            continue;
        }
        if (at.section < 0) {
            continue;
        }
        if (!lines[i].trimmed().isEmpty()) {
            at.sectionEnd = i + 1;
        }
        if (at.key < 0) {
            if (const auto name = keyOf(lines[i]); name && sameName(*name, key)) {
                at.key = i;
            }
        }
    }
    return at;
}

QString unquoted(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.size() >= 2 && trimmed.front() == trimmed.back() &&
        (trimmed.front() == QLatin1Char('"') || trimmed.front() == QLatin1Char('\''))) {
        return trimmed.mid(1, trimmed.size() - 2);
    }
    return trimmed;
}

// Cuts the text to at most size - 1 characters without splitting a surrogate pair.
int copyCut(const QString &text, QString &result, int size)
{
    qsizetype length = size > 0 ? std::min<qsizetype>(text.size(), size - 1) : 0;
    if (length > 0 && length < text.size() && text[length - 1].isHighSurrogate()) {
        --length;
    }
    result = text.left(length);
    return static_cast<int>(length);
}

bool breaksLines(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool acceptsNames(const QString &section, const QString &key, const QString &value)
{
    return !key.isEmpty() && !key.contains(QLatin1Char('=')) && !key.startsWith(QLatin1Char('[')) &&
           !section.contains(QLatin1Char(']')) && !breaksLines(section) && !breaksLines(key) &&
           !breaksLines(value);
}

void setValue(ProfileText &profile, const QString &sectionName, const QString &keyName,
              const QString &value)
{
    QStringList &lines = profile.lines;
    const Location at = locate(lines, sectionName, keyName);
    if (at.key >= 0) {
        const QString &line = lines[at.key];
        lines[at.key] =
            line.left(line.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + value;
    } else if (at.section >= 0) {
        lines.insert(at.sectionEnd, keyName + QLatin1Char('=') + value);
    } else {
        lines.append(QLatin1Char('[') + sectionName + QLatin1Char(']'));
        lines.append(keyName + QLatin1Char('=') + value);
    }
}

// Orders names by their hashes, for searches by a hash alone.
struct HashOrder
{
    static size_t hashOf(size_t hash) { return hash; }
    template <typename Entry>
    static size_t hashOf(const Entry &entry)
    {
        return entry.name.hash;
    }
    template <typename A, typename B>
    bool operator()(const A &a, const B &b) const
    {
        return hashOf(a) < hashOf(b);
    }
};

} // namespace

int getPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                            QString &result, int size, const QString &fileName)
{
    return ParsedProfile(fileName).getString(section, key, defaultValue, result, size);
}

ParsedProfile::ParsedProfile(const QString &fileName)
{
    const std::optional<ProfileText> profile = load(fileName);
    if (!profile) {
        return;
    }
    // Every section and key line is kept; a lookup takes the first of equal names, so a later
    // section or key of the same name is never found, as if it were not there.
    for (const QString &line : profile->lines) {
        if (const auto name = sectionOf(line)) {
            if (!sections_.empty()) {
                sections_.back().endKey = keys_.size();
            }
            sections_.push_back({store(*name), keys_.size(), keys_.size()});
            continue;
        }
        if (sections_.empty()) {
            continue; // keys before the first section belong to none
        }
        if (const auto name = keyOf(line)) {
            Key entry;
            entry.name = store(*name);
            const QString value = unquoted(line.mid(line.indexOf(QLatin1Char('=')) + 1));
            entry.valueAt = store_.size();
            entry.valueLength = value.size();
            store_ += value;
            keys_.push_back(entry);
        }
    }
    if (!sections_.empty()) {
        sections_.back().endKey = keys_.size();
    }
    // Stable, so that names of equal hashes keep their file order.
    for (const Section &section : sections_) {
        std::stable_sort(keys_.begin() + static_cast<std::ptrdiff_t>(section.firstKey),
                         keys_.begin() + static_cast<std::ptrdiff_t>(section.endKey), HashOrder{});
    }
    std::stable_sort(sections_.begin(), sections_.end(), HashOrder{});
}

int ParsedProfile::getString(const QString &section, const QString &key,
                             const QString &defaultValue, QString &result, int size) const
{
    if (const std::optional<QStringView> value = find(section.trimmed(), key.trimmed())) {
        return copyCut(value->toString(), result, size);
    }
    QString fallback = defaultValue;
    while (!fallback.isEmpty() && fallback.back() == QLatin1Char(' ')) {
        fallback.chop(1);
    }
    return copyCut(fallback, result, size);
}

// Names are stored folded, so that equal folded texts are the names that match
// case-insensitively.
ParsedProfile::Name ParsedProfile::store(const QString &name)
{
    const QString folded = name.toCaseFolded();
    const Name stored{qHash(folded), store_.size(), folded.size()};
    store_ += folded;
    return stored;
}

QStringView ParsedProfile::text(qsizetype at, qsizetype length) const
{
    return QStringView(store_).mid(at, length);
}

std::optional<QStringView> ParsedProfile::find(const QString &section, const QString &key) const
{
    const QString sectionName = section.toCaseFolded();
    const auto [first, last] =
        std::equal_range(sections_.begin(), sections_.end(), qHash(sectionName), HashOrder{});
    const auto found = std::find_if(first, last, [&](const Section &candidate) {
        return text(candidate.name.at, candidate.name.length) == sectionName;
    });
    if (found == last) {
        return std::nullopt;
    }
    const QString keyName = key.toCaseFolded();
    const auto keysBegin = keys_.begin() + static_cast<std::ptrdiff_t>(found->firstKey);
    const auto keysEnd = keys_.begin() + static_cast<std::ptrdiff_t>(found->endKey);
    const auto [from, to] = std::equal_range(keysBegin, keysEnd, qHash(keyName), HashOrder{});
    const auto entry = std::find_if(from, to, [&](const Key &candidate) {
        return text(candidate.name.at, candidate.name.length) == keyName;
    });
    if (entry == to) {
        return std::nullopt;
    }
    return text(entry->valueAt, entry->valueLength);
}

bool writePrivateProfileString(const QString &section, const QString &key, const QString &value,
                               const QString &fileName, QString *cause)
{
    if (cause) {
        cause->clear();
    }
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (!acceptsNames(sectionName, keyName, value)) {
        return false;
    }
    std::optional<ProfileText> profile = load(fileName, cause);
    if (!profile) {
        return false;
    }
    setValue(*profile, sectionName, keyName, value);
    return save(fileName, *profile, cause);
}

bool writeProfileString(QByteArray &bytes, const QString &section, const QString &key,
                        const QString &value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (!acceptsNames(sectionName, keyName, value)) {
        return false;
    }
    ProfileText profile = parse(bytes);
    setValue(profile, sectionName, keyName, value);
    bytes = bytesOf(profile);
    return true;
}

} // namespace platform::win
