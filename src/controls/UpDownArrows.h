#pragma once

#include <QToolButton>
#include <QWidget>

namespace voltaris::controls {

// The arrow control of a spin field: holds the value, the limits, the step and the wrap
// flag; a press on an arrow steps the value (repeating while held). Never takes the focus.
class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    explicit UpDownArrows(QWidget* parent = nullptr);

    qint32 Value() const { return m_value; }
    // Stores the value as given; reports `changed` when it differs.
    void setValue(qint32 value);
    qint32 Min() const { return m_min; }
    void setMin(qint32 min) { m_min = min; }
    qint32 Max() const { return m_max; }
    void setMax(qint32 max) { m_max = max; }
    qint32 Increment() const { return m_increment; }
    void setIncrement(qint32 increment) { m_increment = increment; }
    bool Wrap() const { return m_wrap; }
    void setWrap(bool wrap) { m_wrap = wrap; }

    // Names the two arrows for a screen reader after the field they belong to.
    void setFieldName(const QString& name);
    // One press of an arrow, as the mouse gives it.
    void step(bool up);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void changed();
    void mouseDown(Qt::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    qint32 m_value = 0;
    qint32 m_min = 0;
    qint32 m_max = 100;
    qint32 m_increment = 1;
    bool m_wrap = false;
};

}  // namespace voltaris::controls
