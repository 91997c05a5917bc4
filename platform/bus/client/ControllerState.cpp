#include "platform/bus/client/ControllerState.h"

namespace bus::client {

void ControllerState::requireOpen() const {
    if (!ended.isEmpty()) throw cao::Error(ended);
    if (!open) throw cao::Error(QStringLiteral("Controller \"%1\" is closed").arg(name));
}

QString engineEndedDescription() {
    return QStringLiteral(
        "The engine has ended (its process left the session bus), and every controller of it "
        "is closed; close the controller and open it again to start a new engine");
}

QString controllerEndedDescription(const QString& name) {
    return QStringLiteral(
               "The engine has ended (its process left the session bus), so controller \"%1\" "
               "is closed; close it and open it again to start a new engine")
        .arg(name);
}

}  // namespace bus::client
