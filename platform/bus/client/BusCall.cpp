#include "platform/bus/client/BusCall.h"

#include "platform/bus/protocol/Names.h"
#include "platform/bus/protocol/Wire.h"

#include <QDBusMessage>

namespace bus::client {

QVariantList callEngine(QDBusConnection& connection, const QString& owner, const QString& path,
                        const char* interface, const char* member, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(owner, path, QLatin1String(interface),
                                                          QLatin1String(member));
    message.setArguments(arguments);
    const QDBusMessage reply = connection.call(message, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage) return reply.arguments();
    throwEngineError(QDBusError(reply));
}

void throwEngineError(const QDBusError& error) {
    if (error.type() == QDBusError::UnknownObject) throw UnknownObject(error.message());
    const cao::Error described = errorFromBus(error);
    if (error.name().startsWith(QLatin1String(kErrorPrefix))) throw described;
    throw EngineUnreachable(described.description(), described.code());
}

}  // namespace bus::client
