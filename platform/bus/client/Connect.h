#pragma once

#include "cao/Cao.h"

#include <QString>
#include <QStringList>

namespace bus::client {

// Where a client finds the engine: the bus name it serves, and the programs to start when
// nothing serves it yet, tried in order.
struct EngineLocation {
    QString service;
    QStringList programs;

    // TANDREL_ENGINE_SERVICE or the standard name; TANDREL_ENGINE_PROGRAM, then the engine
    // program beside this one, in the build tree and where it is installed.
    static EngineLocation standard();
};

// Where an engine this program starts writes what it has to say.
QString engineLogPath();

// There is no session bus to reach an engine on.
class NoSessionBus : public cao::Error {
public:
    using cao::Error::Error;
};

// A new client of the engine: its own connection, engine object and workspace. Starts the
// engine when nothing serves its name, waiting a bounded time for it to appear. Throws
// NoSessionBus, or cao::Error saying why the engine cannot be reached.
// Packed: messages come as PackedMessages, far cheaper in a flood; Structured: as Messages,
// which scripts read.
enum class MessageFormat { Packed, Structured };
cao::EnginePtr connectEngine(const EngineLocation& location,
                             MessageFormat format = MessageFormat::Packed);

}  // namespace bus::client
