#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QObject>
#include <QWidget>
#include <array>
#include <optional>

namespace voltaris::controls {

// A drop-down list with an integer value, a number per entry and validation on leaving.
// A stored number that no entry carries selects nothing and is kept for UnmatchedValue.
class CComboBox : public QObject {
    Q_OBJECT
public:
    explicit CComboBox(QObject* parent = nullptr) : QObject(parent) {}

    void Create(QComboBox* ComboBox);
    // ItemData -1 leaves the entry's number unset (it reads 0).
    void AddText(const QString& Text, qint32 ItemData = -1);
    void ClearAllItem();
    qint16 ListCount() const { return qint16(m_ComboBox->count()); }
    bool Enabled() const { return m_ComboBox->isEnabled(); }
    void setEnabled(bool on) { m_ComboBox->setEnabled(on); }
    bool EnableEvent() const { return m_EnableEvent; }
    void setEnableEvent(bool on) { m_EnableEvent = on; }
    // -1 for none; an index beyond the entries is ignored.
    qint16 Value() const { return qint16(m_ComboBox->currentIndex()); }
    void setValue(qint16 n);
    QString Text() const { return m_ComboBox->currentText(); }
    // A text no entry has clears the selection.
    void setText(const QString& text);
    qint32 ItemData() const;
    void setItemData(qint32 k);
    // The last number given to setItemData that no entry carried, until something is chosen.
    std::optional<qint32> UnmatchedValue() const { return m_unmatched; }

signals:
    void Change();
    void ChangeValidate(bool& Cancel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelection(int index);

    QComboBox* m_ComboBox = nullptr;
    qint16 m_added = 0;
    qint16 m_focusIndex = 0;
    qint16 m_lastSeen = 0;
    bool m_EnableEvent = true;
    std::optional<qint32> m_unmatched;
};

// Up to 16 option buttons in a frame; the value is the index of the chosen option in the
// order they were added. A value or number that names no option selects nothing and is
// kept for UnmatchedValue; the group never throws for it.
class COptionButton : public QObject {
    Q_OBJECT
public:
    static constexpr qint16 kNoItemData = -32768;

    explicit COptionButton(QObject* parent = nullptr) : QObject(parent) {}

    void Create(QWidget* Frame);
    // A seventeenth option or a repeated number is a failed check.
    void AddOptionButton(QAbstractButton* OptionButton, qint16 ItemData = kNoItemData);
    // An index above 15 is a failed check. Disabling the chosen option chooses each enabled
    // option in turn, so the last enabled one ends up chosen.
    void Activate(qint16 Index, bool bEnabled);
    void ActivateGroup(bool bEnabled);
    // -1 when no option is on.
    qint16 Value();
    void setValue(qint16 n);
    // kNoItemData when no option is on.
    qint16 ItemData();
    void setItemData(qint16 k);
    std::optional<qint32> UnmatchedValue() const { return m_unmatched; }
    qint16 OptionCount() const { return m_count; }

signals:
    void Change();
    void ChangeValidate(bool& Cancel);

private:
    void Refresh();
    void SelectNothing(qint32 rejected);
    bool Inside(const QWidget* widget) const;

    QWidget* m_frame = nullptr;
    std::array<QAbstractButton*, 16> m_options{};
    std::array<qint16, 16> m_itemData;
    qint16 m_count = 0;
    qint16 m_selected = 0;
    std::optional<qint32> m_unmatched;
};

}  // namespace voltaris::controls
