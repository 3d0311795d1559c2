#pragma once

#include <QString>
#include <QVariant>

namespace voltaris {

class Recordset;

// Writes and reads single fields of the archive row a record is working on. Does nothing
// while no recordset is set; never owns the recordset.
class CLoadSaveADORS {
public:
    voltaris::Recordset* Recordset() const { return m_recordset; }
    void setRecordset(voltaris::Recordset* recordset) { m_recordset = recordset; }

    // qint16, qint32, float, double, date and bool values are written unchanged; a text only
    // when it is not empty (an empty text leaves the field as it was); other types are not
    // written. The row is updated after every call.
    void SaveVariable(const QString& field, const QVariant& value);
    // Replaces `value` by the field's content converted to the type `value` holds. A null
    // field reads as "" into a text; into any other type it is an IoError naming the table
    // and the column, as is content that does not convert or fit (the value is then kept).
    void LoadVariable(const QString& field, QVariant& value);

private:
    voltaris::Recordset* m_recordset = nullptr;
};

}  // namespace voltaris
