// Reading a packed batch, the client's share of every message in a flood: straight from the
// bytes rather than through QDataStream, and a text the same as the message before's (the
// source, mostly) shared rather than decoded again. The layout is QDataStream's, as the
// writer makes it: big-endian, a float as a double, a text as its byte count (0xffffffff for
// none) and UTF-16.
#include "platform/bus/protocol/PackedBatch.h"

#include "cao/Error.h"

#include <QtEndian>

#include <cstring>

namespace bus {

namespace {

constexpr quint32 kNullText = 0xffffffff;

class Cursor {
public:
    // what names the bytes in a refusal.
    Cursor(QByteArrayView bytes, const char* what, qsizetype position = 0)
        : m_begin(bytes.constData()),
          m_at(bytes.constData() + position),
          m_end(bytes.constData() + bytes.size()),
          m_size(bytes.size()),
          m_what(what) {}

    template <typename T>
    T number() {
        need(sizeof(T));
        const T value = qFromBigEndian<T>(m_at);
        m_at += sizeof(T);
        return value;
    }
    double real() {
        const auto bits = number<quint64>();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A text, shared with the last one read through the same cache when the bytes are equal.
    struct Cache {
        const char* bytes = nullptr;
        quint32 length = 0;
        QString text;
    };
    QString text(Cache& cache) {
        const auto length = number<quint32>();
        if (length == kNullText) return {};
        if (length % 2 != 0) fail(QStringLiteral("holds a text of an odd %1 bytes").arg(length));
        need(length);
        const char* bytes = m_at;
        m_at += length;
        if (cache.bytes != nullptr && cache.length == length &&
            std::memcmp(cache.bytes, bytes, length) == 0) {
            return cache.text;
        }
        QString text(qsizetype(length / 2), Qt::Uninitialized);
        qFromBigEndian<char16_t>(bytes, qsizetype(length / 2), text.data());
        cache = {bytes, length, text};
        return text;
    }
    bool atEnd() const { return m_at == m_end; }
    qsizetype position() const { return m_at - m_begin; }
    qsizetype left() const { return m_end - m_at; }
    [[noreturn]] void fail(const QString& why) const {
        throw cao::Error(
            QStringLiteral("A %1 of %2 bytes %3").arg(QLatin1String(m_what)).arg(m_size).arg(why));
    }

private:
    void need(size_t bytes) const {
        if (size_t(m_end - m_at) < bytes) fail(QStringLiteral("ends early"));
    }

    const char* m_begin;
    const char* m_at;
    const char* m_end;
    qsizetype m_size;
    const char* m_what;
};

cao::Variant scalar(Cursor& in, uint16_t type, Cursor::Cache& texts) {
    switch (type) {
        case cao::VT_EMPTY:
            return {};
        case cao::VT_NULL:
            return cao::Variant::null();
        case cao::VT_BOOL:
            return cao::Variant::fromBool(in.number<quint8>() != 0);
        case cao::VT_UI1:
            return cao::Variant::fromUI1(in.number<quint8>());
        case cao::VT_I2:
            return cao::Variant::fromI2(in.number<qint16>());
        case cao::VT_I4:
            return cao::Variant::fromI4(in.number<qint32>());
        case cao::VT_R4:
            return cao::Variant::fromR4(float(in.real()));
        case cao::VT_R8:
            return cao::Variant::fromR8(in.real());
        case cao::VT_CY:
            return cao::Variant::fromCurrency(in.number<qint64>());
        case cao::VT_DATE:
            return cao::Variant::fromDate(in.real());
        case cao::VT_BSTR:
            return cao::Variant::fromString(in.text(texts));
        case cao::VT_ERROR:
            return cao::Variant::fromError(in.number<qint32>());
        default:
            throw cao::Error(
                QStringLiteral("Type code %1 is not a type the engine carries").arg(type));
    }
}

cao::Variant value(Cursor& in, Cursor::Cache& texts) {
    const auto type = in.number<quint16>();
    if ((type & cao::VT_ARRAY) == 0) return scalar(in, type, texts);
    const auto elementType = static_cast<cao::VarType>(type & ~cao::VT_ARRAY);
    const auto length = in.number<quint32>();
    // Every element takes at least a byte, so a length beyond what is left is a lie.
    if (length > quint64(in.left())) {
        in.fail(QStringLiteral("has an array of %1 elements, more than it holds").arg(length));
    }
    std::vector<cao::Variant> elements;
    elements.reserve(length);
    for (quint32 i = 0; i < length; ++i) elements.push_back(scalar(in, elementType, texts));
    return cao::Variant::fromArray(elementType, std::move(elements));
}

}  // namespace

cao::Variant readPackedValue(QByteArrayView bytes, qsizetype& position) {
    Cursor in(bytes, "packed value", position);
    Cursor::Cache texts;
    cao::Variant read = value(in, texts);
    position = in.position();
    return read;
}

std::vector<engine::MessageData> unpackBatch(QByteArrayView bytes,
                                             const Acknowledger& acknowledgerFor) {
    Cursor in(bytes, "packed batch");
    const auto count = in.number<quint32>();
    // Every message takes more than a byte, so a count beyond the size is a lie.
    if (count > quint64(bytes.size())) in.fail(QStringLiteral("claims %1 messages").arg(count));
    std::vector<engine::MessageData> batch(count);
    Cursor::Cache values;
    Cursor::Cache sources;
    Cursor::Cache acknowledgements;
    for (engine::MessageData& message : batch) {
        message.number = in.number<qint32>();
        message.value = value(in, values);
        message.time = value(in, values);
        message.source = in.text(sources);
        const QString acknowledgePath = in.text(acknowledgements);
        if (!acknowledgePath.isEmpty()) message.acknowledge = acknowledgerFor(acknowledgePath);
    }
    if (!in.atEnd()) in.fail(QStringLiteral("has %1 bytes after its last message").arg(in.left()));
    return batch;
}

}  // namespace bus
