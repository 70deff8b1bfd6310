// Typesets a manual written in simple HTML as an A4 PDF for the program folder.
//   hxr-manualpdf <manual.html> <manual.pdf>

#include <cstdio>

#include <QFile>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QTextDocument>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "hxr-manualpdf: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: hxr-manualpdf <manual.html> <manual.pdf>"));

    QFile source(args.at(1));
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(args.at(1)));
    QTextDocument document;
    document.setHtml(QString::fromUtf8(source.readAll()));

    QPdfWriter writer(args.at(2));
    if (!writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter)))
        return fail(QStringLiteral("cannot lay out the pages"));
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    writer.setCreator(QStringLiteral("HXR Toolkit"));
    document.print(&writer);

    QFile written(args.at(2));
    if (!written.exists() || written.size() == 0)
        return fail(QStringLiteral("cannot write %1").arg(args.at(2)));
    return 0;
}
