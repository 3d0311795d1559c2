#include "shell/FMain.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/DataFolder.h"
#include "base/Errors.h"
#include "base/FileDialogs.h"
#include "base/ResString.h"
#include "base/SettingsStore.h"
#include "base/UserMessages.h"
#include "controls/BusyPointer.h"
#include "controls/CommandGuard.h"
#include "controls/Icons.h"
#include "controls/WindowTexts.h"
#include "memmap/ConfigurationFiles.h"
#include "model/Configuration.h"
#include "shell/CommWizard.h"
#include "shell/ConfigWizard.h"
#include "shell/FAbout.h"
#include "shell/FPortMap.h"
#include "shell/FViewInstrData.h"
#include "transfer/TransferProcedure.h"

namespace voltaris::shell {

namespace {

// The menus as designed: object name, caption id (the help text is id + 200), and the items
// of a submenu. An id of 0 is a separator.
struct MenuItem {
    const char* name;
    int id;
    QList<MenuItem> items = {};
};

const QList<MenuItem>& MenuDesign() {
    static const QList<MenuItem> menus = {
        {"mnuFile",
         1000,
         {{"mnuViewVariable", 1001},
          {"", 0},
          {"mnuImport", 1003},
          {"mnuExport", 1004},
          {"", 0},
          {"mnuPrintOption", 1007},
          {"mnuPrinterSetup", 1005},
          {"mnuPrint", 1006},
          {"", 0},
          {"mnuPortMap", 1008},
          {"", 0},
          {"mnuExit", 1002}}},
        {"mnuGestioneProgrammi",
         1010,
         {{"mnuAddProgramma", 1011},
          {"mnuEditProgramma", 1012},
          {"mnuDelProgramma", 1013},
          {"mnuSendProgramma", 1014},
          {"mnuRxEditTxProgramma", 1015}}},
        {"mnuReset",
         1016,
         {{"mnuResetAll", 1017},
          {"mnuResetAllCounter", 1018},
          {"mnuResetMinMax", 1019},
          {"mnuResetDMD", 1020},
          {"mnuResetTotalEnergyCounter", 1021},
          {"mnuResetPartialEnergyCounter", 1023},
          {"mnuResetHourCounter", 1022}}},
        {"mnuHelp", 1024, {{"mnuAbout", 1025}}},
    };
    return menus;
}

struct ToolButton {
    const char* key;
    int tip;
};
const ToolButton kButtons[] = {
    {"ViewZel2Var", 260}, {"NewProg", 261},         {"EditProg", 262},
    {"DelProg", 263},     {"SendProg", 264},        {"RxTxProg", 265},
    {"ResetAll", 267},    {"ResetAllCounter", 269}, {"ResetMaxMinDMD", 268},
};

// The commands whose windows the program does not have yet: shown, never enabled.
bool NotYetAvailable(const QString& name) {
    static const QStringList later = {"mnuPrintOption", "mnuPrinterSetup", "mnuPrint"};
    return later.contains(name);
}

// The reset menu items and the reset code each sends.
struct ResetItem {
    const char* name;
    qint32 code;
};
const ResetItem kResetItems[] = {
    {"mnuResetAll", 0},
    {"mnuResetAllCounter", 1},
    {"mnuResetMinMax", 3},
    {"mnuResetDMD", 4},
    {"mnuResetTotalEnergyCounter", 5},
    {"mnuResetHourCounter", 6},
    {"mnuResetPartialEnergyCounter", 7},
};

}  // namespace

FMain::FMain(Archive& archive, QWidget* parent) : QMainWindow(parent), m_archive(archive) {
    setObjectName(QStringLiteral("FMain"));
    setWindowIcon(controls::ProgramIcon());
    BuildMenus();
    BuildToolBar();
    dgProgrammi = new QTableWidget(0, 2, this);
    dgProgrammi->setObjectName(QStringLiteral("dgProgrammi"));
    dgProgrammi->setSelectionBehavior(QAbstractItemView::SelectRows);
    dgProgrammi->setSelectionMode(QAbstractItemView::SingleSelection);
    dgProgrammi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgProgrammi->verticalHeader()->setVisible(false);
    dgProgrammi->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    dgProgrammi->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    dgProgrammi->setTabKeyNavigation(false);
    setCentralWidget(dgProgrammi);
    connect(dgProgrammi, &QTableWidget::currentCellChanged, this, [this](int row) {
        const QTableWidgetItem* item = row >= 0 ? dgProgrammi->item(row, 1) : nullptr;
        m_IDProgramma = item ? item->text().toInt() : -1;
    });
    connect(dgProgrammi, &QTableWidget::cellActivated, this,
            [this] { controls::RunCommand(this, [this] { EditProgram(); }); });
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(m_statusText, 1);
    LoadForm();
}

FMain::~FMain() = default;

QAction* FMain::Item(const char* name) const {
    return findChild<QAction*>(QLatin1String(name));
}

void FMain::BuildMenus() {
    for (const MenuItem& top : MenuDesign()) {
        QMenu* menu = menuBar()->addMenu(QString::number(top.id));
        menu->setObjectName(QLatin1String(top.name));
        menu->menuAction()->setObjectName(QLatin1String(top.name));
        for (const MenuItem& item : top.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::number(item.id));
            action->setObjectName(QLatin1String(item.name));
            action->setEnabled(!NotYetAvailable(action->objectName()));
        }
    }
    const auto run = [this](const char* name, void (FMain::*command)()) {
        connect(Item(name), &QAction::triggered, this, [this, command] {
            controls::RunCommand(this, [this, command] { (this->*command)(); });
        });
    };
    run("mnuAddProgramma", &FMain::NewProgram);
    run("mnuEditProgramma", &FMain::EditProgram);
    run("mnuDelProgramma", &FMain::DeleteProgram);
    run("mnuImport", &FMain::ImportFile);
    run("mnuExport", &FMain::ExportFile);
    run("mnuAbout", &FMain::ShowAbout);
    run("mnuPortMap", &FMain::ShowPortMap);
    run("mnuViewVariable", &FMain::ViewInstrumentData);
    run("mnuSendProgramma", &FMain::SendProgram);
    run("mnuRxEditTxProgramma", &FMain::ModifyInstrument);
    for (const ResetItem& r : kResetItems) {
        const qint32 code = r.code;
        connect(Item(r.name), &QAction::triggered, this, [this, code] {
            controls::RunCommand(this, [this, code] { ResetInstrument(code); });
        });
    }
    connect(Item("mnuExit"), &QAction::triggered, this, &QWidget::close);
    Item("mnuExit")->setShortcut(QKeySequence::Quit);
    Item("mnuAddProgramma")->setShortcut(QKeySequence::New);

    // Availability as the menus open.
    connect(findChild<QMenu*>(QStringLiteral("mnuFile")), &QMenu::aboutToShow, this,
            [this] { Item("mnuExport")->setEnabled(m_IDProgramma != -1); });
    connect(findChild<QMenu*>(QStringLiteral("mnuGestioneProgrammi")), &QMenu::aboutToShow, this,
            [this] {
                const bool rows = m_IDProgramma != -1;
                Item("mnuEditProgramma")->setEnabled(rows);
                Item("mnuDelProgramma")->setEnabled(rows);
                Item("mnuSendProgramma")->setEnabled(rows);
            });
}

void FMain::BuildToolBar() {
    tbToolBar = addToolBar(QString());
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setIconSize(QSize(24, 24));
    for (const ToolButton& b : kButtons) {
        QAction* action = tbToolBar->addAction(controls::ToolbarIcon(QLatin1String(b.key)), {});
        action->setObjectName(QLatin1String(b.key));
        action->setEnabled(!NotYetAvailable(action->objectName()));
        const QString key = QLatin1String(b.key);
        connect(action, &QAction::triggered, this, [this, key] { ButtonClick(key); });
        if (QString(b.key) == QLatin1String("DelProg") ||
            QString(b.key) == QLatin1String("ViewZel2Var"))
            tbToolBar->addSeparator();
    }
}

void FMain::LoadToolBarToolTip() {
    g_Trace().BugMessage(QStringLiteral("Start LoadToolBarToolTip()"));
    for (const ToolButton& b : kButtons) {
        QAction* action = tbToolBar->findChild<QAction*>(QLatin1String(b.key));
        if (!action)
            action = findChild<QAction*>(QLatin1String(b.key));
        // The buttons show only a picture: the tip is also what a screen reader says.
        action->setToolTip(ResString(b.tip));
        action->setText(ResString(b.tip));
    }
    g_Trace().BugMessage(QStringLiteral("End LoadToolBarToolTip()"));
}

void FMain::ButtonClick(const QString& key) {
    g_Trace().BugMessage(QStringLiteral("ButtonKey=") + key);
    controls::RunCommand(this, [this, key] {
        if (key == QLatin1String("NewProg"))
            NewProgram();
        else if (key == QLatin1String("EditProg"))
            EditProgram();
        else if (key == QLatin1String("DelProg"))
            DeleteProgram();
        else if (key == QLatin1String("SendProg"))
            SendProgram();
        else if (key == QLatin1String("ViewZel2Var"))
            ViewInstrumentData();
        else if (key == QLatin1String("RxTxProg"))
            ModifyInstrument();
        else if (key == QLatin1String("ResetAll"))
            ResetInstrument(0);
        else if (key == QLatin1String("ResetAllCounter"))
            ResetInstrument(1);
        else if (key == QLatin1String("ResetMaxMinDMD"))
            ResetInstrument(2);
    });
}

void FMain::LoadForm() {
    const QDateTime now = QDateTime::currentDateTime();
    g_Trace().BugMessage(now.toString(QStringLiteral("ddMMyyyy hh:mm:ss")) +
                         QStringLiteral(" Nuova esecuzione di Zel2Soft"));
    m_Loading = true;
    g_Trace().BugMessage(QStringLiteral("Creazione della classe per l'help sulla statusbar"));
    m_StatusBarHelp = std::make_unique<controls::CStatusBarHelp>();
    m_StatusBarHelp->Create(this, 200);
    connect(m_StatusBarHelp.get(), &controls::CStatusBarHelp::HelpID, this, &FMain::OnHelpID);
    controls::LoadMenuCaptions(this);
    RestorePlacement();
    LoadToolBarToolTip();
    g_Trace().BugMessage(QStringLiteral("Form_Load step 1"));
    m_statusText->setText(ResString(240));
    setWindowTitle(ResString(301));
    g_Trace().BugMessage(QStringLiteral("Form_Load step 2"));
    dgProgrammi->setHorizontalHeaderLabels({ResString(796), QStringLiteral("IDProgramma")});
    // The list names itself by its first column's caption.
    dgProgrammi->setAccessibleName(ResString(796));
    Requery(-1);
    g_Trace().BugMessage(QStringLiteral("Istanziamento classe m_CommConfigSetup"));
    g_Trace().BugMessage(QStringLiteral("Istanziamento classe m_NetworkAddMsg"));
    g_Trace().BugMessage(QStringLiteral("Istanziamento classe m_Option"));
    g_Trace().BugMessage(QStringLiteral("LoadData m_CommConfigSetup"));
    m_CommConfigSetup.LoadData(QString());
    g_Trace().BugMessage(QStringLiteral("LoadData m_NetworkAddMsg"));
    m_NetworkAddMsg.LoadData(QString());
    g_Trace().BugMessage(QStringLiteral("LoadData m_Option"));
    m_Option.LoadData(QString());
    m_Loading = false;
    g_Trace().BugMessage(QStringLiteral("Fine FMain_Load"));
}

void FMain::OnHelpID(qint16 id) {
    if (!statusBar()->isEnabled())
        return;
    if (id == -1)
        m_statusText->clear();
    else if (id == 0)
        m_statusText->setText(ResString(240));
    else
        m_statusText->setText(ResString(id));
}

void FMain::Requery(qint32 select) {
    const QList<ProgramEntry> entries = m_archive.list();
    QSignalBlocker block(dgProgrammi);
    dgProgrammi->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        dgProgrammi->setItem(row, 0, new QTableWidgetItem(entries[row].name));
        auto* id = new QTableWidgetItem(QString::number(entries[row].id));
        id->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        dgProgrammi->setItem(row, 1, id);
    }
    block.unblock();
    SelectProgram(select);
    UpdateCommands();
}

void FMain::SelectProgram(qint32 id) {
    int row = dgProgrammi->rowCount() > 0 ? 0 : -1;
    for (int r = 0; r < dgProgrammi->rowCount(); ++r)
        if (dgProgrammi->item(r, 1)->text().toInt() == id)
            row = r;
    if (row >= 0) {
        dgProgrammi->setCurrentCell(row, 0);
        dgProgrammi->selectRow(row);
    }
    m_IDProgramma = row >= 0 ? dgProgrammi->item(row, 1)->text().toInt() : -1;
}

void FMain::UpdateCommands() {
    const bool rows = dgProgrammi->rowCount() > 0;
    if (!rows)
        m_IDProgramma = -1;
    for (const char* key : {"EditProg", "DelProg", "SendProg"})
        Item(key)->setEnabled(rows);
    Item("mnuEditProgramma")->setEnabled(rows);
    Item("mnuDelProgramma")->setEnabled(rows);
    Item("mnuSendProgramma")->setEnabled(rows);
    Item("mnuExport")->setEnabled(rows);
}

QString FMain::ProgramName(qint32 id) const {
    for (int r = 0; r < dgProgrammi->rowCount(); ++r)
        if (dgProgrammi->item(r, 1)->text().toInt() == id)
            return dgProgrammi->item(r, 0)->text();
    return {};
}

void FMain::NewProgram() {
    const std::optional<qint32> id = EditNewProgramma(this, m_archive, kModeNew, -1, QString());
    if (!id) {
        g_Trace().BugMessage(QStringLiteral("Annullata nuova configurazione"));
        return;
    }
    Requery(*id);
}

void FMain::EditProgram() {
    if (m_IDProgramma == -1)
        return;
    const qint32 id = m_IDProgramma;
    if (EditNewProgramma(this, m_archive, kModeEdit, id, ProgramName(id)))
        Requery(id);
}

void FMain::DeleteProgram() {
    if (m_IDProgramma == -1)
        return;
    if (UserMessages::current().askYesNo(UserMessages::Icon::Information, ResString(301),
                                         ResString(795)) != UserMessages::Answer::Yes)
        return;
    controls::BusyPointer busy;
    Configuration::remove(m_archive, m_IDProgramma);
    Requery(-1);
}

void FMain::ImportFile() {
    const QString filter = ResString(810);
    const QString path = FileDialogs::current().openFileName(
        ResString(1003).remove(QLatin1Char('&')),
        DataFolder::path() + QLatin1Char('/') + filter.right(5), filter);
    if (path.isEmpty())
        return;
    controls::BusyPointer busy;
    const std::optional<qint32> id = ImportConfiguration(m_archive, path);
    if (!id)
        return;  // refused: the message is out
    Requery(*id);
}

void FMain::ExportFile() {
    if (m_IDProgramma == -1)
        return;
    const qint32 id = m_IDProgramma;
    const QString name = ProgramName(id);
    TraceExportStart(name);
    const QString filter = ResString(810);
    const QString proposed =
        DataFolder::path() + QLatin1Char('/') + SafeFileName(name) + filter.right(4);
    const QString path = FileDialogs::current().saveFileName(ResString(1004), proposed, filter);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) &&
        UserMessages::current().askYesNo(UserMessages::Icon::Question, ResString(301),
                                         FormatResString(2920, QDir::toNativeSeparators(path))) !=
            UserMessages::Answer::Yes)
        return;
    {
        controls::BusyPointer busy;
        ExportConfiguration(m_archive, id, path);
    }
    // The file's name field is its format; say what it changed.
    const QString warning = ExportNameWarning(name);
    if (!warning.isEmpty())
        UserMessages::current().show(UserMessages::Icon::Information, ResString(301), warning);
}

bool FMain::RunTransfer(qint32 action, qint32 id) {
    CNetworkAddMsgSetup auxiliary;
    const bool onAuxiliary = m_CommConfigSetup.InterfaceType() == CCommConfig::AuxiliaryPort;
    if (onAuxiliary)
        auxiliary.SetData(m_NetworkAddMsg);
    CNetworkAddMsgSetup& network = onAuxiliary ? auxiliary : m_NetworkAddMsg;
    FSerialProgSetup window(m_archive, m_line, this);
    window.setAction(action);
    if (id != -1)
        window.setIDProgramma(id);
    window.Create(m_CommConfigSetup, network);
    window.exec();
    const qint16 address =
        AddressAfterTransfer(m_CommConfigSetup.InterfaceType(), action, network.NetworkAdd(),
                             static_cast<qint16>(window.procedure().CurrentAddress()));
    if (address != network.NetworkAdd()) {
        network.setNetworkAdd(address);
        network.SaveData(QString());
    }
    return window.ReturnValue();
}

void FMain::SendProgram() {
    if (m_IDProgramma == -1)
        return;
    const qint32 id = m_IDProgramma;
    if (!RunCommWizard(this, m_CommConfigSetup, m_NetworkAddMsg, ResString(793), 0, false))
        return;
    RunTransfer(TransferProcedure::WriteConfiguration, id);
}

void FMain::ViewInstrumentData() {
    if (!RunCommWizard(this, m_CommConfigSetup, m_NetworkAddMsg, ResString(794), 1, false))
        return;
    FViewInstrData window(m_line, this);
    window.Create(m_CommConfigSetup, m_NetworkAddMsg);
    window.exec();
}

void FMain::ResetInstrument(qint32 code) {
    if (!RunCommWizard(this, m_CommConfigSetup, m_NetworkAddMsg, ResString(798 + code), 1, false))
        return;
    RunTransfer(code, -1);
}

void FMain::ModifyInstrument() {
    if (!RunCommWizard(this, m_CommConfigSetup, m_NetworkAddMsg, ResString(792), 0, true))
        return;
    if (!RunTransfer(TransferProcedure::ReadConfiguration, Archive::ReservedId))
        return;
    g_Trace().BugMessage(QStringLiteral("Modifica dell'attuale configurazione dello strumento."));
    if (!EditNewProgramma(this, m_archive, kModeInstrument, Archive::ReservedId, QString())) {
        g_Trace().BugMessage(
            QStringLiteral("Annullata la modifica dell'attuale configurazione dello strumento."));
        return;
    }
    g_Trace().BugMessage(
        QStringLiteral("Modifica dell'attuale configurazione dello strumento eseguita."));
    Requery(m_IDProgramma);
    // The instrument was just read at the record's address: write back there, no search.
    m_NetworkAddMsg.setSelNetworkAdd(1);
    RunTransfer(TransferProcedure::WriteConfiguration, Archive::ReservedId);
}

void FMain::ShowNote(const QString& text) {
    auto* note = findChild<QLabel*>(QStringLiteral("lblNote"));
    if (!note) {
        note = new QLabel(this);
        note->setObjectName(QStringLiteral("lblNote"));
        statusBar()->addPermanentWidget(note);
    }
    note->setText(text);
}

void FMain::ShowPortMap() {
    FPortMap map(this);
    map.exec();
}

void FMain::ShowAbout() {
    FAbout about(this);
    about.exec();
}

void FMain::RestorePlacement() {
    const SettingsStore store;
    const QString section = QStringLiteral("Settings");
    m_placement.left = store.read<int>(section, QStringLiteral("MainLeft"), 100);
    m_placement.top = store.read<int>(section, QStringLiteral("MainTop"), 100);
    m_placement.width = store.read<int>(section, QStringLiteral("MainWidth"), 6800);
    m_placement.height = store.read<int>(section, QStringLiteral("MainHeight"), 3750);
    m_placement.state = store.read<int>(section, QStringLiteral("WindowState"), 0);
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->availableGeometry();
    setMinimumSize(PixelsOf(kMinWidthTwips), PixelsOf(kMinHeightTwips));
    setGeometry(PlacementRect(m_placement, screens));
    if (m_placement.state == 2)
        setWindowState(Qt::WindowMaximized);
}

void FMain::SavePlacement() {
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    const WindowPlacement p = PlacementToSave(m_placement, geometry(), state);
    SettingsStore store;
    const QString section = QStringLiteral("Settings");
    if (state == 0) {
        store.write<int>(section, QStringLiteral("MainLeft"), p.left);
        store.write<int>(section, QStringLiteral("MainTop"), p.top);
        store.write<int>(section, QStringLiteral("MainWidth"), p.width);
        store.write<int>(section, QStringLiteral("MainHeight"), p.height);
    }
    store.write<int>(section, QStringLiteral("WindowState"), p.state);
    m_placement = p;
    if (!store.sync())
        throw IoError(QStringLiteral("The settings could not be saved in %1.")
                          .arg(QDir::toNativeSeparators(SettingsStore::location())));
}

void FMain::closeEvent(QCloseEvent* event) {
    controls::RunCommand(this, [this] {
        m_CommConfigSetup.SaveData(QString());
        m_NetworkAddMsg.SaveData(QString());
        m_Option.SaveData(QString());
        SavePlacement();
    });
    event->accept();
}

}  // namespace voltaris::shell
