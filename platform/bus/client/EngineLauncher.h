#pragma once

#include <QDBusConnection>
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

// Finds the engine serving location.service, or starts it (through the bus's own activation,
// else the first program found) and waits a bounded time for it to appear. Answers the unique
// bus name of the process serving it, which stays that one process's for good. Throws
// cao::Error saying why there is none.
QString launchEngine(QDBusConnection& connection, const EngineLocation& location);

}  // namespace bus::client
