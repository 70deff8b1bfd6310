#include <algorithm>
#include <string_view>

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// The page-button glyphs and the list-field arrow.
constexpr char16_t Glyphs[] = u"B<6789:;=>@X";

const QString &fontFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(HXR_PROGRAM_DIR) +
                                                         QStringLiteral("/VXTKButtons.TTF"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

QFont buttonFont(int pixelSize)
{
    QFont font(fontFamily());
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoFontMerging); // a missing glyph must not come from elsewhere
    return font;
}

TEST(ButtonFont, LoadsFromTheProgramFolderUnderItsFamily)
{
    EXPECT_EQ(fontFamily(), QStringLiteral("VXTKButtons"));
}

TEST(ButtonFont, HasEveryGlyphAndNothingElse)
{
    ASSERT_FALSE(fontFamily().isEmpty());
    const QRawFont raw = QRawFont::fromFont(buttonFont(40));
    ASSERT_TRUE(raw.isValid());
    for (const char16_t glyph : std::u16string_view(Glyphs))
        EXPECT_TRUE(raw.supportsCharacter(QChar(glyph))) << char(glyph);
    for (const char absent : {'A', 'b', '0', '5', ' ', '?'})
        EXPECT_FALSE(raw.supportsCharacter(QChar(absent))) << absent;
}

// Each glyph drawn into one line of its own height leaves a clear margin on every side and sits
// in the middle of the line, so a button that fits the font to its caption shows it whole.
TEST(ButtonFont, GlyphsFillTheMiddleOfTheLine)
{
    ASSERT_FALSE(fontFamily().isEmpty());
    const QFont font = buttonFont(48);
    const QFontMetrics metrics(font);
    EXPECT_EQ(metrics.height(), 48);
    for (const char16_t glyph : std::u16string_view(Glyphs)) {
        const QString text(QChar{glyph});
        EXPECT_EQ(metrics.horizontalAdvance(text), 48) << char(glyph);

        QImage image(48, 48, QImage::Format_Grayscale8);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(0, metrics.ascent(), text);
        painter.end();

        int left = 48, right = -1, top = 48, bottom = -1, ink = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    ++ink;
                }
        SCOPED_TRACE(char(glyph));
        EXPECT_GT(ink, 48) << "nothing drawn";
        EXPECT_GE(left, 1);
        EXPECT_LE(right, 46);
        EXPECT_GE(top, 1);
        EXPECT_LE(bottom, 46);
        EXPECT_NEAR((top + bottom) / 2.0, 23.5, 6.0);
        EXPECT_NEAR((left + right) / 2.0, 23.5, 6.0);
    }
}

} // namespace
