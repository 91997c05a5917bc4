#include "platform/bus/client/BatchReader.h"

#include "cao/Error.h"
#include "platform/bus/protocol/ChannelMessages.h"
#include "platform/bus/protocol/ChannelSocket.h"
#include "platform/bus/protocol/PackedBatch.h"

namespace bus::client {

BatchReader::BatchReader(int fd, Acknowledger acknowledgerFor, Deliver deliver, Closed closed)
    : m_fd(fd),
      m_acknowledgerFor(std::move(acknowledgerFor)),
      m_deliver(std::move(deliver)),
      m_closed(std::move(closed)),
      m_reading(fd, QSocketNotifier::Read) {
    connect(&m_reading, &QSocketNotifier::activated, this, &BatchReader::readable);
}

BatchReader::~BatchReader() {
    m_reading.setEnabled(false);
    channel::closeSocket(m_fd);
}

void BatchReader::readable() {
    QString why;  // empty when the engine let go of the socket
    try {
        for (int read = 0; read < kReadsPerTurn; ++read) {
            const channel::ReadResult result = channel::readInto(m_fd, m_reader);
            while (std::optional<channel::Frame> frame = m_reader.next()) {
                if (frame->kind != channel::FrameKind::Batch) {
                    throw cao::Error(
                        QStringLiteral("The engine sent a call's frame with the batches"));
                }
                channel::Batch batch = channel::decodeBatch(frame->payload);
                m_deliver(batch.path, unpackBatch(batch.packed, m_acknowledgerFor));
            }
            if (result == channel::ReadResult::Closed) break;
            if (result == channel::ReadResult::WouldBlock || read + 1 == kReadsPerTurn) return;
        }
    } catch (const cao::Error& e) {
        why = e.description();
    }
    m_reading.setEnabled(false);
    m_closed(why);
}

}  // namespace bus::client
