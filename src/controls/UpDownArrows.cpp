#include "controls/UpDownArrows.h"

#include <QMouseEvent>
#include <QVBoxLayout>

#include "base/ResString.h"
#include "controls/SpinRules.h"

namespace voltaris::controls {

namespace {
constexpr int kUpName = 2900;
constexpr int kDownName = 2901;
}  // namespace

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(16);
        button->installEventFilter(this);
        layout->addWidget(button);
    }
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { step(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(false); });
    setFieldName(QString());
}

void UpDownArrows::setValue(qint32 value) {
    if (value == m_value)
        return;
    m_value = value;
    emit changed();
}

void UpDownArrows::setFieldName(const QString& name) {
    m_up->setAccessibleName(FormatResString(kUpName, name).trimmed());
    m_down->setAccessibleName(FormatResString(kDownName, name).trimmed());
}

void UpDownArrows::step(bool up) {
    setValue(StepValue(m_value, m_increment, up, m_min, m_max, m_wrap));
}

bool UpDownArrows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && isEnabled())
        emit mouseDown(static_cast<QMouseEvent*>(event)->button());
    return QWidget::eventFilter(watched, event);
}

}  // namespace voltaris::controls
