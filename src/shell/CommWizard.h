#pragma once

#include <QString>

class QWidget;

namespace voltaris {
class CCommConfig;
class CNetworkAddMsgSetup;
}  // namespace voltaris

namespace voltaris::shell {

// The communication wizard every instrument command runs first: the connection page on
// `comm`, the network page on `network` (left out for the auxiliary port, forward and back)
// and the final page. `networkAction` is the network page's Action (0 transmit and modify,
// 1 live values and resets); `modifyInstrument` selects the modify command's variant (its
// trace name, and the network page sees the connection type plus 3). On End both records
// hold the choices and are saved to the settings store: true. Cancel changes nothing: false.
bool RunCommWizard(QWidget* parent, CCommConfig& comm, CNetworkAddMsgSetup& network,
                   const QString& caption, qint16 networkAction, bool modifyInstrument);

}  // namespace voltaris::shell
