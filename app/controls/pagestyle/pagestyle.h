#ifndef APP_CONTROLS_PAGESTYLE_PAGESTYLE_H
#define APP_CONTROLS_PAGESTYLE_PAGESTYLE_H

#include <QString>

class QWidget;

namespace app::controls {
class VXBtn;
}

namespace app::controls::pagestyle {

// The looks the device pages give their fields: each is a style of the main window's templates,
// so the branding colours reach every page.
enum class PageStyle { Header, Body, Panel, Field, Button, Lcd, LcdUnits };

QString styleName(PageStyle style);

// A text that takes no input (a label, a read-only value).
app::controls::VXBtn *makeLabel(QWidget *parent, const QString &caption, PageStyle style);
// A push button.
app::controls::VXBtn *makeButton(QWidget *parent, const QString &caption);
// An entry field (set up by the page with SetupEditField).
app::controls::VXBtn *makeField(QWidget *parent);

} // namespace app::controls::pagestyle

#endif
