#pragma once

#include "cao/Cao.h"

#include <QString>

namespace bus::client {

// What a client knows of one controller of the engine; every proxy of it shares this.
struct ControllerState {
    QString path;
    QString name;  // empty until asked
    bool open = true;
    cao::MessageHandler handler;

    // Throws the engine's own description of a removed controller.
    void requireOpen() const;
};

}  // namespace bus::client
