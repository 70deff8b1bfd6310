// The XML store and the branding check: a file the store opens and saves opens again, with the
// same settings and the same verdict of the integrity check; a refused save leaves the file.

#include <cstdint>

#include <QString>

#include "app/common/xmlmodule.h"
#include "app/common/xmlregistry.h"
#include "fuzz/fuzzcheck.h"
#include "platform/vb/vberror.h"

namespace {

const QString AppName = QStringLiteral("KTWToolkit");
const QString Section = QStringLiteral("Data");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString path = fuzzing::scratch().filePath(QStringLiteral("brand.vxb"));
    fuzzing::writeAll(path, file);

    // The program's own shared store, as the branding check uses it.
    app::common::cXMLRegistry &store = app::common::XMLStore();
    if (!app::common::OpenXMLStore(path, AppName, false).isEmpty())
        return 0;
    const auto entries = store.sectionEntries(Section);
    const auto nodes = store.NodeList(AppName, Section);
    const bool verified = app::common::VerifyXMLHash(Section);

    try {
        store.SaveXMLFile();
    } catch (const platform::vb::VbError &) {
        fuzzing::check(fuzzing::readAll(path) == file, "a refused save leaves the file");
        return 0;
    }
    fuzzing::check(app::common::OpenXMLStore(path, AppName, false).isEmpty(),
                   "what the store saves it reopens");
    fuzzing::check(store.sectionEntries(Section) == entries, "the settings read the same");
    fuzzing::check(store.NodeList(AppName, Section) == nodes, "the keys list the same");
    fuzzing::check(app::common::VerifyXMLHash(Section) == verified,
                   "the integrity check gives the same verdict");
    return 0;
}
