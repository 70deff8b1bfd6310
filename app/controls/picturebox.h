#ifndef APP_CONTROLS_PICTUREBOX_H
#define APP_CONTROLS_PICTUREBOX_H

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QLine>
#include <QPoint>
#include <QWidget>

#include "platform/win/syscolours.h"

class QPainter;

namespace app::controls {

// A picture that keeps its drawing in an image (the persistent drawing of AutoRedraw) and
// shows it. Coordinates are pixels of the inner area; a point is the pixel it rounds to.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FillSolid = 0;
    static constexpr int FillTransparent = 1;

    explicit PictureBox(QWidget *parent = nullptr);
    ~PictureBox() override;

    bool AutoRedraw() const { return true; }
    int ScaleWidth() const { return width(); }
    int ScaleHeight() const { return height(); }

    platform::win::OleColour BackColor() const { return BackColor_; }
    void setBackColor(platform::win::OleColour value);
    platform::win::OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(platform::win::OleColour value) { ForeColor_ = value; }
    platform::win::OleColour FillColor() const { return FillColor_; }
    void setFillColor(platform::win::OleColour value) { FillColor_ = value; }
    int FillStyle() const { return FillStyle_; }
    void setFillStyle(int value) { FillStyle_ = value; }
    int DrawWidth() const { return DrawWidth_; }
    void setDrawWidth(int value) { DrawWidth_ = value < 1 ? 1 : value; }

    // Clears the drawing to the background colour.
    void Cls();
    // Draws in the given colour, else the foreground colour, with the pen width DrawWidth.
    void Line(double x1, double y1, double x2, double y2,
              std::optional<platform::win::OleColour> colour = std::nullopt);
    void PSet(double x, double y, std::optional<platform::win::OleColour> colour = std::nullopt);
    // A circle, filled with FillColor unless FillStyle is transparent.
    void Circle(double x, double y, double radius,
                std::optional<platform::win::OleColour> colour = std::nullopt);

    // The drawing as it stands.
    const QImage &image() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPainter &painter(platform::win::OleColour colour);
    void endPainting() const;
    void fitImage() const;
    void flush() const;
    void scheduleUpdate();

    platform::win::OleColour BackColor_ = 0x8000000Fu;
    platform::win::OleColour ForeColor_ = 0x80000012u;
    platform::win::OleColour FillColor_ = 0;
    int FillStyle_ = FillTransparent;
    int DrawWidth_ = 1;
    mutable QImage image_;
    // Held open between drawing calls: a strip chart draws a thousand lines a repaint.
    mutable std::unique_ptr<QPainter> painter_;
    mutable std::vector<QLine> pendingLines_;
    mutable std::vector<QPoint> pendingPoints_;
    platform::win::OleColour penColour_ = 0;
    int penWidth_ = 0;
    bool updatePending_ = false;
};

} // namespace app::controls

#endif
