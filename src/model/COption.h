#pragma once

#include "model/CRecord.h"

namespace voltaris {

// The user's choices for printing a configuration report: settings section "COption".
// Every option is off and every text empty on first start.
class COption : public CSettingsRecord {
public:
    COption();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    bool PrintHeaderPage() const { return m_PrintHeaderPage; }
    void setPrintHeaderPage(bool v) { m_PrintHeaderPage = v; }
    // Path of the header page file.
    QString HeaderPagePath() const { return m_HeaderPagePath; }
    void setHeaderPagePath(const QString& v) { m_HeaderPagePath = v; }
    bool PrintNotePiePagina() const { return m_PrintNotePiePagina; }
    void setPrintNotePiePagina(bool v) { m_PrintNotePiePagina = v; }
    // The two footer lines.
    QString NotePiePagina1() const { return m_NotePiePagina1; }
    void setNotePiePagina1(const QString& v) { m_NotePiePagina1 = v; }
    QString NotePiePagina2() const { return m_NotePiePagina2; }
    void setNotePiePagina2(const QString& v) { m_NotePiePagina2 = v; }
    bool PrintPageNumber() const { return m_PrintPageNumber; }
    void setPrintPageNumber(bool v) { m_PrintPageNumber = v; }

private:
    bool m_PrintHeaderPage = false;
    QString m_HeaderPagePath;
    bool m_PrintNotePiePagina = false;
    QString m_NotePiePagina1;
    QString m_NotePiePagina2;
    bool m_PrintPageNumber = false;
};

}  // namespace voltaris
