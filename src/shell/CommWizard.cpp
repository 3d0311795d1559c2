#include "shell/CommWizard.h"

#include "base/CTraceCode.h"
#include "controls/Icons.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "shell/ShellRules.h"
#include "wizard/CWizardTabs.h"
#include "wizard/FWCommConfig.h"
#include "wizard/FWFinalSetupMessage.h"
#include "wizard/FWNetworkAddMsgSetup.h"

namespace voltaris::shell {

using wizard::CWizardTabs;
using wizard::WizardPage;

bool RunCommWizard(QWidget* parent, CCommConfig& comm, CNetworkAddMsgSetup& network,
                   const QString& caption, qint16 networkAction, bool modifyInstrument) {
    CWizardTabs tabs;
    tabs.setCaption(caption);
    tabs.setIcon(controls::kProgramIconId);
    auto* final = new wizard::FWFinalSetupMessage(parent);
    final->setAction(1);
    auto* networkPage = new wizard::FWNetworkAddMsgSetup(parent);
    networkPage->setAction(networkAction);
    tabs.Add(new wizard::FWCommConfig(parent), &comm);
    tabs.Add(networkPage, &network);
    tabs.Add(final, nullptr);

    const QString traceName = modifyInstrument
                                  ? QStringLiteral("m_WizardInstrSendSetupRxTx_AfterShowNextTabs ")
                                  : QStringLiteral("m_WizardInstrSendSetup_AfterShowNextTabs ");
    const auto chosenInterface = [&tabs] {
        CCommConfig chosen;
        tabs.page(1)->GetData(chosen);
        return chosen.InterfaceType();
    };
    QObject::connect(&tabs, &CWizardTabs::AfterShowNextTabs,
                     [&](int& i, const QList<WizardPage*>&, const QString& key) {
                         const qint16 iface = chosenInterface();
                         g_Trace().BugMessage(traceName + key);
                         if (key != QLatin1String("CNetworkAddMsgSetup"))
                             return;
                         if (!CommPageShown(key, iface)) {
                             i += 1;
                             return;
                         }
                         CNetworkAddMsgSetup shown;
                         networkPage->GetData(shown);
                         shown.setInterfaceType(NetworkPageInterfaceType(iface, modifyInstrument));
                         networkPage->SetData(shown);
                     });
    QObject::connect(&tabs, &CWizardTabs::AfterShowBackTabs,
                     [&](int& i, const QList<WizardPage*>&, const QString& key) {
                         if (!CommPageShown(key, chosenInterface()))
                             i -= 1;
                     });

    const bool ended = tabs.Start() == WizardPage::brEnd;
    if (ended) {
        comm.SaveData(QString());
        network.SaveData(QString());
    }
    tabs.RemoveAll();
    return ended;
}

}  // namespace voltaris::shell
