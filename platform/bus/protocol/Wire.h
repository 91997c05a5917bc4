#pragma once

// How controller access values cross the bus. A variant travels as the D-Bus struct (qv):
// its type code and the value in the D-Bus type that holds it exactly (b, y, n, i, d, x, s;
// an array as a(qv)). A message travels as (i(qv)(qv)so): number, value, time, source and
// the object to acknowledge it through, or "/".

#include "cao/Error.h"
#include "cao/Variant.h"
#include "platform/engine/MessageData.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <functional>

namespace bus {

struct WireValue {
    quint16 type = cao::VT_EMPTY;
    QDBusVariant value;
};

struct WireMessage {
    qint32 number = 0;
    WireValue value;
    WireValue time;
    QString source;
    QDBusObjectPath acknowledge;
};

using WireMessages = QList<WireMessage>;

// Registers the wire types with Qt's meta-type system and D-Bus; call once before use.
void registerWireTypes();

WireValue toWire(const cao::Variant& value);
// Throws cao::Error describing what in the value does not fit its type code.
cao::Variant fromWire(const WireValue& wire);
// A (qv) argument as it arrives in a message: already a WireValue, or still marshalled.
// Throws cao::Error naming what arrived instead.
WireValue wireValueArgument(const QVariant& argument);

// What acknowledging a received message does, made from the path of the object the engine
// named for it.
using Acknowledger = std::function<std::function<void()>(const QString& path)>;

// Throws cao::Error when a value in the message does not fit its type code.
engine::MessageData messageFromWire(const WireMessage& wire, const Acknowledger& acknowledgerFor);

// The D-Bus error name for a cao::Error's code, and back (Fail for anything unknown).
QString errorName(int32_t code);
cao::Error errorFromBus(const QDBusError& error);

}  // namespace bus

Q_DECLARE_METATYPE(bus::WireValue)
Q_DECLARE_METATYPE(bus::WireMessage)

QDBusArgument& operator<<(QDBusArgument& argument, const bus::WireValue& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, bus::WireValue& value);
QDBusArgument& operator<<(QDBusArgument& argument, const bus::WireMessage& message);
const QDBusArgument& operator>>(const QDBusArgument& argument, bus::WireMessage& message);
