#include "app/common/xmlregistry.h"

#include <QDomNodeList>
#include <QFile>
#include <QXmlStreamReader>

#include "platform/vb/vberror.h"
#include "platform/win/wholefilewriter.h"

namespace app::common {

using platform::vb::VbError;

namespace {

const QString DataTypeNamespace = QStringLiteral("urn:schemas-microsoft-com:datatypes");
const QString DataTypeAttribute = QStringLiteral("dt:dt");

constexpr int FileNotFound = 53;
constexpr int FileAccessError = 75;

// Why a write failed, after the error's own words.
QString causeText(const QString &cause)
{
    return cause.isEmpty() ? QString() : QStringLiteral(" (") + cause + QLatin1Char(')');
}

QStringList segments(const QString &path)
{
    QStringList parts;
    for (const QString &part : path.split(QLatin1Char('/'))) {
        if (!part.trimmed().isEmpty()) {
            parts.append(part);
        }
    }
    return parts;
}

// The first element, in document order, below parent that matches the names from index on.
QDomElement firstMatch(const QDomElement &parent, const QStringList &names, qsizetype index)
{
    for (QDomElement child = parent.firstChildElement(names[index]); !child.isNull();
         child = child.nextSiblingElement(names[index])) {
        if (index + 1 == names.size()) {
            return child;
        }
        if (QDomElement found = firstMatch(child, names, index + 1); !found.isNull()) {
            return found;
        }
    }
    return QDomElement();
}

// The first element in document order named name whose parent element is named parentName (any
// element named name when parentName is empty).
QDomElement firstAnywhere(const QDomElement &from, const QString &parentName, const QString &name)
{
    if (from.tagName() == name &&
        (parentName.isEmpty() || from.parentNode().toElement().tagName() == parentName)) {
        return from;
    }
    for (QDomElement child = from.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (QDomElement found = firstAnywhere(child, parentName, name); !found.isNull()) {
            return found;
        }
    }
    return QDomElement();
}

// XML names as the file format allows them (no prefixes: the store's names never have one).
bool isElementName(const QString &name)
{
    if (name.isEmpty()) {
        return false;
    }
    const QChar first = name.front();
    if (!first.isLetter() && first != QLatin1Char('_')) {
        return false;
    }
    for (QChar c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-') &&
            c != QLatin1Char('.')) {
            return false;
        }
    }
    return !name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive);
}

void setText(QDomDocument &document, QDomElement &element, const QString &text)
{
    while (!element.firstChild().isNull()) {
        element.removeChild(element.firstChild());
    }
    element.appendChild(document.createTextNode(text));
}

QString typedText(const QVariant &value, const QString &type)
{
    if (type == QLatin1String("bin.base64") || type == QLatin1String("bin.hex")) {
        if (value.typeId() != QMetaType::QByteArray) {
            throw VbError(VbError::TypeMismatch, QStringLiteral("SaveSettingEx"),
                          QStringLiteral("Type mismatch"));
        }
        const QByteArray bytes = value.toByteArray();
        return QString::fromLatin1(type == QLatin1String("bin.hex") ? bytes.toHex()
                                                                    : bytes.toBase64());
    }
    if (type.isEmpty() || type == QLatin1String("string")) {
        return value.toString();
    }
    throw VbError(VbError::InvalidCall, QStringLiteral("SaveSettingEx"),
                  QStringLiteral("Unknown data type: ") + type);
}

QVariant typedValue(const QDomElement &element)
{
    const QString type = element.attribute(DataTypeAttribute);
    if (type == QLatin1String("bin.base64")) {
        return QByteArray::fromBase64(element.text().toLatin1());
    }
    if (type == QLatin1String("bin.hex")) {
        return QByteArray::fromHex(element.text().toLatin1());
    }
    return element.text();
}

// Documents beyond these are refused before they are parsed: the DOM parser's time grows with
// the square of the nesting depth, and a settings file is a few levels deep and a few pictures big.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
constexpr int MaxDepth = 64;

bool withinDepth(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > MaxDepth) {
            return false;
        }
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return true;
}

// The document in bytes, or a raised parse error naming what is wrong with them.
QDomDocument parseDocument(const QByteArray &bytes, const QString &source)
{
    if (bytes.size() > MaxFileSize) {
        throw VbError(cXMLRegistry::ParseError, source, QStringLiteral("File too large"));
    }
    if (!withinDepth(bytes)) {
        throw VbError(cXMLRegistry::ParseError, source, QStringLiteral("Nested too deeply"));
    }
    QDomDocument document;
    QString reason;
    if (!document.setContent(bytes, &reason)) {
        throw VbError(cXMLRegistry::ParseError, source, reason);
    }
    if (document.documentElement().isNull()) {
        throw VbError(cXMLRegistry::ParseError, source, QStringLiteral("No root element"));
    }
    return document;
}

// True when an element below node holds text beside other nodes: indenting its children would add
// blanks to its text.
bool hasMixedContent(const QDomNode &node)
{
    bool text = false;
    bool other = false;
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        (child.isText() || child.isCDATASection() ? text : other) = true;
        if (hasMixedContent(child))
            return true;
    }
    return text && other;
}

QByteArray fileText(const QDomDocument &document)
{
    return document.toByteArray(hasMixedContent(document) ? -1 : 1);
}

// The document's file text, checked to read back as it is: the parser takes in constructs that it
// writes out in a form it then refuses, or reads back changed (an instruction inside a text gains
// a line break at every save), and a saved file that cannot be reopened loses everything.
// Indented for people to read, unless indenting would change a text.
QByteArray savedForm(const QDomDocument &document, const QString &source)
{
    const QByteArray bytes = fileText(document);
    if (fileText(parseDocument(bytes, source)) != bytes) {
        throw VbError(cXMLRegistry::ParseError, source,
                      QStringLiteral("The document would not read back as it is"));
    }
    return bytes;
}

// Opens a file for reading or raises what the caller named in source reports.
void openToRead(QFile &file, const QString &source)
{
    if (!file.exists()) {
        throw VbError(FileNotFound, source, QStringLiteral("File not found"));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw VbError(FileAccessError, source, QStringLiteral("Path/File access error"));
    }
}

} // namespace

cXMLRegistry::cXMLRegistry() = default;

QString cXMLRegistry::lookupName(const QString &name)
{
    QString form = name;
    form.replace(QLatin1Char(' '), QLatin1Char('_'));
    return form.trimmed().toLower();
}

bool cXMLRegistry::OpenXMLFile(const QString &a_sFilename, const QString &a_AppName, bool a_bCreate)
{
    appName_ = a_AppName;
    appName_.replace(QLatin1Char(' '), QLatin1Char('_'));
    try {
        if (a_bCreate) {
            document_ = QDomDocument();
            document_.appendChild(document_.createElement(QStringLiteral("xmlregistry")));
            fileName_ = a_sFilename;
            SaveXMLFile();
        } else {
            QFile file(a_sFilename);
            openToRead(file, QStringLiteral("OpenXMLFile"));
            if (file.size() > MaxFileSize) {
                throw VbError(ParseError, QStringLiteral("XMLFilename"),
                              QStringLiteral("File too large"));
            }
            const QDomDocument loaded =
                parseDocument(file.readAll(), QStringLiteral("XMLFilename"));
            // A file we could not save again is refused now, before any change to it is lost.
            savedForm(loaded, QStringLiteral("XMLFilename"));
            document_ = loaded;
        }
        fileName_ = a_sFilename;
        open_ = true;
        return true;
    } catch (const VbError &) {
        fileName_.clear();
        open_ = false;
        return false;
    }
}

void cXMLRegistry::SaveXMLFile()
{
    const QByteArray bytes = savedForm(document_, QStringLiteral("SaveXMLFile"));
    QString cause;
    if (fileName_.isEmpty() ||
        !platform::win::WholeFileWriter::writeFile(fileName_, bytes, &cause)) {
        throw VbError(FileAccessError, QStringLiteral("SaveXMLFile"),
                      QStringLiteral("Cannot write file: ") + fileName_ + causeText(cause));
    }
}

QString cXMLRegistry::settingPath(const QString &section, const QString &key) const
{
    return QStringLiteral("/*/") + lookupName(appName_) + QLatin1Char('/') + lookupName(section) +
           QLatin1Char('/') + lookupName(key);
}

QDomElement cXMLRegistry::LocateNode(const QString &path, const QDomNode &start) const
{
    if (start.isNull()) {
        throw VbError(NodeIsNothing, QStringLiteral("LocateNode"),
                      QStringLiteral("Node is nothing"));
    }
    // Paths are absolute: "/*" is the root element, whatever its name.
    QStringList names = segments(path);
    const QDomElement root = document_.documentElement();
    if (names.isEmpty() || names.front() != QLatin1String("*") || root.isNull()) {
        return QDomElement();
    }
    names.removeFirst();
    return names.isEmpty() ? root : firstMatch(root, names, 0);
}

QDomElement cXMLRegistry::NewElement(const QString &name)
{
    if (!isElementName(name)) {
        throw VbError(VbError::InvalidCall, QStringLiteral("NewElement"),
                      QStringLiteral("Invalid element name: ") + name);
    }
    return document_.createElement(name);
}

QDomElement cXMLRegistry::BuildNodePath(const QString &path)
{
    QDomElement parent = document_.documentElement();
    if (parent.isNull()) {
        throw VbError(ObjectError, QStringLiteral("BuildNodePath"), QStringLiteral("Object error"));
    }
    const QStringList parts = segments(path);
    // Every name is checked first, so that a refused one leaves no half-built path behind.
    for (const QString &part : parts) {
        if (!isElementName(part.trimmed())) {
            throw VbError(VbError::InvalidCall, QStringLiteral("NewElement"),
                          QStringLiteral("Invalid element name: ") + part);
        }
    }
    QString partial = QStringLiteral("/*");
    for (const QString &part : parts) {
        partial += QLatin1Char('/') + part;
        QDomElement found = LocateNode(partial, parent);
        if (found.isNull()) {
            found = NewElement(part.trimmed());
            parent.appendChild(found);
        }
        parent = found;
    }
    return parent;
}

QDomElement cXMLRegistry::locateSetting(const QString &section, const QString &key,
                                        const QString &source)
{
    if (!open_) {
        throw VbError(FileNotOpen, source, QStringLiteral("File not open"));
    }
    return LocateNode(settingPath(section, key), document_.documentElement());
}

QString cXMLRegistry::GetSetting(const QString &a_sSection, const QString &a_sKey,
                                 const QString &a_sDefault)
{
    try {
        const QDomElement element = locateSetting(a_sSection, a_sKey, QStringLiteral("GetSetting"));
        return element.isNull() ? a_sDefault : element.text();
    } catch (const VbError &) {
        return QString();
    }
}

void cXMLRegistry::SaveSetting(const QString &a_sSection, const QString &a_sKey,
                               const QString &a_sValue, bool saveNow)
{
    try {
        if (!open_) {
            throw VbError(FileNotOpen, QStringLiteral("SaveSetting"),
                          QStringLiteral("File not open"));
        }
        QDomElement element = BuildNodePath(settingPath(a_sSection, a_sKey).mid(3));
        setText(document_, element, a_sValue);
        if (saveNow) {
            SaveXMLFile();
        }
    } catch (const VbError &) {
    }
}

void cXMLRegistry::SaveSettingEx(const QString &a_sSection, const QString &a_sKey,
                                 const QVariant &a_sValue, const QString &DataType, bool saveNow)
{
    try {
        if (!open_) {
            throw VbError(FileNotOpen, QStringLiteral("SaveSetting"),
                          QStringLiteral("File not open"));
        }
        // The text is worked out before anything changes, so a refused value leaves no trace.
        const QString path = settingPath(a_sSection, a_sKey);
        const QDomElement existing = LocateNode(path, document_.documentElement());
        const QString type = DataType.isEmpty() ? existing.attribute(DataTypeAttribute) : DataType;
        const QString text = typedText(a_sValue, type);
        QDomElement element = existing.isNull() ? BuildNodePath(path.mid(3)) : existing;
        if (!DataType.isEmpty()) {
            element.setAttribute(QStringLiteral("xmlns:dt"), DataTypeNamespace);
            element.setAttribute(DataTypeAttribute, DataType);
        }
        setText(document_, element, text);
        if (saveNow) {
            SaveXMLFile();
        }
    } catch (const VbError &) {
    }
}

QVariant cXMLRegistry::GetSettingEx(const QString &a_sSection, const QString &a_sKey,
                                    const QVariant &a_sDefault)
{
    try {
        const QDomElement element = locateSetting(a_sSection, a_sKey, QStringLiteral("GetSetting"));
        return element.isNull() ? a_sDefault : typedValue(element);
    } catch (const VbError &) {
        return a_sDefault;
    }
}

QVariant cXMLRegistry::GetSettingExText(const QString &a_sSection, const QString &a_sKey,
                                        const QVariant &a_sDefault)
{
    try {
        const QDomElement element = locateSetting(a_sSection, a_sKey, QStringLiteral("GetSetting"));
        return element.isNull() ? a_sDefault : QVariant(element.text());
    } catch (const VbError &) {
        return a_sDefault;
    }
}

std::optional<QStringList> cXMLRegistry::NodeList(const QString &a_sAppName,
                                                  const QString &a_sSection)
{
    if (!open_) {
        return std::nullopt;
    }
    const QString app = lookupName(a_sAppName);
    const QString section = lookupName(a_sSection);
    const QDomElement root = document_.documentElement();
    const QDomElement node = root.isNull()       ? QDomElement()
                             : section.isEmpty() ? firstAnywhere(root, QString(), app)
                                                 : firstAnywhere(root, app, section);
    QStringList names;
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        names.append(child.nodeName());
    }
    return names;
}

std::vector<std::pair<QString, QString>> cXMLRegistry::sectionEntries(const QString &a_sSection)
{
    std::vector<std::pair<QString, QString>> entries;
    if (!open_) {
        return entries;
    }
    const QString path =
        QStringLiteral("/*/") + lookupName(appName_) + QLatin1Char('/') + lookupName(a_sSection);
    const QDomElement root = document_.documentElement();
    const QDomElement section = root.isNull() ? QDomElement() : LocateNode(path, root);
    for (QDomNode child = section.firstChild(); !child.isNull(); child = child.nextSibling()) {
        const QString name = child.nodeName();
        const bool addressable = child.isElement() && lookupName(name) == name;
        entries.emplace_back(name,
                             addressable ? child.toElement().text() : QStringLiteral("Unknown"));
    }
    return entries;
}

void cXMLRegistry::WriteBinData(const QString &strFileName, const QByteArray &arrBuffer)
{
    // The whole file is replaced: a shorter array leaves nothing of the older content behind.
    QString cause;
    if (!platform::win::WholeFileWriter::writeFile(strFileName, arrBuffer, &cause)) {
        throw VbError(FileAccessError, QStringLiteral("WriteBinData"),
                      QStringLiteral("Path/File access error") + causeText(cause));
    }
}

QByteArray cXMLRegistry::ReadBinData(const QString &strFileName)
{
    QFile file(strFileName);
    openToRead(file, QStringLiteral("ReadBinData"));
    return file.readAll();
}

} // namespace app::common
