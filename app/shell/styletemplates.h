#ifndef APP_SHELL_STYLETEMPLATES_H
#define APP_SHELL_STYLETEMPLATES_H

#include <QString>

class QWidget;

namespace app::controls {
class VXBtn;
} // namespace app::controls

namespace app::shell {

struct Branding;

// The style names of the templates, for the pages' fields.
namespace styles {
inline const QString FrmButton = QStringLiteral("FrmButton");
inline const QString Button = QStringLiteral("Button");
inline const QString Check = QStringLiteral("Check");
inline const QString Toggle = QStringLiteral("Toggle");
inline const QString Field = QStringLiteral("Field");
inline const QString Field1 = QStringLiteral("Field1");
inline const QString Hyper = QStringLiteral("Hyper");
inline const QString ChrtButton = QStringLiteral("ChrtButton");
inline const QString LCD = QStringLiteral("LCD");
inline const QString LCDSeg = QStringLiteral("LCDSeg");
inline const QString Title = QStringLiteral("Title");
inline const QString Header1 = QStringLiteral("Header1");
inline const QString Header2 = QStringLiteral("Header2");
inline const QString Body = QStringLiteral("Body");
inline const QString Live = QStringLiteral("Live");
inline const QString Liftout = QStringLiteral("Liftout");
} // namespace styles

// The hidden model fields that the program's fields copy their look from, one for each style
// name. The first control registered under a style is its model, so the templates are made
// before every other control of the window.
class StyleTemplates
{
public:
    explicit StyleTemplates(QWidget *window);

    // Colours the templates from the branding and hands their look to every field of their
    // style.
    void applyBranding(const Branding &b);

private:
    struct Templates
    {
        app::controls::VXBtn *BFrmButton = nullptr;
        app::controls::VXBtn *BButton = nullptr;
        app::controls::VXBtn *BCheck = nullptr;
        app::controls::VXBtn *BToggle = nullptr;
        app::controls::VXBtn *BField = nullptr;
        app::controls::VXBtn *BField1 = nullptr;
        app::controls::VXBtn *BHyper = nullptr;
        app::controls::VXBtn *BChrtButton = nullptr;
        app::controls::VXBtn *LCD = nullptr;
        app::controls::VXBtn *LCDSeg = nullptr;
        app::controls::VXBtn *BTitle = nullptr;
        app::controls::VXBtn *BHeader1 = nullptr;
        app::controls::VXBtn *BHeader2 = nullptr;
        app::controls::VXBtn *BBody = nullptr;
        app::controls::VXBtn *BLive = nullptr;
        app::controls::VXBtn *BLiftout = nullptr;
    };

    Templates t_;
};

} // namespace app::shell

#endif
