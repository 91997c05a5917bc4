#include "platform/bus/service/CallArguments.h"

namespace bus::service {

namespace {

QString errorName(QDBusError::ErrorType type) {
    return QDBusError::errorString(type);
}

}  // namespace

void CallArguments::expect(qsizetype count, const char* signature) const {
    if (m_arguments.size() != count) {
        refuse(QStringLiteral("takes %1 argument(s) (%2), not %3")
                   .arg(count)
                   .arg(QLatin1String(signature))
                   .arg(m_arguments.size()));
    }
}

QString CallArguments::text(qsizetype position) const {
    const QVariant& argument = m_arguments.at(position);
    if (argument.metaType() != QMetaType::fromType<QString>()) {
        refuse(QStringLiteral("takes a string as argument %1").arg(position + 1));
    }
    QString text = argument.toString();
    if (text.size() > kMaxTextLength) {
        refuse(QStringLiteral("takes at most %1 characters in argument %2, not %3")
                   .arg(kMaxTextLength)
                   .arg(position + 1)
                   .arg(text.size()));
    }
    return text;
}

bool CallArguments::flag(qsizetype position) const {
    const QVariant& argument = m_arguments.at(position);
    if (argument.metaType() != QMetaType::fromType<bool>()) {
        refuse(QStringLiteral("takes a boolean as argument %1").arg(position + 1));
    }
    return argument.toBool();
}

cao::Variant CallArguments::value(qsizetype position) const {
    try {
        const cao::Variant value = bus::fromWire(bus::wireValueArgument(m_arguments.at(position)));
        const bool tooLong = value.type() == cao::VT_BSTR ? value.string().size() > kMaxTextLength
                             : value.isArray() ? qsizetype(value.elements().size()) > kMaxTextLength
                                               : false;
        if (tooLong) refuse(QStringLiteral("takes no value larger than %1").arg(kMaxTextLength));
        return value;
    } catch (const cao::Error& e) {
        refuse(QStringLiteral("argument %1: %2").arg(position + 1).arg(e.description()));
    }
}

void CallArguments::refuse(const QString& what) const {
    throw CallError{errorName(QDBusError::InvalidArgs), m_method + QLatin1Char(' ') + what};
}

CallError unknownMethod(const QString& interface, const QString& member) {
    return {errorName(QDBusError::UnknownMethod),
            QStringLiteral("There is no method %1 on interface %2").arg(member, interface)};
}

CallError unknownObject(const QString& path) {
    return {errorName(QDBusError::UnknownObject),
            QStringLiteral("There is no engine object at %1: it was closed or never existed")
                .arg(path)};
}

}  // namespace bus::service
