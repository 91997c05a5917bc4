#include "platform/bus/client/Replies.h"

#include "cao/Error.h"
#include "platform/bus/protocol/Wire.h"

#include <QDBusObjectPath>

namespace bus::client {

QVariantList valueArgument(const cao::Variant& value) {
    return {QVariant::fromValue(toWire(value))};
}

QString pathOf(const QVariantList& reply) {
    if (reply.isEmpty() || reply[0].metaType() != QMetaType::fromType<QDBusObjectPath>()) {
        throw cao::Error(QStringLiteral("The engine answered without the object asked for"));
    }
    return reply[0].value<QDBusObjectPath>().path();
}

int32_t intOf(const QVariantList& reply) {
    if (reply.isEmpty() || reply[0].metaType() != QMetaType::fromType<int>()) {
        throw cao::Error(QStringLiteral("The engine answered without the number asked for"));
    }
    return reply[0].toInt();
}

}  // namespace bus::client
