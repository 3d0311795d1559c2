#pragma once

#include <QList>
#include <QString>

#include "tabulon/CellRecord.h"

namespace grevlon {

// The optional footer band: the page number, a line and two note lines, placed against
// the bottom of every page. Positions are twips within the band.
class GREVLON_EXPORT FNotePiePagina {
public:
    enum ElementId { txtPageNumber = 0, lblLine = 1, txtNota0 = 2, txtNota1 = 3 };

    struct Element {
        QString Name;
        qint16 Left;
        qint16 Top;
        qint16 Width;
        qint16 Height;
        // Used both as font size and as line width.
        qint16 TagNumber;
        qint16 Alignment;
        bool Multiline;
        bool FontBold;
        bool Visible;
        QString Text;
    };

    FNotePiePagina();

    qint16 HeightOriginale() const { return 2460; }
    qint16 HeightNotePiePagina() const { return 1134; }
    // 566.86 twips rounded.
    qint16 HeightNumerazionePagine() const { return 567; }
    qint16 TotalTextBox() const { return 4; }

    bool EnablePageNumber() const { return m_elements[txtPageNumber].Visible; }
    void setEnablePageNumber(bool v) { m_elements[txtPageNumber].Visible = v; }
    QString CurrentPageText() const { return m_elements[txtPageNumber].Text; }
    void setCurrentPageText(const QString& v) { m_elements[txtPageNumber].Text = v; }
    // Get: whether note line 1 is shown. Let: shows or hides both note lines and the line.
    bool EnableNote() const { return m_elements[txtNota0].Visible; }
    void setEnableNote(bool v);
    QString NotePiePagina1() const { return m_elements[txtNota0].Text; }
    void setNotePiePagina1(const QString& v) { m_elements[txtNota0].Text = v; }
    QString NotePiePagina2() const { return m_elements[txtNota1].Text; }
    void setNotePiePagina2(const QString& v) { m_elements[txtNota1].Text = v; }

    // The band takes part in the page: page number on, or note line 1 on and not empty.
    bool IsEnabled() const;
    // Height of the band as used on the page: 2460, less the page number section when the
    // page number is off (rounded: 1893), less the notes section when note line 1 is off
    // or empty.
    qint16 RealHeight() const;

    const Element& element(ElementId id) const { return m_elements[id]; }
    // The cell drawn for an element: geometry from the element, Tag 0, font size and line
    // width from its number, character set 1, "Times New Roman", a line along the top for
    // lblLine.
    CellRecord ElementCell(ElementId id) const;
    // The elements in the order they are drawn.
    static QList<ElementId> DrawOrder();

private:
    Element m_elements[4];
};

}  // namespace grevlon
