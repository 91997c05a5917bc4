#pragma once

#include "cao/Cao.h"

#include <QString>

namespace bus::client {

// What a client knows of one controller of the engine; every proxy of it shares this.
struct ControllerState {
    QString owner;  // the unique bus name of the engine process it was opened in
    QString path;
    QString name;  // empty until asked
    bool open = true;
    // Why it is closed under the client, its engine having ended; empty while it has not.
    QString ended;
    cao::MessageHandler handler;

    // Throws the description of a controller lost with its engine, or of a removed one.
    void requireOpen() const;
};

// What a client says when its engine has ended: of a call that needed it, and of each
// controller that was open in it.
QString engineEndedDescription();
QString controllerEndedDescription(const QString& name);

}  // namespace bus::client
