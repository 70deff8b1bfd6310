// Any bytes as a downloaded version file: the reading ends in one of the outcomes or in a
// VbError, never in a crash. Reading a version file never downloads anything.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QCoreApplication>
#include <QTemporaryFile>

#include "platform/vb/vberror.h"
#include "updater/versionfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_versionfile";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);

    QTemporaryFile file;
    if (!file.open())
        return 0;
    file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    file.close();
    try {
        const updater::VersionAssessment assessment =
            updater::assessVersionFile(file.fileName(), 1, 0, 5);
        switch (assessment.outcome) {
        case updater::VersionOutcome::Missing:
        case updater::VersionOutcome::Refused:
            break;
        case updater::VersionOutcome::Offer: {
            const updater::InstallerOffer offer = updater::installerOffer(file.fileName());
            if (offer.valid() && (offer.size <= 0 || offer.size > updater::InstallerOffer::MaxSize))
                std::abort();
            break;
        }
        case updater::VersionOutcome::UpToDate:
            if (const auto id = updater::newsId(file.fileName()))
                updater::newsDocument(file.fileName(), *id);
            break;
        default:
            std::abort();
        }
    } catch (const platform::vb::VbError &error) {
        if (error.number() != platform::vb::VbError::Overflow &&
            error.number() != platform::vb::VbError::TypeMismatch)
            std::abort();
    }
    return 0;
}
