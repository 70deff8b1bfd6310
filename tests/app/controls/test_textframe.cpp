#include "app/controls/textframe.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

#include "platform/win/propertybag.h"
#include "platform/win/syscolours.h"

namespace {

using platform::win::PropertyBag;
using app::controls::TextFrame;

constexpr int Margin = 8; // 120 twips

class TextFrameTest : public testing::Test
{
protected:
    TextFrameTest()
    {
        frame.resize(200, 50);
        frame.show(); // a hidden widget gets its resize events only when shown
    }

    int lineHeight() const { return frame.textLabel()->fontMetrics().height(); }

    TextFrame frame;
};

TEST_F(TextFrameTest, EmptyCaptionShrinksToTheMarginsAndOneEmptyLine)
{
    frame.setCaption(QString());
    EXPECT_EQ(frame.textLabel()->pos(), QPoint(Margin, Margin));
    EXPECT_EQ(frame.textLabel()->width(), 200 - 2 * Margin);
    EXPECT_EQ(frame.height(), 2 * Margin + lineHeight());
}

TEST_F(TextFrameTest, HeightFollowsTheWrappedTextAndTheWidth)
{
    const QString text = QStringLiteral("Integrity - There may be a problem with the integrity of "
                                        "the strain gauge input. This may indicate a short or "
                                        "open circuit.");
    frame.setCaption(text);
    const int wrapped = frame.height();
    EXPECT_GT(wrapped, 2 * Margin + 2 * lineHeight());
    EXPECT_EQ(wrapped, 2 * Margin + frame.textLabel()->height());

    // Wider: fewer lines; the label keeps its margins on both sides.
    frame.resize(900, frame.height());
    EXPECT_EQ(frame.textLabel()->width(), 900 - 2 * Margin);
    EXPECT_LT(frame.height(), wrapped);
    EXPECT_EQ(frame.height(), 2 * Margin + frame.textLabel()->height());

    // CR LF pairs are line breaks, not boxes.
    frame.setCaption(QStringLiteral("one\r\ntwo"));
    EXPECT_EQ(frame.textLabel()->text(), QStringLiteral("one\ntwo"));
    EXPECT_EQ(frame.Caption(), QStringLiteral("one\r\ntwo"));
    EXPECT_GE(frame.textLabel()->height(), 2 * lineHeight());
}

TEST_F(TextFrameTest, SameCaptionAgainRefitsHeightAndCorners)
{
    frame.setCaption(QStringLiteral("short"));
    const int fitted = frame.height();
    frame.setGeometry(0, 0, 200, 300); // a host stretched it
    frame.setCaption(QStringLiteral("short"));
    EXPECT_EQ(frame.height(), fitted);
    EXPECT_EQ(frame.mask().boundingRect(), QRect(0, 0, 200, fitted));
}

TEST_F(TextFrameTest, CornersStayRoundedAtAnySize)
{
    frame.setCaption(QStringLiteral("text"));
    for (const int width : {60, 200, 640}) {
        frame.resize(width, frame.height());
        const QRegion mask = frame.mask();
        const int h = frame.height();
        EXPECT_EQ(mask.boundingRect(), QRect(0, 0, width, h)) << width;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(width - 1, 0), QPoint(0, h - 1), QPoint(width - 1, h - 1)})
            EXPECT_FALSE(mask.contains(corner)) << width;
        EXPECT_TRUE(mask.contains(QPoint(width / 2, 0))) << width;
        EXPECT_TRUE(mask.contains(QPoint(0, h / 2))) << width;
    }
}

TEST_F(TextFrameTest, PaintsItsBackColourAndTextColour)
{
    frame.setBackColor(0xFFC0FF);
    frame.setForeColor(0x000080);
    frame.setCaption(QStringLiteral("WWWWWWWW"));
    const QImage image = frame.grab().toImage();
    EXPECT_EQ(image.pixelColor(3, frame.height() / 2), QColor(0xFF, 0xC0, 0xFF));
    bool textDrawn = false;
    for (int x = Margin; x < Margin + 40 && !textDrawn; ++x)
        for (int y = Margin; y < frame.height() - Margin && !textDrawn; ++y)
            textDrawn = image.pixelColor(x, y).red() > 0x60 && image.pixelColor(x, y).blue() < 0x60;
    EXPECT_TRUE(textDrawn);
}

TEST(TextFrameProperties, DefaultsAreNotWrittenAndValuesRoundTrip)
{
    TextFrame fresh;
    EXPECT_EQ(fresh.Caption(), QString());
    EXPECT_EQ(fresh.BackColor(), 0xC0FFFFu);
    EXPECT_EQ(fresh.ForeColor(), 0x80000012u);
    PropertyBag bag;
    fresh.WriteProperties(bag);
    EXPECT_TRUE(bag.isEmpty());

    TextFrame source;
    source.setCaption(QStringLiteral("Reasons"));
    source.setBackColor(0xFFC0FF);
    source.setForeColor(0x202020);
    source.WriteProperties(bag);
    TextFrame copy;
    copy.resize(200, 10);
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.Caption(), QStringLiteral("Reasons"));
    EXPECT_EQ(copy.BackColor(), 0xFFC0FFu);
    EXPECT_EQ(copy.ForeColor(), 0x202020u);
    EXPECT_EQ(copy.textLabel()->text(), QStringLiteral("Reasons"));
}

} // namespace
