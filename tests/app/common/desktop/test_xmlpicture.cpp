#include "app/common/desktop/xmlpicture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/common/xmlmodule.h"

namespace {

using app::common::OpenXMLStore;
using app::common::desktop::LoadPictureFromBytes;
using app::common::desktop::ReadXMLPicture;

QByteArray pngBytes()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(XmlPicture, PicturesComeFromBinaryKeysInMemory)
{
    const QByteArray png = pngBytes();
    const QByteArray binary =
        "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" dt:dt=\"bin.base64\"";
    const QByteArray file = "<?xml version=\"1.0\"?>\n<brand>\n<ktwtoolkit>\n<data>\n<logo " +
                            binary + ">" + png.toBase64() + "</logo>\n<logosmall " + binary +
                            "></logosmall>\n<plain>" + png.toBase64() + "</plain>\n<junk " +
                            binary + ">" + QByteArray("not a picture").toBase64() +
                            "</junk>\n</data>\n</ktwtoolkit>\n</brand>\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("default.vxb"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    ASSERT_TRUE(OpenXMLStore(path, QStringLiteral("KTWToolkit"), false).isEmpty());

    // A temporary folder of this test's own: other tests write to the shared one meanwhile.
    QTemporaryDir privateTemp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", privateTemp.path().toLocal8Bit());
    const QStringList before = QDir::temp().entryList(QDir::Files);
    EXPECT_EQ(ReadXMLPicture(QStringLiteral("Data"), QStringLiteral("Logo")).size(), QSize(3, 2));
    EXPECT_TRUE(ReadXMLPicture(QStringLiteral("Data"), QStringLiteral("LogoSmall")).isNull());
    EXPECT_TRUE(ReadXMLPicture(QStringLiteral("Data"), QStringLiteral("Plain")).isNull());
    EXPECT_TRUE(ReadXMLPicture(QStringLiteral("Data"), QStringLiteral("Junk")).isNull());
    EXPECT_TRUE(ReadXMLPicture(QStringLiteral("Data"), QStringLiteral("Missing")).isNull());
    EXPECT_EQ(QDir::temp().entryList(QDir::Files), before) << "decoded in memory";
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);

    EXPECT_TRUE(LoadPictureFromBytes(QByteArray()).isNull());
    EXPECT_TRUE(LoadPictureFromBytes(png.left(1)).isNull());
    EXPECT_FALSE(LoadPictureFromBytes(png).isNull());
}

} // namespace
