#pragma once

#include "platform/bus/protocol/Wire.h"

#include <QDBusError>
#include <QMap>
#include <QString>
#include <QVariantList>

namespace bus::service {

// A call the engine refuses before it reaches a controller access object: the D-Bus error
// to answer with.
struct CallError {
    QString name;
    QString message;
};

// Longest text any argument may carry; far beyond any name or value a person types.
inline constexpr qsizetype kMaxTextLength = qsizetype{1} << 20;

// The arguments of one call, checked against what the method takes. Each accessor throws
// CallError (InvalidArgs) describing what arrived instead.
class CallArguments {
public:
    CallArguments(QString method, QVariantList arguments)
        : m_method(std::move(method)), m_arguments(std::move(arguments)) {}

    // Throws unless exactly signature.size() arguments arrived.
    void expect(qsizetype count, const char* signature) const;
    QString text(qsizetype position) const;
    bool flag(qsizetype position) const;
    cao::Variant value(qsizetype position) const;
    // Refuses a value beyond kMaxTextLength characters or elements.
    void checkSize(const cao::Variant& value) const;
    // A copy of the file descriptor handed over (h), the caller's to close.
    int fileDescriptor(qsizetype position) const;
    // A dictionary of strings (a{ss}) of at most maxEntries entries, each text within
    // kMaxTextLength.
    QMap<QString, QString> textMap(qsizetype position, qsizetype maxEntries) const;

    // Refuses the call: the method's name, then what.
    [[noreturn]] void refuse(const QString& what) const;

private:
    QString m_method;
    QVariantList m_arguments;  // by value: a message hands out its arguments as a temporary
};

CallError unknownMethod(const QString& interface, const QString& member);
CallError unknownObject(const QString& path);

}  // namespace bus::service
