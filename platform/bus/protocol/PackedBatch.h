#pragma once

// A batch of a controller's messages as one byte array (the signal PackedMessages, D-Bus type
// ay), for clients that ask for it: the structured batch costs the bus library a step per
// field, this one a copy. Laid out with QDataStream: the count, then per message its number,
// value, time, source and the object to acknowledge it through ("" when there is none). A
// value is its type code and the payload for it; an array its length and elements.

#include "cao/Variant.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/engine/MessageData.h"

#include <QByteArray>
#include <QDataStream>
#include <QString>

#include <vector>

namespace bus {

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

// One value as a batch carries it. The reader takes it from bytes at position, which it moves
// past the value; it throws cao::Error for a type it does not carry or bytes that end early.
void writePackedValue(QDataStream& out, const cao::Variant& value);
cao::Variant readPackedValue(QByteArrayView bytes, qsizetype& position);

// Throws cao::Error when the bytes are no batch. A message that names an object to
// acknowledge it through gets the acknowledgement acknowledgerFor makes for that path.
std::vector<engine::MessageData> unpackBatch(QByteArrayView bytes,
                                             const Acknowledger& acknowledgerFor);

}  // namespace bus
