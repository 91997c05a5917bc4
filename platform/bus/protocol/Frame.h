#pragma once

// The framing of a client's channel to its engine object: beside the D-Bus connection, a
// Unix socket that carries the hot calls (a variable's GetValue and PutValue) and the
// controllers' packed message batches without D-Bus's marshalling and thread hops. A frame
// is its payload's length (4 bytes, big-endian), a kind (1 byte) and the payload.

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace bus::channel {

enum class FrameKind : uint8_t { Call = 1, Reply = 2, Batch = 3 };

inline constexpr qsizetype kFrameHeaderBytes = 5;
// A packed batch is sent once it reaches 1 MiB; a frame holds it, its path and room to spare.
inline constexpr qsizetype kMaxFramePayload = qsizetype{4} << 20;

// A frame as read: its payload views the reader's buffer, until the reader is next given
// bytes.
struct Frame {
    FrameKind kind{};
    QByteArrayView payload;
};

// A frame as sent.
QByteArray frame(FrameKind kind, QByteArrayView payload);

// Frames out of a byte stream read in pieces of any size. Throws cao::Error describing what
// is wrong with a frame; the stream is then of no further use.
class FrameReader {
public:
    void append(const char* data, qsizetype size);
    // Room for size more bytes at the end, to read into; then commit what was read there.
    char* room(qsizetype size);
    void commit(qsizetype size);
    // The next whole frame, if one has arrived.
    std::optional<Frame> next();
    // Bytes received and not yet handed out as a frame.
    qsizetype buffered() const noexcept { return m_buffer.size() - m_offset; }

private:
    QByteArray m_buffer;
    qsizetype m_offset = 0;  // where the next frame starts in m_buffer
    qsizetype m_room = 0;    // bytes at the end of m_buffer handed out by room()
};

}  // namespace bus::channel
