#include "DemoWizard.h"

#include "base/ResString.h"
#include "controls/Icons.h"
#include "wizard/FWCommConfig.h"
#include "wizard/FWFinalSetupMessage.h"
#include "wizard/FWNetworkAddMsgSetup.h"
#include "wizard/FWSerialComm.h"

namespace voltaris::demo {

using wizard::WizardPage;

DemoWizard::DemoWizard() {
    auto* final = new wizard::FWFinalSetupMessage;
    final->setAction(1);
    tabs.Add(new wizard::FWCommConfig, &comm);
    tabs.Add(new wizard::FWNetworkAddMsgSetup, &network);
    tabs.Add(new wizard::FWSerialComm, &serial);
    tabs.Add(final, nullptr);
    tabs.setCaption(ResString(319));
    tabs.setIcon(controls::kProgramIconId);

    // Going forward to the network page: it needs the connection type chosen on the first
    // page (still only in that page), and is passed over for the auxiliary port.
    QObject::connect(&tabs, &wizard::CWizardTabs::AfterShowNextTabs,
                     [this](int& i, const QList<WizardPage*>& pages, const QString& key) {
                         if (key != QLatin1String("CNetworkAddMsgSetup"))
                             return;
                         CCommConfig chosen;
                         pages[0]->GetData(chosen);
                         if (chosen.InterfaceType() == CCommConfig::AuxiliaryPort) {
                             ++i;
                             return;
                         }
                         CNetworkAddMsgSetup shown;
                         pages[i - 1]->GetData(shown);
                         shown.setInterfaceType(chosen.InterfaceType());
                         pages[i - 1]->SetData(shown);
                     });
    QObject::connect(&tabs, &wizard::CWizardTabs::AfterShowBackTabs,
                     [](int& i, const QList<WizardPage*>& pages, const QString& key) {
                         if (key != QLatin1String("CNetworkAddMsgSetup"))
                             return;
                         CCommConfig chosen;
                         pages[0]->GetData(chosen);
                         if (chosen.InterfaceType() == CCommConfig::AuxiliaryPort)
                             --i;
                     });
}

QString DemoWizard::Summary() const {
    return QStringLiteral(
               "CCommConfig: InterfaceType=%1 ComPort=%2\n"
               "CNetworkAddMsgSetup: ModeConfig=%3 SelNetworkAdd=%4 NetworkAdd=%5 "
               "TotalInstrNetwork=%6\n"
               "CSerialComm: NetworkAdd=%7 BaudRate=%8\n")
        .arg(comm.InterfaceType())
        .arg(comm.ComPort())
        .arg(network.ModeConfig())
        .arg(network.SelNetworkAdd())
        .arg(network.NetworkAdd())
        .arg(network.TotalInstrNetwork())
        .arg(serial.NetworkAdd())
        .arg(serial.BaudRate());
}

}  // namespace voltaris::demo
