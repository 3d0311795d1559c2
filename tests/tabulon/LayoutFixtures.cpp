#include "LayoutFixtures.h"

#include <QMap>

namespace grevlon::test {

QList<QStringList> RecordingDevice::rowsOfHeight(qint16 height) const {
    QMap<int, QStringList> byTop;
    for (const DeviceCell& c : cells)
        if (c.cell.Height == height && c.cell.DrawBox != CellRecord::BoxTop)
            byTop[c.rect.top()].append(c.cell.Text);
    return byTop.values();
}

const DeviceCell* RecordingDevice::find(const QString& text) const {
    for (const DeviceCell& c : cells)
        if (c.text == text)
            return &c;
    return nullptr;
}

QStringList RecordingDevice::texts() const {
    QStringList out;
    for (const DeviceCell& c : cells)
        if (!c.text.isEmpty())
            out.append(c.text);
    return out;
}

QStringList cellFields() {
    return {QStringLiteral("Top"),       QStringLiteral("Left"),        QStringLiteral("Width"),
            QStringLiteral("Height"),    QStringLiteral("Tag"),         QStringLiteral("FontSize"),
            QStringLiteral("FontBold"),  QStringLiteral("FontCharSet"), QStringLiteral("FontName"),
            QStringLiteral("Multiline"), QStringLiteral("Alignment"),   QStringLiteral("LineWidth"),
            QStringLiteral("DrawBox"),   QStringLiteral("Text")};
}

namespace {

QVariantList cellValues(const CellRecord& c) {
    return {c.Top,       c.Left,      c.Width,       c.Height,   c.Tag,
            c.FontSize,  c.FontBold,  c.FontCharSet, c.FontName, c.Multiline,
            c.Alignment, c.LineWidth, c.DrawBox,     c.Text};
}

CellRecord style(qint16 height) {
    CellRecord c;
    c.Height = height;
    c.FontSize = 10;
    c.FontName = QStringLiteral("Times New Roman");
    c.LineWidth = 1;
    c.DrawBox = 15;
    return c;
}

}  // namespace

std::shared_ptr<RowSet> styleSet(int columns, qint16 hT, qint16 hC, qint16 hD) {
    auto rs = std::make_shared<RowSet>(QStringList{QStringLiteral("Key")} + cellFields());
    auto add = [&rs](const QString& key, const CellRecord& c) {
        rs->addRow(QVariantList{key} + cellValues(c));
    };
    CellRecord caption = style(hT);
    caption.FontBold = true;
    add(QStringLiteral("CaptionTableStyle"), caption);
    for (int n = 1; n <= columns; ++n) {
        add(QStringLiteral("Col%1TitleStyle").arg(n), style(hC));
        add(QStringLiteral("Col%1DataStyle").arg(n), style(hD));
    }
    return rs;
}

std::shared_ptr<RowSet> headerBlock(const QList<CellRecord>& rows) {
    auto rs = std::make_shared<RowSet>(cellFields());
    for (const CellRecord& c : rows)
        rs->addRow(cellValues(c));
    return rs;
}

std::shared_ptr<RowSet> table(const QString& caption, const QStringList& titles,
                              const QList<QStringList>& rows) {
    qsizetype width = std::max<qsizetype>(1, titles.size());
    for (const QStringList& r : rows)
        width = std::max(width, r.size());
    QStringList fields{QStringLiteral("nColumn")};
    for (qsizetype i = 1; i <= width; ++i)
        fields.append(QStringLiteral("Column%1").arg(i));
    auto rs = std::make_shared<RowSet>(fields);
    auto add = [&rs](const QStringList& cells) {
        QVariantList v{qint16(cells.size())};
        for (const QString& c : cells)
            v.append(c);
        rs->addRow(v);
    };
    add({caption});
    add(titles);
    for (const QStringList& r : rows)
        add(r);
    return rs;
}

QList<QStringList> numberedRows(int n, int columns) {
    QList<QStringList> rows;
    for (int i = 1; i <= n; ++i) {
        QStringList r{QStringLiteral("R%1").arg(i)};
        for (int c = 2; c <= columns; ++c)
            r.append(QStringLiteral("R%1.%2").arg(i).arg(c));
        rows.append(r);
    }
    return rows;
}

RecordingDevice drawPage(TabulonDocument& doc, qint16 page) {
    RecordingDevice canvas;
    RecordingDevice target;
    doc.CountPages();
    doc.ReproducePage(page, canvas, target);
    return target;
}

}  // namespace grevlon::test
