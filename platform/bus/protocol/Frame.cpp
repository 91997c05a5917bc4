#include "platform/bus/protocol/Frame.h"

#include "cao/Error.h"

#include <QtEndian>

#include <algorithm>

namespace bus::channel {

namespace {

bool knownKind(uint8_t kind) {
    return kind >= uint8_t(FrameKind::Call) && kind <= uint8_t(FrameKind::Batch);
}

}  // namespace

QByteArray frame(FrameKind kind, QByteArrayView payload) {
    QByteArray bytes(kFrameHeaderBytes + payload.size(), Qt::Uninitialized);
    qToBigEndian(quint32(payload.size()), bytes.data());
    bytes[4] = char(kind);
    std::copy(payload.begin(), payload.end(), bytes.begin() + kFrameHeaderBytes);
    return bytes;
}

void FrameReader::append(const char* data, qsizetype size) {
    std::copy(data, data + size, room(size));
    commit(size);
}

char* FrameReader::room(qsizetype size) {
    // What was handed out goes before the buffer grows, so it never holds more than one
    // unfinished frame and one read.
    if (m_offset > 0 && m_offset >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    const qsizetype used = m_buffer.size();
    if (m_buffer.capacity() < used + size) m_buffer.reserve(std::max(2 * used, used + size));
    m_buffer.resize(used + size);
    m_room = size;
    return m_buffer.data() + used;
}

void FrameReader::commit(qsizetype size) {
    m_buffer.resize(m_buffer.size() - m_room + std::clamp<qsizetype>(size, 0, m_room));
    m_room = 0;
}

std::optional<Frame> FrameReader::next() {
    if (buffered() < kFrameHeaderBytes) return std::nullopt;
    const char* header = m_buffer.constData() + m_offset;
    const auto length = qFromBigEndian<quint32>(header);
    const auto kind = uint8_t(header[4]);
    if (!knownKind(kind)) {
        throw cao::Error(
            QStringLiteral("A channel frame of kind %1 is none the channel knows").arg(kind));
    }
    if (length > quint64(kMaxFramePayload)) {
        throw cao::Error(
            QStringLiteral("A channel frame claims %1 bytes, more than the %2 a frame may carry")
                .arg(length)
                .arg(kMaxFramePayload));
    }
    if (buffered() < kFrameHeaderBytes + qsizetype(length)) return std::nullopt;
    Frame out{FrameKind(kind),
              QByteArrayView(m_buffer).sliced(m_offset + kFrameHeaderBytes, qsizetype(length))};
    m_offset += kFrameHeaderBytes + qsizetype(length);
    return out;
}

}  // namespace bus::channel
