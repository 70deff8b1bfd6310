#include "app/common/cregistry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"
#include "support/errorof.h"

namespace {

using app::common::cRegistry;
using namespace platform::win;
using platform::vb::VbError;
using testsupport::errorOf;

class RegistryWrapper : public testing::Test
{
protected:
    void SetUp() override
    {
        reg_.setClassKey(HKeyCurrentUser);
        reg_.setSectionKey(QStringLiteral("Software\\T"));
        reg_.setValueKey(QStringLiteral("v"));
        reg_.setDefault(QStringLiteral("<default>"));
    }

    QVariant defaultValueOf(HKey root, const QString &section)
    {
        cRegistry reader(store_);
        return reader.ValueEx(root, section, QString(), RegSz, QStringLiteral("<none>"));
    }

    QTemporaryDir dir_;
    RegistryStore store_{dir_.filePath(QStringLiteral("registry.json"))};
    cRegistry reg_{store_};
};

struct TextCase
{
    const char *text;
    uint32_t storedType;
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class RegistryTextTypes : public RegistryWrapper, public testing::WithParamInterface<TextCase>
{};

TEST_P(RegistryTextTypes, StoreExpandableTextOnlyForAVariableName)
{
    reg_.setValueType(RegSz);
    reg_.setValue(QString::fromUtf8(GetParam().text));
    reg_.setValueType(0);
    reg_.Value();
    EXPECT_EQ(reg_.ValueType(), GetParam().storedType);
}

INSTANTIATE_TEST_SUITE_P(Percent, RegistryTextTypes,
                         testing::Values(TextCase{"%HXR_UNSET_VARIABLE%", RegExpandSz},
                                         TextCase{"a%b%", RegExpandSz}, TextCase{"50%", RegSz},
                                         TextCase{"%%", RegSz}, TextCase{"x%%y", RegSz},
                                         TextCase{"plain", RegSz}));

TEST_F(RegistryWrapper, ExpandsVariablesOnReadingAndLeavesUnknownOnes)
{
    qputenv("HXR_REG_TEST", "/opt/x");
    reg_.setValueType(RegSz);
    reg_.setValue(QStringLiteral("%HXR_REG_TEST%/bin:%HXR_NOT_SET%"));
    EXPECT_EQ(reg_.Value(), QVariant(QStringLiteral("/opt/x/bin:%HXR_NOT_SET%")));
    EXPECT_EQ(reg_.ValueType(), RegExpandSz);
}

TEST_F(RegistryWrapper, MissingValueGivesTheDefaultAndKeepsTheType)
{
    reg_.setValueType(RegBinary);
    EXPECT_EQ(reg_.Value(), QVariant(QStringLiteral("<default>")));
    EXPECT_EQ(reg_.ValueType(), RegBinary);
    reg_.setClassKey(0);
    EXPECT_EQ(reg_.Value(), QVariant(QStringLiteral("<default>")));
}

TEST_F(RegistryWrapper, NumbersAreWhole32BitValues)
{
    const struct
    {
        QVariant value;
        uint32_t type;
        qint32 expected;
    } cases[] = {{42, RegDword, 42},
                 {-1, RegDword, -1},
                 {QVariant(0xFFFFFFFFu), RegDword, -1},
                 {QVariant(7.0), RegDword, 7},
                 {QVariant(qint16(-5)), RegDwordBigEndian, -5}};
    for (const auto &c : cases) {
        reg_.setValueType(c.type);
        reg_.setValue(c.value);
        EXPECT_EQ(reg_.Value(), QVariant(c.expected)) << c.value.toString().toStdString();
        EXPECT_EQ(reg_.ValueType(), RegDword); // big-endian requests are stored plainly
    }
    HKey key = 0;
    ASSERT_EQ(store_.openKey(HKeyCurrentUser, QStringLiteral("Software\\T"), KeyAllAccess, key),
              RegSuccess);
    store_.setValue(key, QStringLiteral("be"), RegDwordBigEndian, QByteArray("\0\0\x01\x02", 4));
    store_.closeKey(key);
    reg_.setValueKey(QStringLiteral("be"));
    EXPECT_EQ(reg_.Value(), QVariant(qint32(0x0102)));
}

TEST_F(RegistryWrapper, NumberThatIsNotWholeRaisesATypeErrorAndWritesNothing)
{
    reg_.setValueType(RegDword);
    for (const QVariant &bad : {QVariant(1.5), QVariant(QStringLiteral("5")), QVariant(true),
                                QVariant(qint64(1) << 40)}) {
        EXPECT_EQ(errorOf([&] { reg_.setValue(bad); }).number(), VbError::TypeMismatch)
            << bad.toString().toStdString();
    }
    EXPECT_EQ(reg_.Value(), QVariant(QStringLiteral("<default>")));
}

TEST_F(RegistryWrapper, BinaryNeedsAByteArray)
{
    reg_.setValueType(RegBinary);
    reg_.setValue(QByteArray("\0\x01\xFF", 3));
    EXPECT_EQ(reg_.Value(), QVariant(QByteArray("\0\x01\xFF", 3)));
    const VbError bare = errorOf([&] { reg_.setValue(QStringLiteral("text")); });
    EXPECT_EQ(bare.number(), cRegistry::KeyFailure);
    EXPECT_TRUE(bare.source().isEmpty());
    EXPECT_TRUE(bare.description().isEmpty());
}

TEST_F(RegistryWrapper, TextsLoseOnlyTheirTerminators)
{
    HKey key = 0;
    ASSERT_EQ(store_.createKey(HKeyCurrentUser, QStringLiteral("Software\\T"), KeyAllAccess, key),
              RegSuccess);
    const struct
    {
        const char *name;
        uint32_t type;
        QByteArray data;
        QString expected;
    } cases[] = {{"unterminated", RegSz, "abc", QStringLiteral("abc")},
                 {"terminated", RegSz, QByteArray("abc\0", 4), QStringLiteral("abc")},
                 {"padded", RegSz, QByteArray("abc\0\0\0", 6), QStringLiteral("abc")},
                 {"empty", RegSz, QByteArray(), QString()},
                 {"list", RegMultiSz, QByteArray("a\0b\0\0", 5),
                  QStringLiteral("a") + QChar(0) + QStringLiteral("b") + QChar(0)}};
    for (const auto &c : cases) {
        store_.setValue(key, QString::fromUtf8(c.name), c.type, c.data);
        reg_.setValueKey(QString::fromUtf8(c.name));
        EXPECT_EQ(reg_.Value(), QVariant(c.expected)) << c.name;
    }
    store_.closeKey(key);
}

TEST_F(RegistryWrapper, TypesThatCannotBeWrittenRaiseTheSetError)
{
    reg_.setValueType(RegQword);
    const VbError e = errorOf([&] { reg_.setValue(QStringLiteral("x")); });
    EXPECT_EQ(e.number(), static_cast<int>(0x800469A9u));
    EXPECT_TRUE(e.source().endsWith(QLatin1String(".cRegistry")));
    EXPECT_EQ(e.description(), QStringLiteral("Failed to set registry value Key: '-2147483647',"
                                              "Section: 'Software\\T',Key: 'v' to value: 'x'"));
}

TEST_F(RegistryWrapper, KeysAndValuesAreCreatedListedAndDeleted)
{
    QStringList names;
    int count = -1;
    EXPECT_FALSE(reg_.KeyExists());
    EXPECT_FALSE(reg_.EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(reg_.EnumerateSections(names, count));

    EXPECT_TRUE(reg_.CreateKey());
    EXPECT_TRUE(reg_.KeyExists());
    reg_.setValueType(RegSz);
    for (const char *name : {"b", "a"}) {
        reg_.setValueKey(QString::fromUtf8(name));
        reg_.setValue(QStringLiteral("x"));
    }
    EXPECT_TRUE(reg_.EnumerateValues(names, count));
    EXPECT_EQ(names, (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(count, 2);

    reg_.setSectionKey(QStringLiteral("Software\\T\\Child"));
    reg_.CreateKey();
    reg_.setSectionKey(QStringLiteral("Software\\T"));
    EXPECT_TRUE(reg_.EnumerateSections(names, count));
    EXPECT_EQ(names, QStringList{QStringLiteral("Child")});
    EXPECT_EQ(errorOf([&] { reg_.DeleteKey(); }).description(),
              QStringLiteral("Failed to delete registry Key: '-2147483647',Section: 'Software\\T"));

    EXPECT_TRUE(reg_.DeleteValue());
    EXPECT_EQ(errorOf([&] { reg_.DeleteValue(); }).description(),
              QStringLiteral("Failed to delete registry Key: '-2147483647',Section: "
                             "'Software\\T',Key: 'a"));
    reg_.setSectionKey(QStringLiteral("Software\\None"));
    const VbError open = errorOf([&] { reg_.DeleteValue(); });
    EXPECT_EQ(open.number(), cRegistry::KeyFailure);
    EXPECT_EQ(open.description(), QStringLiteral("Failed to open key '-2147483647',Section: "
                                                 "'Software\\None' for delete access"));
}

TEST_F(RegistryWrapper, MachineNamesGetTheirPrefix)
{
    reg_.setMachine(QStringLiteral("LABPC"));
    EXPECT_EQ(reg_.Machine(), QStringLiteral("\\\\LABPC"));
    reg_.setMachine(QStringLiteral("\\\\LAB"));
    EXPECT_EQ(reg_.Machine(), QStringLiteral("\\\\LAB"));
    reg_.setMachine(QStringLiteral("AB"));
    EXPECT_EQ(reg_.Machine(), QString());
}

TEST_F(RegistryWrapper, AssociationWritesItsEntriesInBothRoots)
{
    reg_.CreateEXEAssociation(QStringLiteral(" /opt/hxr/hxr-toolkit "),
                              QStringLiteral("HXR.Config"), QStringLiteral("HXR Configuration"),
                              QStringLiteral("hcf"), QString(), false, QString(), false, QString(),
                              false, QString(), 0);
    EXPECT_EQ(reg_.ClassKey(), HKeyLocalMachine);
    const QString exe = QStringLiteral("\"/opt/hxr/hxr-toolkit\"");
    const struct
    {
        const char *key;
        QString value;
    } entries[] = {{".hcf", QStringLiteral("HXR.Config")},
                   {"HXR.Config", QStringLiteral("HXR Configuration")},
                   {"HXR.Config\\shell\\open", QStringLiteral("&Open")},
                   {"HXR.Config\\shell\\open\\command", exe + QStringLiteral(" \"%1\"")},
                   {"HXR.Config\\DefaultIcon", exe + QStringLiteral(",0")}};
    for (const auto &e : entries) {
        const QString key = QString::fromUtf8(e.key);
        EXPECT_EQ(defaultValueOf(HKeyClassesRoot, key), QVariant(e.value)) << e.key;
        EXPECT_EQ(defaultValueOf(HKeyLocalMachine, QStringLiteral("SOFTWARE\\Classes\\") + key),
                  QVariant(e.value))
            << e.key;
    }
    cRegistry lister(store_);
    lister.setClassKey(HKeyClassesRoot);
    lister.setSectionKey(QStringLiteral("HXR.Config\\shell"));
    QStringList verbs;
    int count = 0;
    EXPECT_TRUE(lister.EnumerateSections(verbs, count));
    EXPECT_EQ(verbs, QStringList{QStringLiteral("open")});
}

TEST_F(RegistryWrapper, AssociationVerbsAndTheirDefaults)
{
    reg_.CreateEXEAssociation(QStringLiteral("\"/opt/t\""), QStringLiteral("C"),
                              QStringLiteral("D"), QStringLiteral("x"), QStringLiteral("Run"), true,
                              QString(), true, QString(), true, QString(), -1);
    const struct
    {
        const char *key;
        const char *value;
    } entries[] = {{"C\\shell\\open", "Run"},
                   {"C\\shell\\print", "&Print"},
                   {"C\\shell\\print\\command", "\"/opt/t\" /p \"%1\""},
                   {"C\\shell\\add", "&Install x"},
                   {"C\\shell\\add\\command", "\"/opt/t\" /a \"%1\""},
                   {"C\\shell\\new", "&New"},
                   {"C\\shell\\new\\command", "\"/opt/t\" /n \"%1\""},
                   {"C\\DefaultIcon", "<none>"}};
    for (const auto &e : entries) {
        EXPECT_EQ(defaultValueOf(HKeyClassesRoot, QString::fromUtf8(e.key)),
                  QVariant(QString::fromUtf8(e.value)))
            << e.key;
    }
}

TEST_F(RegistryWrapper, AdditionalAssociationsNeedTriplesAndADefinedClass)
{
    const QStringList triple = {QStringLiteral("edit"), QStringLiteral("&Edit"),
                                QStringLiteral("/opt/t -e \"%1\"")};
    EXPECT_EQ(errorOf([&] {
                  reg_.CreateAdditionalEXEAssociations(
                      QStringLiteral("C"),
                      triple + QStringList{QStringLiteral("a"), QStringLiteral("b")});
              }).number(),
              static_cast<int>(0x800469ACu));
    EXPECT_EQ(errorOf([&] {
                  reg_.CreateAdditionalEXEAssociations(QStringLiteral("C"), triple);
              }).number(),
              static_cast<int>(0x800469ADu));

    reg_.CreateEXEAssociation(QStringLiteral("/opt/t"), QStringLiteral("C"), QStringLiteral("D"),
                              QStringLiteral("x"));
    reg_.CreateAdditionalEXEAssociations(QStringLiteral("C"), triple);
    EXPECT_EQ(defaultValueOf(HKeyClassesRoot, QStringLiteral("C\\shell\\edit")),
              QVariant(QStringLiteral("&Edit")));
    EXPECT_EQ(defaultValueOf(HKeyLocalMachine,
                             QStringLiteral("SOFTWARE\\Classes\\C\\shell\\edit\\command")),
              QVariant(QStringLiteral("/opt/t -e \"%1\"")));
}

TEST_F(RegistryWrapper, ValueExSetsThePropertiesAndAnEmptyTextWritesTheDefault)
{
    reg_.setValueEx(HKeyCurrentUser, QStringLiteral("Software\\VXLiveUpdate\\TEMP"),
                    QStringLiteral("TEMP"), RegSz, QStringLiteral("/tmp"), QString());
    EXPECT_EQ(reg_.SectionKey(), QStringLiteral("Software\\VXLiveUpdate\\TEMP"));
    EXPECT_EQ(reg_.ValueEx(HKeyCurrentUser, QStringLiteral("Software\\VXLiveUpdate\\TEMP"),
                           QStringLiteral("TEMP"), RegSz, QString()),
              QVariant(QStringLiteral("/tmp")));
}

} // namespace
