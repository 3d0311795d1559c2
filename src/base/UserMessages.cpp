#include "UserMessages.h"

namespace voltaris {

namespace {
// Before a front end installs its sink, messages go nowhere and questions get No.
class SilentMessages : public UserMessages {
public:
    void show(Icon, const QString&, const QString&) override {}
    Answer askYesNo(Icon, const QString&, const QString&) override { return Answer::No; }
};
SilentMessages g_silent;
UserMessages* g_current = &g_silent;
}  // namespace

UserMessages& UserMessages::current() {
    return *g_current;
}

void UserMessages::setCurrent(UserMessages* sink) {
    g_current = sink ? sink : &g_silent;
}

}  // namespace voltaris
