// Any configuration file either restores or is refused before the first write to the module:
// whatever bytes it holds, the restore's reading never crashes, and a file it accepts only
// ever writes numbers a single holds, with unit IDs whole from 0 to 255.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QTemporaryFile>

#include "app/pages/hcffile.h"
#include "platform/win/profile.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    namespace hcf = app::pages::hcf;
    QTemporaryFile file;
    if (!file.open())
        return 0;
    file.write(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    file.close();

    const platform::win::ParsedProfile parsed(file.fileName());
    if (!hcf::IsConfigurationFile(parsed, 1.0f))
        return 0; // refused: nothing is written
    for (const bool calibration : {false, true}) {
        for (const bool factory : {false, true}) {
            const hcf::RestorePlan plan = hcf::PlanRestore(parsed, calibration, factory);
            if (plan.refused()) {
                check(plan.writes.empty());
                continue;
            }
            for (const hcf::PlannedWrite &write : plan.writes) {
                if (write.step.calibrationDate)
                    continue;
                check(std::isfinite(write.value));
                if (hcf::IsUnitKey(write.step.key))
                    check(write.value >= 0.0f && write.value <= 255.0f &&
                          write.value == std::floor(write.value));
            }
        }
    }
    return 0;
}
