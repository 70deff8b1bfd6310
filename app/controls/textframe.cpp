#include "app/controls/textframe.h"

#include <algorithm>

#include <QLabel>
#include <QPainter>

#include "app/controls/roundregion.h"
#include "app/controls/twips.h"
#include "platform/win/propertybag.h"

namespace app::controls {

namespace {

// The label shows line breaks of either form; a bare CR would draw as a box.
QString labelText(const QString &caption)
{
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TextFrame::TextFrame(QWidget *parent) : UserControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    text_ = new QLabel(this);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPointSizeF(9.75);
    text_->setFont(font);
    text_->move(margin(), margin());
    applyForeColour();
    fitHeight();
}

void TextFrame::ReadProperties(const platform::win::PropertyBag &bag)
{
    setCaption(bag.read(QStringLiteral("Caption"), QString()).toString());
    setBackColor(bag.readColour(QStringLiteral("BackColor"), DefaultBack));
    setForeColor(bag.readColour(QStringLiteral("ForeColor"), DefaultFore));
}

void TextFrame::WriteProperties(platform::win::PropertyBag &bag) const
{
    bag.write(QStringLiteral("Caption"), Caption_, QString());
    bag.writeColour(QStringLiteral("BackColor"), BackColor_, DefaultBack);
    bag.writeColour(QStringLiteral("ForeColor"), ForeColor_, DefaultFore);
}

void TextFrame::setCaption(const QString &value)
{
    Caption_ = value;
    const QString shown = labelText(value);
    if (text_->text() != shown)
        text_->setText(shown);
    fitHeight();
}

void TextFrame::setBackColor(OleColour value)
{
    BackColor_ = value;
    update();
}

void TextFrame::setForeColor(OleColour value)
{
    ForeColor_ = value;
    applyForeColour();
}

void TextFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour(BackColor_));
}

void TextFrame::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    // Fitting the height resizes the control again; that inner resize only reshapes.
    if (fitting_) {
        shapeWindow();
        return;
    }
    text_->resize(std::max(0, width() - 2 * text_->x()), text_->height());
    fitHeight();
}

int TextFrame::margin() const
{
    return toPixels(MarginTwips);
}

void TextFrame::fitHeight()
{
    const int labelWidth = std::max(0, width() - 2 * text_->x());
    // An empty label keeps the height of one line, as a label that sizes itself does.
    const int labelHeight =
        text_->text().isEmpty() ? text_->fontMetrics().height() : text_->heightForWidth(labelWidth);
    text_->resize(labelWidth, std::max(labelHeight, text_->fontMetrics().height()));
    fitting_ = true;
    resize(width(), 2 * text_->y() + text_->height());
    fitting_ = false;
    shapeWindow();
}

void TextFrame::shapeWindow()
{
    setMask(roundRectRegion(width(), height(), CornerPixels, CornerPixels));
    update();
}

void TextFrame::applyForeColour()
{
    QPalette palette = text_->palette();
    palette.setColor(QPalette::WindowText, colour(ForeColor_));
    text_->setPalette(palette);
}

} // namespace app::controls
