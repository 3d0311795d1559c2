#include "shell/FSerialProgSetup.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <utility>

#include "base/Clock.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "comm/CWirrel.h"
#include "comm/Ports.h"
#include "controls/CTrayIcon.h"
#include "controls/CommandGuard.h"
#include "controls/Icons.h"
#include "transfer/TransferProcedure.h"

namespace voltaris::shell {

FSerialProgSetup::FSerialProgSetup(Archive& archive, const InstrumentLine& line, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FSerialProgSetup"));
    setWindowTitle(ResString(204));
    setWindowIcon(controls::ProgramIcon());
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    Clock& clock = line.clock ? *line.clock : Clock::real();
    m_component = std::make_unique<WirrelObj>(clock);
    if (line.factory)
        m_component->setTransportFactory(line.factory);
    m_procedure = std::make_unique<TransferProcedure>(clock, *m_component, archive);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    for (QLabel* l : {Label1, Label5}) {
        l->setWordWrap(true);
        l->setMinimumHeight(l->fontMetrics().height());
    }
    ProgBarTransfer = new QProgressBar(this);
    ProgBarTransfer->setObjectName(QStringLiteral("ProgBarTransfer"));
    ProgBarTransfer->setTextVisible(false);
    ProgBarTransfer->setRange(0, 1);
    ProgBarTransfer->setValue(0);
    // The bar has no caption of its own: it tells how far the communication is.
    ProgBarTransfer->setAccessibleName(ResString(204));
    cmdCancel = new QPushButton(ResString(2001), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    cmdCancel->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label5);
    layout->addWidget(ProgBarTransfer);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(cmdCancel, &QPushButton::clicked, this, &FSerialProgSetup::Cancel);
    connect(m_procedure.get(), &Engine::connectionLine, Label1, &QLabel::setText);
    connect(m_procedure.get(), &Engine::operationLine, Label5, &QLabel::setText);
    connect(m_procedure.get(), &Engine::progress, this, [this](int value, int min, int max) {
        ProgBarTransfer->setRange(min, max);
        ProgBarTransfer->setValue(value);
    });
    // A message ends the operation: it is shown once the procedure has finished, so no
    // message box runs while the procedure waits on the line.
    connect(m_procedure.get(), &Engine::message, this,
            [this](int, const QString& text, int titleId) {
                m_pending.append({titleId, text});
            });
    connect(m_procedure.get(), &Engine::finished, this, &FSerialProgSetup::OnFinished);

    m_tray = std::make_unique<controls::LinkTrayIcon>(
        this, controls::IconResource(controls::kTraySerialIconId));
    m_tray->follow(m_procedure.get(), &Engine::lineOpened);
}

FSerialProgSetup::~FSerialProgSetup() {
    // The procedure goes first: its end closes the line the tray icon follows.
    m_procedure.reset();
    m_tray.reset();
}

qint32 FSerialProgSetup::Action() const {
    return m_procedure->Action();
}

void FSerialProgSetup::setAction(qint32 action) {
    m_procedure->setAction(action);
}

qint32 FSerialProgSetup::IDProgramma() const {
    return m_procedure->IDProgramma();
}

void FSerialProgSetup::setIDProgramma(qint32 id) {
    m_procedure->setIDProgramma(id);
}

bool FSerialProgSetup::Create(CCommConfig& comm, CNetworkAddMsgSetup& network) {
    m_procedure->Create(comm, network);
    m_procedure->link().setLinkMode(LinkModeSetting());
    return true;
}

bool FSerialProgSetup::ReturnValue() const {
    return m_ended && m_procedure->ReturnValue() && m_procedure->outcome().ok();
}

void FSerialProgSetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    // Started from the event loop, once the window is on the screen.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_ended)
                return;  // cancelled before it began
            controls::RunCommand(this, [this] {
                if (!m_procedure->start())
                    done(QDialog::Rejected);
            });
        },
        Qt::QueuedConnection);
}

void FSerialProgSetup::Cancel() {
    if (m_ended) {
        done(ReturnValue() ? QDialog::Accepted : QDialog::Rejected);
        return;
    }
    if (!m_procedure->isRunning()) {
        // Not started yet: there is nothing to wait for.
        m_procedure->cancel();
        m_ended = true;
        done(QDialog::Rejected);
        return;
    }
    cmdCancel->setEnabled(false);
    m_procedure->cancel();
}

void FSerialProgSetup::reject() {
    Cancel();
}

void FSerialProgSetup::closeEvent(QCloseEvent* event) {
    if (m_ended) {
        event->accept();
        return;
    }
    // The window stays until the operation has ended.
    event->ignore();
    Cancel();
}

void FSerialProgSetup::OnFinished(const EngineOutcome& outcome) {
    m_ended = true;
    const QList<Message> pending = std::exchange(m_pending, {});
    for (const Message& m : pending)
        UserMessages::current().show(UserMessages::Icon::Warning, ResString(m.titleId), m.text);
    if (outcome.error) {
        const std::exception_ptr error = outcome.error;
        controls::RunCommand(this, [error] { std::rethrow_exception(error); });
    }
    done(ReturnValue() ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace voltaris::shell
