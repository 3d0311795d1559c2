#include "controls/ChoiceGroups.h"

#include <QEvent>
#include <QSignalBlocker>

#include "base/CTraceCode.h"
#include "controls/FocusLeave.h"

namespace voltaris::controls {

void CComboBox::Create(QComboBox* ComboBox) {
    m_ComboBox = ComboBox;
    m_ComboBox->setEditable(false);
    m_lastSeen = qint16(m_ComboBox->currentIndex());
    m_ComboBox->installEventFilter(this);
    connect(m_ComboBox, &QComboBox::currentIndexChanged, this, &CComboBox::OnSelection);
    WatchFocusLeave(
        this, [this](const QWidget* w) { return w == m_ComboBox || m_ComboBox->isAncestorOf(w); },
        [this](QWidget*, QWidget*) {
            if (Value() == m_focusIndex || !m_EnableEvent)
                return;
            bool cancel = false;
            emit ChangeValidate(cancel);
            if (cancel)
                m_ComboBox->setFocus(Qt::OtherFocusReason);
        });
}

void CComboBox::AddText(const QString& Text, qint32 ItemData) {
    // Qt selects the first entry added; a list starts with nothing chosen.
    const QSignalBlocker block(m_ComboBox);
    const int before = m_ComboBox->currentIndex();
    m_ComboBox->addItem(Text);
    m_ComboBox->setCurrentIndex(before);
    if (ItemData != -1 && m_added < m_ComboBox->count())
        m_ComboBox->setItemData(m_added, ItemData);
    ++m_added;
}

void CComboBox::ClearAllItem() {
    m_ComboBox->clear();
    m_added = 0;
}

void CComboBox::setValue(qint16 n) {
    if (n < -1 || n >= m_ComboBox->count())
        return;
    m_ComboBox->setCurrentIndex(n);
    if (m_EnableEvent)
        emit Change();
}

void CComboBox::setText(const QString& text) {
    m_ComboBox->setCurrentIndex(m_ComboBox->findText(text, Qt::MatchExactly));
}

qint32 CComboBox::ItemData() const {
    return m_ComboBox->currentData().toInt();
}

void CComboBox::setItemData(qint32 k) {
    m_ComboBox->setCurrentIndex(-1);
    for (int i = 0; i < m_ComboBox->count(); ++i) {
        if (m_ComboBox->itemData(i).toInt() == k) {
            setValue(qint16(i));
            return;
        }
    }
    m_unmatched = k;
}

void CComboBox::OnSelection(int index) {
    if (index >= 0)
        m_unmatched.reset();
    if (index == m_lastSeen)
        return;
    m_lastSeen = qint16(index);
    if (m_EnableEvent)
        emit Change();
}

bool CComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ComboBox && event->type() == QEvent::FocusIn)
        m_focusIndex = Value();
    return QObject::eventFilter(watched, event);
}

void COptionButton::Create(QWidget* Frame) {
    m_frame = Frame;
    m_itemData.fill(-1);
    WatchFocusLeave(
        this, [this](const QWidget* w) { return Inside(w); },
        [this](QWidget*, QWidget*) {
            const qint16 before = m_selected;
            Refresh();
            if (m_selected == before)
                return;
            bool cancel = false;
            emit ChangeValidate(cancel);
            if (cancel && before >= 0 && before < m_count)
                m_options[before]->setFocus(Qt::OtherFocusReason);
        });
}

bool COptionButton::Inside(const QWidget* widget) const {
    for (qint16 i = 0; i < m_count; ++i)
        if (m_options[i] == widget)
            return true;
    return false;
}

void COptionButton::AddOptionButton(QAbstractButton* OptionButton, qint16 ItemData) {
    g_Trace().BugAssert(m_count < 16, QString());
    if (ItemData != kNoItemData) {
        for (qint16 i = 0; i < m_count; ++i)
            g_Trace().BugAssert(m_itemData[i] != ItemData,
                                QStringLiteral("Errore ItemData %1 duplicato !!!").arg(ItemData));
    }
    m_options[m_count] = OptionButton;
    m_itemData[m_count] = ItemData;
    OptionButton->setCheckable(true);
    OptionButton->setAutoExclusive(true);
    // A program's choice raises Change like a click, but only when the option was off.
    connect(OptionButton, &QAbstractButton::toggled, this, [this](bool on) {
        if (on)
            emit Change();
    });
    ++m_count;
}

void COptionButton::Refresh() {
    m_selected = -1;
    for (qint16 i = 0; i < m_count; ++i) {
        if (m_options[i]->isChecked()) {
            m_selected = i;
            return;
        }
    }
}

void COptionButton::SelectNothing(qint32 rejected) {
    m_unmatched = rejected;
    m_selected = -1;
    for (qint16 i = 0; i < m_count; ++i) {
        if (m_options[i]->isChecked()) {
            // An exclusive option cannot be switched off while it is exclusive.
            m_options[i]->setAutoExclusive(false);
            m_options[i]->setChecked(false);
            m_options[i]->setAutoExclusive(true);
        }
    }
}

void COptionButton::Activate(qint16 Index, bool bEnabled) {
    g_Trace().BugAssert(Index <= 15, QString());
    if (Index < 0 || Index >= m_count)
        return;
    m_options[Index]->setEnabled(bEnabled);
    if (bEnabled)
        return;
    Refresh();
    if (Index != m_selected)
        return;
    for (qint16 i = 0; i < m_count; ++i)
        if (!m_options[i]->testAttribute(Qt::WA_ForceDisabled))
            setValue(i);
}

void COptionButton::ActivateGroup(bool bEnabled) {
    m_frame->setEnabled(bEnabled);
    for (qint16 i = 0; i < m_count; ++i)
        m_options[i]->setEnabled(bEnabled);
}

qint16 COptionButton::Value() {
    Refresh();
    return m_selected;
}

void COptionButton::setValue(qint16 n) {
    if (n < 0 || n >= m_count) {
        SelectNothing(n);
        return;
    }
    m_unmatched.reset();
    m_selected = n;
    m_options[n]->setChecked(true);
}

qint16 COptionButton::ItemData() {
    Refresh();
    return m_selected < 0 ? kNoItemData : m_itemData[m_selected];
}

void COptionButton::setItemData(qint16 k) {
    for (qint16 i = 0; i < m_count; ++i) {
        if (m_itemData[i] == k) {
            setValue(i);
            return;
        }
    }
    g_Trace().BugMessage(QStringLiteral("ItemData %1 non presente !!!").arg(k));
    SelectNothing(k);
}

}  // namespace voltaris::controls
