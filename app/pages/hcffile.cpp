#include "app/pages/hcffile.h"

#include <cmath>
#include <limits>

#include <QRegularExpression>

#include "app/common/inifilemodule.h"
#include "platform/vb/cstr.h"
#include "platform/vb/val.h"

namespace app::pages::hcf {

namespace {

const QString Missing = QStringLiteral("*");

std::vector<RestoreStep> steps(const QString &section, std::initializer_list<const char *> keys)
{
    std::vector<RestoreStep> list;
    for (const char *key : keys)
        list.push_back({section, QString::fromLatin1(key)});
    return list;
}

} // namespace

QString NumberText(float value)
{
    platform::vb::NumberSeparators separators;
    separators.decimal = QLatin1Char('.');
    separators.thousands = QLatin1Char(',');
    return platform::vb::CStr(value, separators);
}

std::optional<float> ParseNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    QString plain = text.trimmed();
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    if (!number.match(plain).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

double LeadingNumber(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    return platform::vb::Val(plain);
}

bool IsUnitKey(const QString &key)
{
    return key == QLatin1String("UNTE") || key == QLatin1String("UNTD") ||
           key == QLatin1String("UNTZ");
}

const std::vector<RestoreStep> &CalibrationSteps()
{
    static const std::vector<RestoreStep> list = [] {
        std::vector<RestoreStep> all =
            steps(QStringLiteral("Calibration"), {"EGAI", "EOFS", "UNTE"});
        // The module's calibration date becomes the time of the restore.
        all.push_back({{}, {}, true});
        for (const RestoreStep &s : steps(QStringLiteral("Display"), {"DGAI", "DOFS", "UNTD"}))
            all.push_back(s);
        for (const RestoreStep &s : steps(QStringLiteral("Zero"), {"ZERO", "UNTZ"}))
            all.push_back(s);
        return all;
    }();
    return list;
}

const std::vector<RestoreStep> &FactorySteps()
{
    static const std::vector<RestoreStep> list = steps(QStringLiteral("Factory"), {"FMVG", "FMVO"});
    return list;
}

QString ReadKey(const platform::win::ParsedProfile &file, const QString &section,
                const QString &key, const ReadStep &step)
{
    const QString text = app::common::ReadIniValue(file, section, key, Missing);
    if (step)
        step();
    return text;
}

bool IsConfigurationFile(const platform::win::ParsedProfile &file, float model,
                         const ReadStep &step)
{
    const QString type = ReadKey(file, QStringLiteral("Data"), QStringLiteral("Type"), step);
    const QString fileModel =
        ReadKey(file, QStringLiteral("Factory"), QStringLiteral("MODL"), step);
    return type == FileTypeWord && static_cast<float>(LeadingNumber(fileModel)) == model;
}

RestorePlan PlanRestore(const platform::win::ParsedProfile &file, bool calibration, bool factory,
                        const ReadStep &step)
{
    RestorePlan plan;
    std::vector<RestoreStep> wanted;
    if (calibration)
        wanted = CalibrationSteps();
    if (factory)
        wanted.insert(wanted.end(), FactorySteps().begin(), FactorySteps().end());
    for (const RestoreStep &s : wanted) {
        if (s.calibrationDate) {
            plan.writes.push_back({s, {}, 0.0f});
            continue;
        }
        const QString text = ReadKey(file, s.section, s.key, step);
        if (text == Missing)
            continue;
        const std::optional<float> value = ParseNumber(text);
        const bool valid = value && (!IsUnitKey(s.key) || (*value >= 0.0f && *value <= 255.0f &&
                                                           *value == std::floor(*value)));
        if (!valid) {
            plan.writes.clear();
            plan.badKey = s.key;
            plan.badText = text;
            return plan;
        }
        plan.writes.push_back({s, text, *value});
    }
    return plan;
}

} // namespace app::pages::hcf
