#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/EngineLauncher.h"
#include "platform/bus/client/EngineSession.h"

#include <QString>

namespace bus::client {

// There is no session bus to reach an engine on.
class NoSessionBus : public cao::Error {
public:
    using cao::Error::Error;
};

// A new client of the engine: its own connection, engine object and workspace, opening
// controllers for this process's context (its provider variables and working directory).
// Starts the engine when nothing serves its name, waiting a bounded time for it to appear.
// Throws NoSessionBus, or cao::Error saying why the engine cannot be reached. Should the
// engine end, its controllers raise message -1 and are closed, and the next controller is
// opened in a new engine through the same engine and workspace objects.
cao::EnginePtr connectEngine(const EngineLocation& location,
                             MessageFormat format = MessageFormat::Packed);

}  // namespace bus::client
