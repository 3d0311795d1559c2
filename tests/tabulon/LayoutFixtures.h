#pragma once

#include <QList>
#include <QStringList>
#include <memory>

#include "tabulon/PageDevice.h"
#include "tabulon/RowSet.h"
#include "tabulon/TabulonDocument.h"

namespace grevlon::test {

// Keeps every cell and picture drawn on it, at 15 twips per pixel and 96 dpi unless told.
class RecordingDevice : public PageDevice {
public:
    explicit RecordingDevice(float twipsPerPixel = 15.0f, int dpi = 96)
        : m_tpp(twipsPerPixel), m_dpi(dpi) {}
    float TwipsPerPixelX() const override { return m_tpp; }
    float TwipsPerPixelY() const override { return m_tpp; }
    int PixelsPerInchY() const override { return m_dpi; }
    void Clear() override { ++clears; }
    void DrawCell(const DeviceCell& c) override { cells.append(c); }
    void DrawPicture(const QImage&, const QRect& rect) override { pictures.append(rect); }

    // Texts of the cells whose height is `height` twips, one list per drawn row (by top).
    QList<QStringList> rowsOfHeight(qint16 height) const;
    // The first cell showing `text`, or null.
    const DeviceCell* find(const QString& text) const;
    QStringList texts() const;

    QList<DeviceCell> cells;
    QList<QRect> pictures;
    int clears = 0;

private:
    float m_tpp;
    int m_dpi;
};

// The fields of a cell record, in order.
QStringList cellFields();

// A style set for `columns` columns: caption, title and data styles with the given heights;
// every style is 10 pt Times New Roman, full box, line width 1.
std::shared_ptr<RowSet> styleSet(int columns, qint16 hT = 300, qint16 hC = 250, qint16 hD = 200);
// A header block holding these cells.
std::shared_ptr<RowSet> headerBlock(const QList<CellRecord>& rows);
// A data table: caption, titles, then data rows (each row's nColumn is its size).
std::shared_ptr<RowSet> table(const QString& caption, const QStringList& titles,
                              const QList<QStringList>& rows);
// `n` one-column... data rows "R1".."Rn" with `columns` cells each ("R1", "R1.2", ...).
QList<QStringList> numberedRows(int n, int columns = 1);

// Lays out `doc` and reproduces page `page`, returning what was drawn on it.
RecordingDevice drawPage(TabulonDocument& doc, qint16 page);

}  // namespace grevlon::test
