// The control's stored properties: what a form keeps of it and how it comes back.

#include "app/controls/vxbtn.h"

#include "platform/win/propertybag.h"

namespace app::controls {

void VXBtn::InitProperties(const QFont &containerFont, OleColour containerBackColor)
{
    font_ = containerFont;
    BackColor_ = containerBackColor;
    listPosition_ = -1;
    layoutControl();
}

void VXBtn::ReadProperties(const platform::win::PropertyBag &bag)
{
    Enabled_ = bag.read(QStringLiteral("Enabled"), true).toBool();
    setBorderStyle(bag.read(QStringLiteral("BorderStyle"), 0).toInt());
    setCaption(bag.read(QStringLiteral("Caption"), QStringLiteral("Caption")).toString());
    setFont(bag.read(QStringLiteral("Font"), font_).value<QFont>());
    ForeColorDown_ = bag.readColour(QStringLiteral("ForeColorDown"), WindowText);
    State_ = bag.read(QStringLiteral("State"), false).toBool();
    setForeColor(bag.readColour(QStringLiteral("ForeColor"), WindowText));
    ForeColorDisabled_ = bag.readColour(QStringLiteral("ForeColorDisabled"), GreyText);
    ForeColorHover_ = bag.readColour(QStringLiteral("ForeColorHover"), WindowText);
    ShowHandPointer_ = bag.read(QStringLiteral("ShowHandPointer"), true).toBool();
    setBorderWidth(static_cast<int16_t>(bag.read(QStringLiteral("BorderWidth"), 1).toInt()));
    HoverOffset_ = static_cast<uint8_t>(bag.read(QStringLiteral("HoverOffset"), 1).toUInt());
    setBackColor(bag.readColour(QStringLiteral("BackColor"), WindowBackground));
    Underline_ = bag.read(QStringLiteral("Underline"), false).toBool();
    ClickOffset_ = static_cast<uint8_t>(bag.read(QStringLiteral("ClickOffset"), 0).toUInt());
    BackColorDisabled_ = bag.readColour(QStringLiteral("BackColorDisabled"), InactiveCaption);
    BackColorHover_ = bag.readColour(QStringLiteral("BackColorHover"), WindowBackground);
    BackColorDown_ = bag.readColour(QStringLiteral("BackColorDown"), WindowBackground);
    BorderColorFocus_ = bag.readColour(QStringLiteral("BorderColorFocus"), 0xFFu);
    setBorderColor(bag.readColour(QStringLiteral("BorderColor"), ButtonHighlight));
    Style_ = bag.read(QStringLiteral("Style"), QString()).toString();
    Inactive_ = bag.read(QStringLiteral("Inactive"), false).toBool();
    Alignment_ = static_cast<int16_t>(bag.read(QStringLiteral("Alignment"), 2).toInt());
    Stretch_ = bag.read(QStringLiteral("Stretch"), true).toBool();
    TOGGLE_ = bag.read(QStringLiteral("Toggle"), false).toBool();
    setPadding(static_cast<uint8_t>(bag.read(QStringLiteral("Padding"), 0).toUInt()));
    setEditable(static_cast<uint8_t>(bag.read(QStringLiteral("Editable"), 0).toUInt()));
    CaptionOff_ = bag.read(QStringLiteral("CaptionOff"), QString()).toString();
    CaptionOn_ = bag.read(QStringLiteral("CaptionOn"), QString()).toString();
    setList(bag.read(QStringLiteral("List"), QString()).toString());
    Allowed_ = bag.read(QStringLiteral("Allowed"), QString()).toString();
    MaxLength_ = static_cast<int16_t>(bag.read(QStringLiteral("MaxLength"), 0).toInt());
    Format_ = bag.read(QStringLiteral("Format"), QString()).toString();
    Min_ = bag.read(QStringLiteral("Min"), 0.0).toDouble();
    Max_ = bag.read(QStringLiteral("Max"), 0.0).toDouble();
    UpperCase_ = bag.read(QStringLiteral("UpperCase"), false).toBool();
    Source_ = bag.read(QStringLiteral("Source"), QString()).toString();
    UseListIndex_ = bag.read(QStringLiteral("UseListIndex"), false).toBool();
    DeferSave_ = bag.read(QStringLiteral("DeferSave"), false).toBool();
    IsNumeric_ = bag.read(QStringLiteral("IsNumeric"), false).toBool();
    setBorderColorDisabled(bag.readColour(QStringLiteral("BorderColorDisabled"), 0));
    listPosition_ = 0; // the stored ListIndex is not read back
    toolTipText_ = bag.read(QStringLiteral("ToolTipText"), QString()).toString();
    setToolTip(toolTipText_);
    stylePending_ = !Style_.isEmpty();

    // The list was filled before its entry numbers were known; number it now.
    if (!Allowed_.isEmpty() && !List_.isEmpty())
        fillList();
    // Enabled and Inactive were stored directly: the window must follow them, or a control
    // loaded disabled would still take clicks and keys.
    applyHostEnabled();
    if (!Enabled_)
        border_ = BorderColorDisabled_;
    layoutControl();
}

void VXBtn::WriteProperties(platform::win::PropertyBag &bag) const
{
    bag.write(QStringLiteral("Enabled"), Enabled_, true);
    bag.write(QStringLiteral("BorderStyle"), BorderStyle_, 0);
    bag.write(QStringLiteral("Caption"), Caption_, QStringLiteral("Caption"));
    bag.write(QStringLiteral("Font"), font_, QVariant());
    bag.writeColour(QStringLiteral("ForeColorDown"), ForeColorDown_, WindowText);
    bag.write(QStringLiteral("State"), State_, false);
    bag.writeColour(QStringLiteral("ForeColor"), ForeColor_, WindowText);
    bag.writeColour(QStringLiteral("ForeColorDisabled"), ForeColorDisabled_, GreyText);
    bag.writeColour(QStringLiteral("ForeColorHover"), ForeColorHover_, WindowText);
    bag.write(QStringLiteral("ShowHandPointer"), ShowHandPointer_, true);
    bag.write(QStringLiteral("BorderWidth"), static_cast<int>(BorderWidth_), 1);
    bag.write(QStringLiteral("HoverOffset"), static_cast<uint>(HoverOffset_), 1u);
    bag.writeColour(QStringLiteral("BackColor"), BackColor_, WindowBackground);
    bag.write(QStringLiteral("Underline"), Underline_, false);
    bag.write(QStringLiteral("ClickOffset"), static_cast<uint>(ClickOffset_), 0u);
    bag.writeColour(QStringLiteral("BackColorDisabled"), BackColorDisabled_, InactiveCaption);
    bag.writeColour(QStringLiteral("BackColorHover"), BackColorHover_, WindowBackground);
    bag.writeColour(QStringLiteral("BackColorDown"), BackColorDown_, WindowBackground);
    bag.writeColour(QStringLiteral("BorderColorFocus"), BorderColorFocus_, 0xFFu);
    bag.writeColour(QStringLiteral("BorderColor"), BorderColor_, ButtonHighlight);
    bag.write(QStringLiteral("Style"), Style_, QString());
    bag.write(QStringLiteral("Inactive"), Inactive_, false);
    bag.write(QStringLiteral("Alignment"), static_cast<int>(Alignment_), 2);
    bag.write(QStringLiteral("Stretch"), Stretch_, true);
    bag.write(QStringLiteral("Toggle"), TOGGLE_, false);
    bag.write(QStringLiteral("Padding"), static_cast<uint>(Padding_), 0u);
    bag.write(QStringLiteral("Editable"), static_cast<uint>(Editable_), 0u);
    bag.write(QStringLiteral("CaptionOff"), CaptionOff_, QString());
    bag.write(QStringLiteral("CaptionOn"), CaptionOn_, QString());
    bag.write(QStringLiteral("List"), List_, QString());
    bag.write(QStringLiteral("Allowed"), Allowed_, QString());
    bag.write(QStringLiteral("MaxLength"), static_cast<int>(MaxLength_), 0);
    bag.write(QStringLiteral("Format"), Format_, QString());
    bag.write(QStringLiteral("Min"), Min_, 0.0);
    bag.write(QStringLiteral("Max"), Max_, 0.0);
    bag.write(QStringLiteral("UpperCase"), UpperCase_, false);
    bag.write(QStringLiteral("Source"), Source_, QString());
    bag.write(QStringLiteral("UseListIndex"), UseListIndex_, false);
    bag.write(QStringLiteral("DeferSave"), DeferSave_, false);
    bag.write(QStringLiteral("IsNumeric"), IsNumeric_, false);
    bag.writeColour(QStringLiteral("BorderColorDisabled"), BorderColorDisabled_, 0);
    bag.write(QStringLiteral("ListIndex"), static_cast<int>(listPosition_), -1);
    bag.write(QStringLiteral("ToolTipText"), toolTipText_, QString());
}

} // namespace app::controls
