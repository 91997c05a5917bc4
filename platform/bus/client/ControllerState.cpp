#include "platform/bus/client/ControllerState.h"

namespace bus::client {

void ControllerState::requireOpen() const {
    if (!open) throw cao::Error(QStringLiteral("Controller \"%1\" is closed").arg(name));
}

}  // namespace bus::client
