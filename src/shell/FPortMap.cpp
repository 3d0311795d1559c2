#include "shell/FPortMap.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/ResString.h"
#include "base/UserMessages.h"
#include "comm/Ports.h"
#include "controls/ProgramFont.h"
#include "shell/ShellRules.h"

namespace voltaris::shell {

FPortMap::FPortMap(QWidget* parent, QList<SerialPortEntry> present)
    : QDialog(parent), m_present(std::move(present)) {
    setObjectName(QStringLiteral("FPortMap"));
    setWindowTitle(ResString(2930));
    auto* grid = new QGridLayout(this);
    const QList<ComPortMapping> map = MapComPorts(m_present);
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(ResString(325 + i), this);  // "COM1" .. "COM4"
        label->setObjectName(QStringLiteral("lblCOM%1").arg(i + 1));
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("cmbCOM%1").arg(i + 1));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumContentsLength(36);
        // The stable by-id name survives replugging; the device is offered where there is none.
        for (const SerialPortEntry& e : m_present) {
            const QString path =
                e.byId.isEmpty() ? e.device : QStringLiteral("/dev/serial/by-id/") + e.byId;
            QStringList what{e.device};
            for (const QString& s : {e.manufacturer, e.product})
                if (!s.isEmpty())
                    what << s;
            combo->addItem(path);
            combo->setItemData(combo->count() - 1, what.join(QStringLiteral(", ")),
                               Qt::ToolTipRole);
        }
        combo->setCurrentText(map[i].port);
        combo->setToolTip(DescribeComPort(map[i], m_present));
        label->setBuddy(combo);
        grid->addWidget(label, i, 0);
        grid->addWidget(combo, i, 1);
        m_ports << combo;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ResString(2004));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(ResString(2001));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FPortMap::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 4, 0, 1, 2);
    controls::ApplyProgramFont(this);
}

void FPortMap::accept() {
    for (int i = 0; i < m_ports.size(); ++i) {
        if (!PortEntryAccepted(m_ports[i]->currentText())) {
            UserMessages::current().show(
                UserMessages::Icon::Warning, ResString(2930),
                FormatResString(2931, ResString(325 + i), QStringLiteral("/dev/ttyUSB%1").arg(i)));
            m_ports[i]->setFocus();
            return;
        }
    }
    for (int i = 0; i < m_ports.size(); ++i) {
        const QString text = m_ports[i]->currentText().trimmed();
        SetPortNameForIndex(i, text.isEmpty() ? QStringLiteral("/dev/ttyUSB%1").arg(i) : text);
    }
    QDialog::accept();
}

}  // namespace voltaris::shell
