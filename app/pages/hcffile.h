#ifndef APP_PAGES_HCFFILE_H
#define APP_PAGES_HCFFILE_H

#include <functional>
#include <optional>
#include <vector>

#include <QString>

namespace platform::win {
class ParsedProfile;
}

namespace app::pages::hcf {

// The device configuration file (".hcf"): INI text, one key per parameter, numbers with "." as
// the decimal separator whatever the user's, "*NULL*" for an empty value.

inline const QString FileTypeWord = QStringLiteral("HXR");

// A number as the file keeps it: the single-precision value's shortest text, with ".".
QString NumberText(float value);

// A value of the file as a number: the whole text one number ("," or "." as decimal
// separator, exponent allowed) that a single can hold; nothing otherwise.
std::optional<float> ParseNumber(const QString &text);

// The leading number of a text, "," read as "." (0 when there is none): how the file's model
// and serial number are compared.
double LeadingNumber(const QString &text);

// Whether the parameter is a unit ID (a whole number 0 to 255).
bool IsUnitKey(const QString &key);

// One step of a restore: a parameter to write, or (calibrationDate) the module's calibration
// date to set from the clock.
struct RestoreStep
{
    QString section;
    QString key;
    bool calibrationDate = false;
};

// The calibration restore, in writing order, then the factory restore.
const std::vector<RestoreStep> &CalibrationSteps();
const std::vector<RestoreStep> &FactorySteps();

// A step with the value the file holds for it.
struct PlannedWrite
{
    RestoreStep step;
    QString text;
    float value = 0.0f;
};

// What a restore will write, every value checked before the first write: a missing key is
// left out; a value that is no number, or a unit ID that is no whole number from 0 to 255,
// refuses the whole file (badKey and badText name it).
struct RestorePlan
{
    std::vector<PlannedWrite> writes;
    QString badKey;
    QString badText;

    bool refused() const { return !badKey.isEmpty(); }
};

// A restore reads the file once (app::common::ReadIniFile) and then its keys from what was
// read.

// Reads a key the way a restore does: the stored text, "*" when it is missing. `step` runs
// after each read (the progress bar).
using ReadStep = std::function<void()>;
QString ReadKey(const platform::win::ParsedProfile &file, const QString &section,
                const QString &key, const ReadStep &step = {});

// Whether the file is a configuration file of this model: its file-type word, and its model
// number equal to the module's.
bool IsConfigurationFile(const platform::win::ParsedProfile &file, float model,
                         const ReadStep &step = {});

RestorePlan PlanRestore(const platform::win::ParsedProfile &file, bool calibration, bool factory,
                        const ReadStep &step = {});

} // namespace app::pages::hcf

#endif
