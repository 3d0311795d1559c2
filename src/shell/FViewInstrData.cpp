#include "shell/FViewInstrData.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/Clock.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "comm/Ports.h"
#include "comm/WirrelObj.h"
#include "controls/CTrayIcon.h"
#include "controls/Icons.h"
#include "livedata/LivePoller.h"

namespace voltaris::shell {

namespace {

QTableWidget* NewGrid(QWidget* parent, const char* name, CInstrViewVar::Table t) {
    auto* grid =
        new QTableWidget(CInstrViewVar::RowCount(t) - 1, CInstrViewVar::ColumnCount(t), parent);
    grid->setObjectName(QLatin1String(name));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setVisible(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return grid;
}

// A lamp: a round patch of colour, named for a screen reader.
QLabel* NewLamp(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* lamp = new QLabel(parent);
    lamp->setObjectName(QLatin1String(name));
    lamp->setFixedSize(18, 18);
    lamp->setAccessibleName(accessibleName);
    return lamp;
}

// 0xBBGGRR as the colour it stands for.
QColor ColourOf(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace

FViewInstrData::FViewInstrData(const InstrumentLine& line, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FViewInstrData"));
    setWindowTitle(ResString(794));
    setWindowIcon(controls::ProgramIcon());
    setModal(true);
    Clock& clock = line.clock ? *line.clock : Clock::real();
    m_component = std::make_unique<WirrelObj>(clock);
    if (line.factory)
        m_component->setTransportFactory(line.factory);
    m_poller = std::make_unique<LivePoller>(clock, *m_component);

    auto* root = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("TabStrip"));
    root->addWidget(tabs, 1);
    const QStringList captions = CInstrViewVar::TabCaptions();
    QWidget* pages[3];
    for (int i = 0; i < 3; ++i) {
        pages[i] = new QWidget(tabs);
        pages[i]->setObjectName(QStringLiteral("picTab%1").arg(i + 1));
        new QVBoxLayout(pages[i]);
        tabs->addTab(pages[i], captions.value(i));
    }
    using T = CInstrViewVar;
    m_grids[T::Electrical] = NewGrid(pages[0], "dgElettricData", T::Electrical);
    m_grids[T::Dmd] = NewGrid(pages[1], "dgElettricDataDMD", T::Dmd);
    m_grids[T::MaxMin] = NewGrid(pages[1], "dgElettricDataMinMax", T::MaxMin);
    m_grids[T::Counters] = NewGrid(pages[2], "dgCounter", T::Counters);
    pages[0]->layout()->addWidget(m_grids[T::Electrical]);
    pages[1]->layout()->addWidget(m_grids[T::Dmd]);
    pages[1]->layout()->addWidget(m_grids[T::MaxMin]);
    pages[2]->layout()->addWidget(m_grids[T::Counters]);
    // Each table is named by its tab (two tables share the second: told apart by their rows).
    m_grids[T::Electrical]->setAccessibleName(captions.value(0));
    m_grids[T::Dmd]->setAccessibleName(captions.value(1) + QStringLiteral(" - DMD"));
    m_grids[T::MaxMin]->setAccessibleName(captions.value(1) + QStringLiteral(" - Max/Min"));
    m_grids[T::Counters]->setAccessibleName(captions.value(2));

    auto* alarms = new QGroupBox(ResString(1710), pages[2]);
    alarms->setObjectName(QStringLiteral("frmAlarmStatus"));
    auto* alarmRow = new QHBoxLayout(alarms);
    LedAlarmOut1 = NewLamp(alarms, "LedAlarmOut1", ResString(1711));
    LedAlarmOut2 = NewLamp(alarms, "LedAlarmOut2", ResString(1712));
    alarmRow->addWidget(LedAlarmOut1);
    alarmRow->addWidget(new QLabel(ResString(1711), alarms));
    alarmRow->addSpacing(16);
    alarmRow->addWidget(LedAlarmOut2);
    alarmRow->addWidget(new QLabel(ResString(1712), alarms));
    alarmRow->addStretch(1);
    pages[2]->layout()->addWidget(alarms);

    auto* bottom = new QHBoxLayout;
    root->addLayout(bottom);
    LedAlarm = NewLamp(this, "LedAlarm", ResString(1762));
    LedAlarm->setToolTip(ResString(266));
    bottom->addWidget(LedAlarm);
    bottom->addWidget(new QLabel(ResString(1762), this));
    bottom->addSpacing(16);
    Label1 = new QLabel(ResString(1761), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* address = new QLineEdit(this);
    address->setObjectName(QStringLiteral("txtNetworkAdd"));
    address->setMaximumWidth(80);
    auto* arrows = new controls::UpDownArrows(this);
    arrows->setObjectName(QStringLiteral("UpDown1"));
    Label1->setBuddy(address);
    m_SpinNetworkAdd.Create(address, arrows, 1, 255, 1, 1, false, false);
    m_SpinNetworkAdd.setDataFormat(QStringLiteral("##0"));
    bottom->addWidget(Label1);
    bottom->addWidget(address);
    // A silent address of a network says so, beside the tables' dashes.
    lblSilent = new QLabel(this);
    lblSilent->setObjectName(QStringLiteral("lblSilent"));
    lblSilent->setStyleSheet(QStringLiteral("color: #b00000;"));
    lblSilent->setVisible(false);
    bottom->addWidget(lblSilent);
    ProgBarAutoDetect = new QProgressBar(this);
    ProgBarAutoDetect->setObjectName(QStringLiteral("ProgBarAutoDetect"));
    ProgBarAutoDetect->setTextVisible(false);
    ProgBarAutoDetect->setVisible(false);
    bottom->addWidget(ProgBarAutoDetect, 1);
    bottom->addStretch(0);
    cmdClose = new QPushButton(ResString(2005), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    bottom->addWidget(cmdClose);

    for (QLabel* lamp : {LedAlarm, LedAlarmOut1, LedAlarmOut2})
        ShowLamp(lamp, LivePoller::Grey);
    ShowTables();

    m_tray = std::make_unique<controls::LinkTrayIcon>(this, controls::IconResource(10001));
    m_tray->follow(m_poller.get(), &LivePoller::lineOpened);
    connect(cmdClose, &QPushButton::clicked, this, &FViewInstrData::reject);
    connect(m_poller.get(), &Engine::connectionLine, this,
            [this](const QString& text) { setWindowTitle(text); });
    connect(m_poller.get(), &Engine::progress, this, [this](int value, int min, int max) {
        ProgBarAutoDetect->setRange(min, max);
        ProgBarAutoDetect->setValue(value);
    });
    connect(m_poller.get(), &LivePoller::AutoDetectVisible, ProgBarAutoDetect,
            &QWidget::setVisible);
    connect(m_poller.get(), &LivePoller::AddressSpinChanged, this,
            [this](int min, int max, int value, bool enabled) {
                m_settingSpin = true;
                m_SpinNetworkAdd.setMin(qint16(min));
                m_SpinNetworkAdd.setMax(qint16(max));
                m_SpinNetworkAdd.setValue(qint16(value));
                m_settingSpin = false;
                m_SpinNetworkAdd.setEnabled(enabled);
                Label1->setEnabled(enabled);
            });
    connect(&m_SpinNetworkAdd, &controls::SpinField::Change, this, [this] {
        if (!m_settingSpin && m_started)
            m_poller->ChangeAddress(m_SpinNetworkAdd.Value());
    });
    connect(m_poller.get(), &LivePoller::CycleShown, this, [this] {
        lblSilent->setVisible(false);
        ShowTables();
    });
    connect(m_poller.get(), &LivePoller::AddressSilent, this, [this](qint16 address) {
        lblSilent->setText(FormatResString(2932, QString::number(address)));
        lblSilent->setVisible(true);
    });
    connect(m_poller.get(), &LivePoller::TablesCleared, this, [this] { ShowTables(); });
    connect(m_poller.get(), &LivePoller::LampsChanged, this,
            [this](quint32 general, quint32 out1, quint32 out2) {
                ShowLamp(LedAlarm, general);
                ShowLamp(LedAlarmOut1, out1);
                ShowLamp(LedAlarmOut2, out2);
            });
    connect(m_poller.get(), &Engine::message, this, [this](int, const QString& text, int titleId) {
        m_messages.append({titleId, text});
    });
    connect(m_poller.get(), &Engine::finished, this, &FViewInstrData::OnFinished);
    resize(620, 420);
}

FViewInstrData::~FViewInstrData() = default;

bool FViewInstrData::Create(CCommConfig& comm, CNetworkAddMsgSetup& network) {
    const bool created = m_poller->Create(comm, network);
    m_poller->setLinkMode(LinkModeSetting());
    return created;
}

bool FViewInstrData::ReturnValue() const {
    return m_poller->ReturnValue();
}

void FViewInstrData::ShowTables() {
    const CInstrViewVar& decoder = m_poller->Decoder();
    for (int t = 0; t < CInstrViewVar::kTableCount; ++t) {
        const auto table = CInstrViewVar::Table(t);
        QTableWidget* grid = m_grids[t];
        QStringList header;
        for (int c = 0; c < CInstrViewVar::ColumnCount(table); ++c)
            header << decoder.Cell(table, 1, c);
        grid->setHorizontalHeaderLabels(header);
        for (int r = 2; r <= CInstrViewVar::RowCount(table); ++r)
            for (int c = 0; c < CInstrViewVar::ColumnCount(table); ++c) {
                QTableWidgetItem* item = grid->item(r - 2, c);
                if (!item) {
                    item = new QTableWidgetItem;
                    item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                  : Qt::AlignRight | Qt::AlignVCenter);
                    grid->setItem(r - 2, c, item);
                }
                item->setText(decoder.Cell(table, r, c));
            }
        // Sized to its rows: the whole table shows without scrolling.
        int height = grid->horizontalHeader()->sizeHint().height() + 2 * grid->frameWidth();
        for (int r = 0; r < grid->rowCount(); ++r)
            height += grid->rowHeight(r);
        grid->setFixedHeight(height);
    }
}

void FViewInstrData::ShowLamp(QLabel* lamp, quint32 colour) {
    lamp->setStyleSheet(QStringLiteral("background: %1; border: 1px solid #404040; "
                                       "border-radius: 9px;")
                            .arg(ColourOf(colour).name()));
    lamp->setAccessibleDescription(colour == LivePoller::Red     ? QStringLiteral("on")
                                   : colour == LivePoller::Green ? QStringLiteral("off")
                                                                 : QStringLiteral("-"));
}

void FViewInstrData::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    m_poller->start();
}

void FViewInstrData::reject() {
    if (m_finished || !m_started) {
        QDialog::reject();
        return;
    }
    m_poller->Cancel();  // the window closes once polling has ended
}

void FViewInstrData::closeEvent(QCloseEvent* event) {
    if (m_finished || !m_started) {
        event->accept();
        return;
    }
    event->ignore();
    m_poller->Cancel();
}

void FViewInstrData::OnFinished(const EngineOutcome&) {
    m_finished = true;
    for (const auto& [titleId, text] : std::as_const(m_messages))
        UserMessages::current().show(UserMessages::Icon::Warning, ResString(titleId), text);
    m_messages.clear();
    done(ReturnValue() ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace voltaris::shell
