#include "tabulon/FNotePiePagina.h"

#include <cmath>

namespace grevlon {

FNotePiePagina::FNotePiePagina() {
    m_elements[txtPageNumber] = {QStringLiteral("txtPageNumber"), 5306, 118,   1305,  330,      10,
                                 CellRecord::AlignCentre,         true, false, false, QString()};
    m_elements[lblLine] = {QStringLiteral("lblLine"), 270,   720,   11352, 15,       2,
                           CellRecord::AlignLeft,     false, false, false, QString()};
    m_elements[txtNota0] = {QStringLiteral("txtNota(0)"), 270,  825,   11352, 240,      8,
                            CellRecord::AlignCentre,      true, false, false, QString()};
    m_elements[txtNota1] = {QStringLiteral("txtNota(1)"), 270,  1065,  11352, 240,      8,
                            CellRecord::AlignCentre,      true, false, false, QString()};
}

void FNotePiePagina::setEnableNote(bool v) {
    m_elements[txtNota0].Visible = v;
    m_elements[txtNota1].Visible = v;
    m_elements[lblLine].Visible = v;
}

bool FNotePiePagina::IsEnabled() const {
    return EnablePageNumber() || (EnableNote() && !NotePiePagina1().isEmpty());
}

qint16 FNotePiePagina::RealHeight() const {
    double h = HeightOriginale();
    if (!EnablePageNumber())
        h = std::nearbyint(h - 566.86);
    if (!EnableNote() || NotePiePagina1().isEmpty())
        h -= HeightNotePiePagina();
    return qint16(h);
}

CellRecord FNotePiePagina::ElementCell(ElementId id) const {
    const Element& e = m_elements[id];
    CellRecord c;
    c.Top = e.Top;
    c.Left = e.Left;
    c.Width = e.Width;
    c.Height = e.Height;
    c.Tag = 0;
    c.FontSize = e.TagNumber;
    c.LineWidth = e.TagNumber;
    c.FontBold = e.FontBold;
    c.FontCharSet = 1;
    c.FontName = QStringLiteral("Times New Roman");
    c.Multiline = e.Multiline;
    c.Alignment = e.Alignment;
    c.DrawBox = id == lblLine ? CellRecord::BoxTop : 0;
    c.Text = e.Text;
    return c;
}

QList<FNotePiePagina::ElementId> FNotePiePagina::DrawOrder() {
    return {txtNota0, txtNota1, lblLine, txtPageNumber};
}

}  // namespace grevlon
