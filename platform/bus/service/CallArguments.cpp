#include "platform/bus/service/CallArguments.h"

#include <QDBusUnixFileDescriptor>

#include <fcntl.h>

namespace bus::service {

namespace {

constexpr const char* kTextMapSignature = "a{ss}";

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
        checkSize(value);
        return value;
    } catch (const cao::Error& e) {
        refuse(QStringLiteral("argument %1: %2").arg(position + 1).arg(e.description()));
    }
}

void CallArguments::checkSize(const cao::Variant& value) const {
    const bool tooLong = value.type() == cao::VT_BSTR ? value.string().size() > kMaxTextLength
                         : value.isArray() ? qsizetype(value.elements().size()) > kMaxTextLength
                                           : false;
    if (tooLong) refuse(QStringLiteral("takes no value larger than %1").arg(kMaxTextLength));
}

int CallArguments::fileDescriptor(qsizetype position) const {
    const QVariant& argument = m_arguments.at(position);
    const int handed = argument.metaType() == QMetaType::fromType<QDBusUnixFileDescriptor>()
                           ? argument.value<QDBusUnixFileDescriptor>().fileDescriptor()
                           : -1;
    if (handed < 0)
        refuse(QStringLiteral("takes a file descriptor as argument %1").arg(position + 1));
    // The message closes its own as it goes.
    const int kept = ::fcntl(handed, F_DUPFD_CLOEXEC, 0);
    if (kept < 0) refuse(QStringLiteral("cannot keep the file descriptor it was handed"));
    return kept;
}

QMap<QString, QString> CallArguments::textMap(qsizetype position, qsizetype maxEntries) const {
    const QVariant& argument = m_arguments.at(position);
    const bool marshalledMap =
        argument.metaType() == QMetaType::fromType<QDBusArgument>() &&
        argument.value<QDBusArgument>().currentSignature() == QLatin1String(kTextMapSignature);
    if (!marshalledMap) {
        refuse(QStringLiteral("takes a dictionary of strings (%1) as argument %2")
                   .arg(QLatin1String(kTextMapSignature))
                   .arg(position + 1));
    }
    const auto marshalled = argument.value<QDBusArgument>();
    QMap<QString, QString> entries;
    QString refusal;
    // Qt frees what reading a map holds at endMap only: the map is ended before any refusal.
    marshalled.beginMap();
    while (!marshalled.atEnd() && refusal.isEmpty()) {
        QString key;
        QString text;
        marshalled.beginMapEntry();
        marshalled >> key >> text;
        marshalled.endMapEntry();
        if (entries.size() >= maxEntries) {
            refusal = QStringLiteral("takes at most %1 entries in argument %2")
                          .arg(maxEntries)
                          .arg(position + 1);
        } else if (key.size() > kMaxTextLength || text.size() > kMaxTextLength) {
            refusal = QStringLiteral("takes at most %1 characters in an entry of argument %2")
                          .arg(kMaxTextLength)
                          .arg(position + 1);
        }
        entries.insert(key, text);
    }
    marshalled.endMap();
    if (!refusal.isEmpty()) refuse(refusal);
    return entries;
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
