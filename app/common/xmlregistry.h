#ifndef APP_COMMON_XMLREGISTRY_H
#define APP_COMMON_XMLREGISTRY_H

#include <optional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace app::common {

// Settings kept in an XML file in the manner of a registry: the setting of (application,
// section, key) is the element root/application/section/key, whose text (or typed value) is the
// value. Names are looked up with every space replaced by "_", trimmed and lower-cased, and
// compared case-sensitively, so element names in a file must be lower case to be found. The
// root's name is free; a created document has the root "xmlregistry".
//
// Typed values carry the data type in a "dt:dt" attribute (namespace
// "urn:schemas-microsoft-com:datatypes"): "bin.base64" and "bin.hex" hold byte arrays,
// "string" a text.
//
// The store is closed until OpenXMLFile succeeds; while closed the reads give their defaults and
// the writes do nothing. Errors inside the reads and writes do not reach the caller.
class cXMLRegistry
{
public:
    // Error numbers raised inside the class.
    static constexpr int ObjectError = 20000;
    static constexpr int NodeIsNothing = 20001;
    static constexpr int FileNotOpen = 20002;
    static constexpr int ParseError = 20003;

    cXMLRegistry();

    // The application name given to OpenXMLFile, spaces replaced by "_".
    QString CurrentAppName() const { return appName_; }

    // Opens a file (or, with a_bCreate, replaces it with an empty document); false, with the store
    // closed, when the file is missing, does not parse or cannot be written.
    bool OpenXMLFile(const QString &a_sFilename, const QString &a_AppName, bool a_bCreate);
    // Saves the document to its file; raises a platform::vb::VbError when that fails.
    void SaveXMLFile();

    // The key's text; a_sDefault when there is no such element; the empty text when closed.
    QString GetSetting(const QString &a_sSection, const QString &a_sKey, const QString &a_sDefault);
    // Sets the key's text, creating the elements on its path; saves the file when saveNow.
    void SaveSetting(const QString &a_sSection, const QString &a_sKey, const QString &a_sValue,
                     bool saveNow = false);

    // Whole files as bytes; raise a platform::vb::VbError on failure.
    void WriteBinData(const QString &strFileName, const QByteArray &arrBuffer);
    QByteArray ReadBinData(const QString &strFileName);

    // As SaveSetting, storing the value as the typed value of DataType (when not empty).
    void SaveSettingEx(const QString &a_sSection, const QString &a_sKey, const QVariant &a_sValue,
                       const QString &DataType, bool saveNow = false);
    // The key's typed value (a QByteArray for the binary types, else its text), or a_sDefault.
    QVariant GetSettingEx(const QString &a_sSection, const QString &a_sKey,
                          const QVariant &a_sDefault);
    // The key's raw element text, or a_sDefault.
    QVariant GetSettingExText(const QString &a_sSection, const QString &a_sKey,
                              const QVariant &a_sDefault);

    // The names of the child nodes of the first a_sAppName/a_sSection element at any depth, in
    // document order; nothing when closed.
    std::optional<QStringList> NodeList(const QString &a_sAppName, const QString &a_sSection);

    // The children of the section element the reads use (root/application/section), each with
    // the text a read of its name finds in that very child: its raw text, or "Unknown" for a
    // child that no key name addresses (not an element, or a name that is not in lookup form).
    std::vector<std::pair<QString, QString>> sectionEntries(const QString &a_sSection);

    // The lookup form of a name: spaces replaced by "_", trimmed, lower-cased.
    static QString lookupName(const QString &name);

private:
    QDomElement LocateNode(const QString &path, const QDomNode &start) const;
    QDomElement BuildNodePath(const QString &path);
    QDomElement NewElement(const QString &name);
    QString settingPath(const QString &section, const QString &key) const;
    QDomElement locateSetting(const QString &section, const QString &key, const QString &source);

    QString fileName_;
    QString appName_;
    QDomDocument document_;
    bool open_ = false;
};

} // namespace app::common

#endif
