#pragma once

// A batch of a controller's messages as one byte array (the signal PackedMessages, D-Bus type
// ay), for clients that ask for it: the structured batch costs the bus library a step per
// field, this one a copy. Laid out with QDataStream: the count, then per message its number,
// value, time, source and the object to acknowledge it through ("" when there is none). A
// value is its type code and the payload for it; an array its length and elements.

#include "cao/Variant.h"

#include <QByteArray>
#include <QDataStream>
#include <QString>

#include <vector>

namespace bus {

// A message as a client received it, ready to be handed out.
struct MessageData {
    int32_t number = 0;
    cao::Variant value;
    cao::Variant time;
    QString source;
    QString acknowledgePath;  // empty when there is nothing to acknowledge
};

class PackedBatchWriter {
public:
    PackedBatchWriter();
    void add(int32_t number, const cao::Variant& value, const cao::Variant& time,
             const QString& source, const QString& acknowledgePath);
    qsizetype count() const noexcept { return m_count; }
    qsizetype size() const noexcept { return m_bytes.size(); }
    // The batch so far; the writer starts a new one.
    QByteArray take();

private:
    void begin();

    QByteArray m_bytes;
    QDataStream m_out;
    qsizetype m_count = 0;
};

// Throws cao::Error when the bytes are no batch.
std::vector<MessageData> unpackBatch(const QByteArray& bytes);

}  // namespace bus
