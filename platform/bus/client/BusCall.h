#pragma once

#include "cao/Error.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QString>
#include <QVariantList>

namespace bus::client {

// A call reached an object the engine no longer has.
class UnknownObject : public cao::Error {
public:
    using cao::Error::Error;
};

// A call did not reach the engine, or it did not answer: the bus answered instead.
class EngineUnreachable : public cao::Error {
public:
    using cao::Error::Error;
};

// Blocking calls wait this long for the engine; opening a controller may take seconds.
inline constexpr int kCallTimeoutMs = 30000;

// Calls member on the object at path of the engine process whose unique bus name is owner and
// answers the reply's arguments. Throws UnknownObject when the object is gone,
// EngineUnreachable when the bus answered for the engine, cao::Error with the engine's
// description and code when the engine refused.
QVariantList callEngine(QDBusConnection& connection, const QString& owner, const QString& path,
                        const char* interface, const char* member,
                        const QVariantList& arguments = {});
// Throws what an answer of error to a call throws, as callEngine does.
[[noreturn]] void throwEngineError(const QDBusError& error);

}  // namespace bus::client
