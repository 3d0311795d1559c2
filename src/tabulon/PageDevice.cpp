#include "tabulon/PageDevice.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <limits>

namespace grevlon {

namespace {

int textFlags(const DeviceCell& c) {
    int flags = 0;
    switch (c.cell.Alignment) {
        case CellRecord::AlignRight:
            flags |= Qt::AlignRight;
            break;
        case CellRecord::AlignCentre:
            flags |= Qt::AlignHCenter;
            break;
        default:
            flags |= Qt::AlignLeft;
            break;
    }
    flags |= c.cell.Multiline ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine);
    return flags;
}

QFont cellFont(const DeviceCell& c) {
    QFont f(c.cell.FontName);
    if (c.fontPixelHeight > 0)
        f.setPixelSize(c.fontPixelHeight);
    f.setWeight(QFont::Weight(c.fontWeight));
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

}  // namespace

PageDevice::~PageDevice() = default;

QRect CenteredTextBand(const QRect& rect, int textHeight) {
    const int top = rect.top() + (rect.height() - textHeight) / 2;
    return QRect(rect.left(), top, rect.width(), textHeight);
}

PainterDevice::PainterDevice(QPainter& painter, float twipsPerPixelX, float twipsPerPixelY,
                             int pixelsPerInchY, bool wipe)
    : m_painter(painter),
      m_tppX(twipsPerPixelX),
      m_tppY(twipsPerPixelY),
      m_dpiY(pixelsPerInchY),
      m_wipe(wipe) {}

void PainterDevice::Clear() {
    if (!m_wipe || !m_painter.device())
        return;
    m_painter.fillRect(QRect(0, 0, m_painter.device()->width(), m_painter.device()->height()),
                       Qt::white);
}

int PainterDevice::TextHeight(const DeviceCell& c) const {
    const QFontMetrics fm(cellFont(c), m_painter.device());
    if (!c.cell.Multiline)
        return fm.height();
    const QRect room(0, 0, std::max(1, c.paddedRect.width()), std::numeric_limits<int>::max() / 4);
    return fm.boundingRect(room, textFlags(c) | Qt::AlignTop, c.text).height();
}

void PainterDevice::DrawCell(const DeviceCell& c) {
    if (!c.text.isEmpty()) {
        m_painter.save();
        m_painter.setFont(cellFont(c));
        m_painter.setPen(Qt::black);
        const QRect band = CenteredTextBand(c.paddedRect, TextHeight(c));
        // The text is cut at the padded edges, never above or below its own band.
        m_painter.setClipRect(band);
        m_painter.drawText(band, textFlags(c) | Qt::AlignTop, c.text);
        m_painter.restore();
    }
    if (c.cell.DrawBox & 15) {
        m_painter.save();
        QPen pen(Qt::black);
        pen.setWidth(std::max(1, c.penWidth));
        pen.setStyle(Qt::SolidLine);
        m_painter.setPen(pen);
        const QRect& r = c.rect;
        const int left = r.left();
        const int top = r.top();
        const int right = r.left() + r.width();
        const int bottom = r.top() + r.height();
        if (c.cell.DrawBox & CellRecord::BoxTop)
            m_painter.drawLine(left, top, right, top);
        if (c.cell.DrawBox & CellRecord::BoxRight)
            m_painter.drawLine(right, top, right, bottom);
        if (c.cell.DrawBox & CellRecord::BoxBottom)
            m_painter.drawLine(left, bottom, right, bottom);
        if (c.cell.DrawBox & CellRecord::BoxLeft)
            m_painter.drawLine(left, top, left, bottom);
        m_painter.restore();
    }
}

void PainterDevice::DrawPicture(const QImage& picture, const QRect& rect) {
    m_painter.drawImage(rect, picture);
}

}  // namespace grevlon
