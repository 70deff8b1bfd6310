// Signs a branding file: writes the salted digest of its data section into its md5hash
// element, exactly as the toolkit checks it, and proves the result with the toolkit's own check.
//   hxr-vxbsign <source.vxb> <signed.vxb>

#include <cstdio>

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include "app/common/md5.h"
#include "app/common/xmlmodule.h"
#include "app/common/xmlregistry.h"

namespace {

const QString AppName = QStringLiteral("KTWToolkit");
const QString Section = QStringLiteral("Data");

int fail(const QString &message)
{
    std::fprintf(stderr, "hxr-vxbsign: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: hxr-vxbsign <source.vxb> <signed.vxb>\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return fail(QStringLiteral("cannot copy %1 to %2").arg(source, target));
    QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                 QFile::ReadOther);

    using namespace app::common;
    if (const QString error = OpenXMLStore(target, AppName, false); !error.isEmpty())
        return fail(error);
    QString joined;
    int keys = 0;
    for (const auto &[name, text] : XMLStore().sectionEntries(Section)) {
        if (name.toLower() != QLatin1String("md5hash")) {
            joined += text;
            ++keys;
        }
    }
    if (keys == 0)
        return fail(QStringLiteral("%1 has no data section").arg(source));
    XMLStore().SaveSetting(Section, QStringLiteral("MD5Hash"), SaltedMD5(joined));
    try {
        XMLStore().SaveXMLFile();
    } catch (...) {
        return fail(QStringLiteral("cannot write %1").arg(target));
    }

    // The file as the toolkit will read it.
    if (const QString error = OpenXMLStore(target, AppName, false); !error.isEmpty())
        return fail(error);
    if (!VerifyXMLHash(Section))
        return fail(QStringLiteral("the signed file %1 does not pass the check").arg(target));
    return 0;
}
