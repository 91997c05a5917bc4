#include "platform/bus/protocol/Wire.h"

#include "platform/bus/protocol/Names.h"

#include <QDBusMetaType>
#include <QMap>

#include <array>
#include <utility>

namespace bus {

namespace {

constexpr const char* kValueSignature = "(qv)";
constexpr const char* kArraySignature = "a(qv)";

struct NamedCode {
    int32_t code;
    const char* name;
};

constexpr std::array<NamedCode, 5> kNamedCodes{{
    {cao::code::Fail, "Fail"},
    {cao::code::InvalidArg, "InvalidArg"},
    {cao::code::TypeMismatch, "TypeMismatch"},
    {cao::code::Overflow, "Overflow"},
    {cao::code::NotImplemented, "NotImplemented"},
}};

// Codes without a name of their own travel as "Code" and eight hex digits.
constexpr const char* kCodePrefix = "Code";
constexpr int kCodeDigits = 8;

QString signatureOf(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        return value.value<QDBusArgument>().currentSignature();
    }
    const char* signature = QDBusMetaType::typeToSignature(value.metaType());
    return signature != nullptr ? QString::fromLatin1(signature)
                                : QString::fromLatin1(value.metaType().name());
}

template <typename T>
T payload(const QVariant& value, uint16_t type, const char* signature) {
    if (value.metaType() != QMetaType::fromType<T>()) {
        throw cao::Error(
            QStringLiteral("A %1 value travels as D-Bus type %2, not %3")
                .arg(cao::typeName(type), QLatin1String(signature), signatureOf(value)),
            cao::code::TypeMismatch);
    }
    return value.value<T>();
}

QList<WireValue> arrayOf(const QVariant& value, uint16_t type) {
    if (value.metaType() == QMetaType::fromType<QList<WireValue>>()) {
        return value.value<QList<WireValue>>();
    }
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentSignature() == QLatin1String(kArraySignature)) {
            QList<WireValue> elements;
            argument >> elements;
            return elements;
        }
    }
    throw cao::Error(
        QStringLiteral("A %1 value travels as D-Bus type %2, not %3")
            .arg(cao::typeName(type), QLatin1String(kArraySignature), signatureOf(value)),
        cao::code::TypeMismatch);
}

QDBusVariant scalarToWire(const cao::Variant& value) {
    switch (value.type()) {
        case cao::VT_BOOL:
            return QDBusVariant(value.boolValue());
        case cao::VT_UI1:
            return QDBusVariant(QVariant::fromValue<uchar>(value.ui1()));
        case cao::VT_I2:
            return QDBusVariant(QVariant::fromValue<short>(value.i2()));
        case cao::VT_I4:
            return QDBusVariant(value.i4());
        case cao::VT_R4:
            return QDBusVariant(static_cast<double>(value.r4()));
        case cao::VT_R8:
            return QDBusVariant(value.r8());
        case cao::VT_CY:
            return QDBusVariant(QVariant::fromValue<qlonglong>(value.currency()));
        case cao::VT_DATE:
            return QDBusVariant(value.date());
        case cao::VT_BSTR:
            return QDBusVariant(value.string());
        case cao::VT_ERROR:
            return QDBusVariant(value.errorCode());
        default:
            return QDBusVariant(QString());  // VT_EMPTY, VT_NULL: the code says it all
    }
}

cao::Variant scalarFromWire(uint16_t type, const QVariant& v) {
    switch (type) {
        case cao::VT_EMPTY:
            return {};
        case cao::VT_NULL:
            return cao::Variant::null();
        case cao::VT_BOOL:
            return cao::Variant::fromBool(payload<bool>(v, type, "b"));
        case cao::VT_UI1:
            return cao::Variant::fromUI1(payload<uchar>(v, type, "y"));
        case cao::VT_I2:
            return cao::Variant::fromI2(payload<short>(v, type, "n"));
        case cao::VT_I4:
            return cao::Variant::fromI4(payload<int>(v, type, "i"));
        case cao::VT_R4:
            return cao::Variant::fromR4(static_cast<float>(payload<double>(v, type, "d")));
        case cao::VT_R8:
            return cao::Variant::fromR8(payload<double>(v, type, "d"));
        case cao::VT_CY:
            return cao::Variant::fromCurrency(payload<qlonglong>(v, type, "x"));
        case cao::VT_DATE:
            return cao::Variant::fromDate(payload<double>(v, type, "d"));
        case cao::VT_BSTR:
            return cao::Variant::fromString(payload<QString>(v, type, "s"));
        case cao::VT_ERROR:
            return cao::Variant::fromError(payload<int>(v, type, "i"));
        default:
            throw cao::Error(
                QStringLiteral("Type code %1 is not a type the engine carries").arg(type),
                cao::code::TypeMismatch);
    }
}

}  // namespace

void registerWireTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<WireValue>();
        qDBusRegisterMetaType<QList<WireValue>>();
        qDBusRegisterMetaType<WireMessage>();
        qDBusRegisterMetaType<WireMessages>();
        qDBusRegisterMetaType<QMap<QString, QString>>();  // a client's provider variables
        return true;
    }();
    (void)registered;
}

WireValue toWire(const cao::Variant& value) {
    WireValue wire;
    wire.type = value.type();
    if (value.isArray()) {
        QList<WireValue> elements;
        elements.reserve(static_cast<qsizetype>(value.elements().size()));
        for (const cao::Variant& element : value.elements()) elements.append(toWire(element));
        wire.value = QDBusVariant(QVariant::fromValue(elements));
    } else {
        wire.value = scalarToWire(value);
    }
    return wire;
}

cao::Variant fromWire(const WireValue& wire) {
    if ((wire.type & cao::VT_ARRAY) == 0) return scalarFromWire(wire.type, wire.value.variant());
    const auto elementType = static_cast<cao::VarType>(wire.type & ~cao::VT_ARRAY);
    std::vector<cao::Variant> elements;
    for (const WireValue& element : arrayOf(wire.value.variant(), wire.type)) {
        if (element.type != elementType) {
            throw cao::Error(QStringLiteral("An element of a %1 array is a %2")
                                 .arg(cao::typeName(wire.type), cao::typeName(element.type)),
                             cao::code::TypeMismatch);
        }
        elements.push_back(scalarFromWire(element.type, element.value.variant()));
    }
    return cao::Variant::fromArray(elementType, std::move(elements));
}

WireValue wireValueArgument(const QVariant& argument) {
    if (argument.metaType() == QMetaType::fromType<WireValue>()) return argument.value<WireValue>();
    if (argument.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto marshalled = argument.value<QDBusArgument>();
        if (marshalled.currentSignature() == QLatin1String(kValueSignature)) {
            WireValue wire;
            marshalled >> wire;
            return wire;
        }
    }
    throw cao::Error(QStringLiteral("A value travels as the D-Bus struct %1 (type code and "
                                    "value), not as %2")
                         .arg(QLatin1String(kValueSignature), signatureOf(argument)),
                     cao::code::TypeMismatch);
}

QString errorName(int32_t code) {
    for (const NamedCode& named : kNamedCodes) {
        if (named.code == code) return QLatin1String(kErrorPrefix) + QLatin1String(named.name);
    }
    return QLatin1String(kErrorPrefix) + QLatin1String(kCodePrefix) +
           QStringLiteral("%1").arg(static_cast<uint32_t>(code), kCodeDigits, 16, QLatin1Char('0'));
}

cao::Error errorFromBus(const QDBusError& error) {
    const QString name = error.name();
    if (!name.startsWith(QLatin1String(kErrorPrefix))) {
        if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout) {
            return cao::Error(
                QStringLiteral("The engine did not answer in time: %1").arg(error.message()));
        }
        return cao::Error(QStringLiteral("The engine cannot be reached on the session bus: %1 (%2)")
                              .arg(error.message(), name));
    }
    const QString suffix = name.mid(qsizetype(qstrlen(kErrorPrefix)));
    for (const NamedCode& named : kNamedCodes) {
        if (suffix == QLatin1String(named.name)) return cao::Error(error.message(), named.code);
    }
    bool ok = false;
    const uint32_t code = suffix.startsWith(QLatin1String(kCodePrefix))
                              ? suffix.mid(qsizetype(qstrlen(kCodePrefix))).toUInt(&ok, 16)
                              : 0;
    return cao::Error(error.message(), ok ? static_cast<int32_t>(code) : cao::code::Fail);
}

engine::MessageData messageFromWire(const WireMessage& wire, const Acknowledger& acknowledgerFor) {
    engine::MessageData data;
    data.number = wire.number;
    data.value = fromWire(wire.value);
    data.time = fromWire(wire.time);
    data.source = wire.source;
    const QString path = wire.acknowledge.path();
    if (path != QLatin1String(kNoMessageObject)) data.acknowledge = acknowledgerFor(path);
    return data;
}

}  // namespace bus

QDBusArgument& operator<<(QDBusArgument& argument, const bus::WireValue& value) {
    argument.beginStructure();
    argument << value.type << value.value;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, bus::WireValue& value) {
    argument.beginStructure();
    argument >> value.type >> value.value;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const bus::WireMessage& message) {
    argument.beginStructure();
    argument << message.number << message.value << message.time << message.source
             << message.acknowledge;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, bus::WireMessage& message) {
    argument.beginStructure();
    argument >> message.number >> message.value >> message.time >> message.source >>
        message.acknowledge;
    argument.endStructure();
    return argument;
}
