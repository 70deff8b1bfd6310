#include "app/controls/buttonbar.h"

#include <cmath>

#include <QPainter>
#include <QPointer>

#include "app/common/colours.h"
#include "app/controls/twips.h"
#include "app/controls/vxbtn.h"

namespace app::controls {

bool CancelButtonClick = false;

namespace {

constexpr int ButtonWidthTwips = 615;
constexpr int ButtonHeightTwips = 675;
constexpr int ButtonTopTwips = 30;
constexpr int GapTwips = 90;
constexpr int RightMarginTwips = 60;
constexpr int SeparatorOffsetTwips = 30;

} // namespace

ButtonBar::ButtonBar(QWidget *parent) : UserControl(parent)
{
    setFixedHeight(toPixels(HeightTwips));
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto *first = new VXBtn(this);
    QFont glyphs(VXBtn::GlyphFontFamily, 30);
    glyphs.setWeight(QFont::Normal);
    first->setFont(glyphs);
    first->setCaption(QStringLiteral("7"));
    for (auto let : {&VXBtn::setBackColor, &VXBtn::setBackColorDisabled, &VXBtn::setBackColorHover,
                     &VXBtn::setBackColorDown, &VXBtn::setBorderColor, &VXBtn::setBorderColorFocus})
        (first->*let)(DefaultBack);
    first->setForeColor(0xFF80FFu);
    first->setForeColorHover(0xFF00FFu);
    first->setForeColorDown(0xFFFFFFu);
    first->setHoverOffset(0);
    first->setClickOffset(1);
    first->setGeometry(0, toPixels(ButtonTopTwips), toPixels(ButtonWidthTwips),
                       toPixels(ButtonHeightTwips));
    first->WriteProperties(design_);
    design_.write(QStringLiteral("Style"), QStringLiteral("ToolbarButton"), QString());
    first->ReadProperties(design_);
    buttons_.push_back(first);
    connectElement(first, 0);
}

VXBtn *ButtonBar::loadElement()
{
    auto *button = new VXBtn(this);
    button->hide();
    button->ReadProperties(design_);
    button->setGeometry(0, buttons_.front()->y(), buttons_.front()->width(),
                        buttons_.front()->height());
    connectElement(button, static_cast<int>(buttons_.size()));
    buttons_.push_back(button);
    return button;
}

void ButtonBar::connectElement(VXBtn *button, int index)
{
    connect(button, &VXBtn::MouseIn, this, [this, index] { emit ButtonIn(index + 1); });
    connect(button, &VXBtn::MouseOut, this, [this, index] { emit ButtonOut(index + 1); });
    connect(button, &VXBtn::Click, this, [this, index] { clicked(index); });
}

void ButtonBar::clicked(int index)
{
    QPointer<ButtonBar> self(this);
    CancelButtonClick = false;
    emit ButtonClickCheck(index + 1);
    if (!self)
        return;
    if (CancelButtonClick) {
        buttons_.at(index)->setState(false);
        return;
    }
    for (VXBtn *button : buttons_)
        button->setState(false);
    buttons_.at(index)->setState(true);
    emit ButtonClick(index + 1);
}

void ButtonBar::SetButtonImage(int16_t Index, const QString &Text)
{
    if (Index >= 0 && static_cast<size_t>(Index) < buttons_.size())
        buttons_[Index]->setCaption(Text);
}

void ButtonBar::Clear()
{
    // Back to the bar's background: the menu colour once one was given, so that the strip
    // keeps matching its buttons from one page set to the next.
    back_ = menuBack_.value_or(DefaultBack);
    added_ = 0;
    for (size_t i = 1; i < buttons_.size(); ++i) {
        buttons_[i]->hide();
        buttons_[i]->setTag(QString());
    }
    update();
}

void ButtonBar::SetSelectedButton(int16_t Index)
{
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setState(Index == static_cast<int>(i) + 1);
}

void ButtonBar::AddButton(const QString &Caption)
{
    VXBtn *target = nullptr;
    if (added_ == 0)
        target = buttons_.front();
    else if (static_cast<size_t>(added_) < buttons_.size())
        target = buttons_[added_];
    else
        target = loadElement();
    target->setTag(QStringLiteral("1"));
    ++added_;
    target->setCaption(Caption);
}

void ButtonBar::DrawMe()
{
    separators_.clear();
    const double right = toTwips(x() + width());
    int n = 0;
    for (const VXBtn *button : buttons_)
        n += button->Tag() == QLatin1String("1") ? 1 : 0;
    if (buttons_.size() > 1) {
        const double w = toTwips(buttons_[1]->width());
        const int newWidth = toPixels((w + 60) * n + 800);
        // Grows and shrinks to the left: the right edge stays where it was.
        setGeometry(static_cast<int>(std::lround(right / TwipsPerPixel)) - newWidth, y(), newWidth,
                    height());
    }
    if (keptWidthTwips_ == 0)
        keptWidthTwips_ = static_cast<int>(toTwips(buttons_.front()->width()));

    double x = toTwips(width()) - RightMarginTwips - toTwips(buttons_.front()->width());
    const size_t highest = buttons_.size() - 1;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        VXBtn *button = buttons_[i];
        if (button->Tag() != QLatin1String("1"))
            continue;
        button->setGeometry(toPixels(x), button->y(), toPixels(keptWidthTwips_), button->height());
        button->show();
        button->setState(false);
        if (i != highest)
            separators_.push_back(toPixels(x - SeparatorOffsetTwips));
        x -= keptWidthTwips_ + GapTwips;
    }
    update();
}

void ButtonBar::setMenuBackcolor(OleColour colour)
{
    back_ = colour;
    menuBack_ = colour;
    VXBtn *first = buttons_.front();
    first->setBackColor(colour);
    first->setBackColorDisabled(colour);
    first->setBackColorDown(colour);
    first->setBackColorHover(colour);
    first->setUseMyStyle(QString());
    update();
}

void ButtonBar::setMenuForecolor(OleColour colour)
{
    publishMenuColour(&VXBtn::setForeColor, colour);
}

void ButtonBar::setMenuForecolorDisabled(OleColour colour)
{
    publishMenuColour(&VXBtn::setForeColorDisabled, colour);
}

void ButtonBar::setMenuForecolorHover(OleColour colour)
{
    publishMenuColour(&VXBtn::setForeColorHover, colour);
}

void ButtonBar::setMenuForecolorDown(OleColour colour)
{
    publishMenuColour(&VXBtn::setForeColorDown, colour);
}

void ButtonBar::setMenuFocusColour(OleColour colour)
{
    publishMenuColour(&VXBtn::setBorderColorFocus, colour);
}

void ButtonBar::publishMenuColour(void (VXBtn::*setter)(OleColour), OleColour colour)
{
    // The first button is the model of the bar's style: every button of it follows.
    VXBtn *first = buttons_.front();
    (first->*setter)(colour);
    first->setUseMyStyle(QString());
}

void ButtonBar::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    if (height() != toPixels(HeightTwips))
        setFixedHeight(toPixels(HeightTwips));
}

void ButtonBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour(back_));
    painter.setPen(colour(common::LightenColour(back_, 0.4f)));
    for (int x : separators_)
        painter.drawLine(x, 0, x, height() - 1);
}

} // namespace app::controls
