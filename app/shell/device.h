#ifndef APP_SHELL_DEVICE_H
#define APP_SHELL_DEVICE_H

#include <cstdint>

#include <QString>
#include <QStringList>

namespace app::shell {

// One page set of the button bar: per button, in button order, a glyph of the button font,
// the form name of its page and a tooltip joining a title and a body with "*".
class Device
{
public:
    int16_t Photo = 0;
    QString iDescription;
    QString MODEL;
    QString Units;
    QString UnitDescription;
    bool IsStrain = false;
    QStringList FormCollection;
    int16_t DefaultPage = 1;
    float SaveDelay = 0.0f;
    bool RequiresReset = false;
    bool HasLowPowerMode = false;
    QStringList ButtonImageCollection;
    QStringList ButtonTooltipCollection;
    QString HelpPDF;

    QString Alias() const { return {}; }
    // 1-based; raise platform::vb::VbError for an index outside the set.
    QString ButtonImage(int index) const;
    QString ButtonToolTip(int index) const;
    QString Form(int index) const;
    int ButtonCount() const { return static_cast<int>(ButtonImageCollection.size()); }
    QString Description() const { return iDescription; }
    void setDescription(const QString &description) { iDescription = description; }

    void addButton(const QString &glyph, const QString &formName, const QString &tooltip);
};

} // namespace app::shell

#endif
