#pragma once

#include "ui/MessageBoxService.h"

#include "cao/Error.h"

#include <exception>

namespace app {

// Runs a button's handler; its first failure is shown in a message box and the handler
// ends there, undoing nothing.
template <typename Handler>
void runTrapped(ui::MessageBoxService& messageBox, Handler&& handler) {
    try {
        handler();
    } catch (const cao::Error& e) {
        messageBox.show(e.description());
    } catch (const std::exception& e) {
        messageBox.show(QString::fromUtf8(e.what()));
    }
}

}  // namespace app
