#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "tabulon/CellRecord.h"

class QPainter;

namespace grevlon {

// One cell as the device receives it: the cell (markup applied) and everything the page
// layout derived for this device.
struct GREVLON_EXPORT DeviceCell {
    CellRecord cell;
    // Text to draw; empty when no text is drawn (an empty text or a frame cell).
    QString text;
    // Cell rectangle in device pixels (the borders follow it).
    QRect rect;
    // The rectangle less the 96-twip padding on the left and on the right.
    QRect paddedRect;
    // Character height in device pixels, and 700 (bold) or 300.
    int fontPixelHeight = 0;
    int fontWeight = 300;
    // Pen width of the borders in device pixels (at least 1).
    int penWidth = 1;
};

// A surface pages are drawn on: the preview canvas or the printer, or a recorder in tests.
class GREVLON_EXPORT PageDevice {
public:
    virtual ~PageDevice();
    // Scale of the device: twips per device pixel on each axis.
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
    // Vertical pixels per inch, for the character height.
    virtual int PixelsPerInchY() const = 0;
    // Wipes the page (the canvas turns white; a printer sheet cannot be wiped).
    virtual void Clear() = 0;
    virtual void DrawCell(const DeviceCell& cell) = 0;
    virtual void DrawPicture(const QImage& picture, const QRect& rect) = 0;
};

// The band a text of `textHeight` pixels occupies when centred vertically on `rect`:
// top = rect top + (rect height - text height) / 2, truncated toward zero. A text taller
// than the cell extends above and below it.
GREVLON_EXPORT QRect CenteredTextBand(const QRect& rect, int textHeight);

// Draws with a QPainter in device pixels (no transformation), on a canvas image or a
// printer. Text is laid out as one line cut at the padded edges or word-wrapped at the
// padded width, centred vertically; an ampersand has no special meaning.
class GREVLON_EXPORT PainterDevice : public PageDevice {
public:
    // `wipe` fills the device white on Clear (for a canvas).
    PainterDevice(QPainter& painter, float twipsPerPixelX, float twipsPerPixelY, int pixelsPerInchY,
                  bool wipe);

    float TwipsPerPixelX() const override { return m_tppX; }
    float TwipsPerPixelY() const override { return m_tppY; }
    int PixelsPerInchY() const override { return m_dpiY; }
    void Clear() override;
    void DrawCell(const DeviceCell& cell) override;
    void DrawPicture(const QImage& picture, const QRect& rect) override;

    // Height in pixels of `cell`'s text as laid out in its padded rectangle.
    int TextHeight(const DeviceCell& cell) const;

private:
    QPainter& m_painter;
    float m_tppX;
    float m_tppY;
    int m_dpiY;
    bool m_wipe;
};

}  // namespace grevlon
