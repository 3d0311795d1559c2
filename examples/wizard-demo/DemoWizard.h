#pragma once

#include <QString>

#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/CSerialComm.h"
#include "wizard/CWizardTabs.h"

namespace voltaris::demo {

// The communication settings edited by a four-page wizard: connection type and port, the
// instruments addressed (skipped on the auxiliary port, where there is only one), the serial
// module's address and speed, and the final page.
class DemoWizard {
public:
    DemoWizard();

    CCommConfig comm;
    CNetworkAddMsgSetup network;
    CSerialComm serial;
    wizard::CWizardTabs tabs;

    // 0 End, 1 cancelled.
    qint32 Run() { return tabs.Start(); }
    // One line per record, for the demonstration's output.
    QString Summary() const;
};

}  // namespace voltaris::demo
