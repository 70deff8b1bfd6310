#include "app/controls/pagestyle/pagestyle.h"

#include <QFont>

#include "app/common/desktop/fonts.h"
#include "app/controls/vxbtn.h"

namespace app::controls::pagestyle {

using app::controls::VXBtn;

QString styleName(PageStyle style)
{
    switch (style) {
    case PageStyle::Header:
        return QStringLiteral("Header1");
    case PageStyle::Body:
        return QStringLiteral("Body");
    case PageStyle::Panel:
        return QStringLiteral("Liftout");
    case PageStyle::Field:
        return QStringLiteral("Field");
    case PageStyle::Button:
        return QStringLiteral("Button");
    case PageStyle::Lcd:
        return QStringLiteral("LCD");
    case PageStyle::LcdUnits:
        return QStringLiteral("Live");
    }
    return {};
}

namespace {

VXBtn *make(QWidget *parent, const QString &caption, PageStyle style)
{
    auto *btn = new VXBtn(parent);
    // The style brings the branding's colours and font face; the size is the page's own.
    btn->setStyle(styleName(style));
    QFont font = btn->Font();
    switch (style) {
    case PageStyle::Lcd:
        font.setFamily(app::common::desktop::LedFontFamily.toString());
        font.setPointSizeF(40.0);
        btn->setStretch(false);
        btn->setAlignment(1);
        btn->setPadding(14);
        break;
    case PageStyle::LcdUnits:
        btn->setStretch(true);
        btn->setAlignment(0);
        break;
    case PageStyle::Header:
        font.setPointSizeF(12.0);
        font.setBold(true);
        btn->setStretch(false);
        btn->setAlignment(0);
        break;
    case PageStyle::Body:
        font.setPointSizeF(10.0);
        btn->setStretch(false);
        btn->setAlignment(0);
        break;
    case PageStyle::Panel:
    case PageStyle::Field:
    case PageStyle::Button:
        font.setPointSizeF(10.0);
        btn->setStretch(false);
        break;
    }
    btn->setFont(font);
    btn->setCaption(caption);
    return btn;
}

} // namespace

VXBtn *makeLabel(QWidget *parent, const QString &caption, PageStyle style)
{
    VXBtn *btn = make(parent, caption, style);
    btn->setInactive(true);
    btn->setFocusPolicy(Qt::NoFocus);
    return btn;
}

VXBtn *makeButton(QWidget *parent, const QString &caption)
{
    return make(parent, caption, PageStyle::Button);
}

VXBtn *makeField(QWidget *parent)
{
    return make(parent, QString(), PageStyle::Field);
}

} // namespace app::controls::pagestyle
