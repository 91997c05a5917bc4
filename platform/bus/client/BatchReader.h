#pragma once

#include "platform/bus/protocol/Frame.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/engine/MessageData.h"

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <functional>
#include <vector>

namespace bus::client {

// Reads the controllers' batches from the channel's batch socket as they arrive, on the thread
// that made it, and hands each on unpacked, in the order sent. Read where they are delivered:
// a hop to another thread would cost every message of a conversation a wake-up. A few reads a
// turn, so a flood still leaves the event loop its turns; what is not read yet waits in the
// kernel and then in the engine, which drops a client that stops reading for good.
class BatchReader : public QObject {
    Q_OBJECT
public:
    using Deliver = std::function<void(const QString& path, std::vector<engine::MessageData>)>;
    using Closed = std::function<void(const QString& why)>;

    static constexpr int kReadsPerTurn = 4;

    // Takes fd. closed runs once, when the socket ends (with no description: the engine let
    // go of it) or fails.
    BatchReader(int fd, Acknowledger acknowledgerFor, Deliver deliver, Closed closed);
    ~BatchReader() override;
    BatchReader(const BatchReader&) = delete;
    BatchReader& operator=(const BatchReader&) = delete;

private:
    void readable();

    int m_fd;
    Acknowledger m_acknowledgerFor;
    Deliver m_deliver;
    Closed m_closed;
    channel::FrameReader m_reader;
    QSocketNotifier m_reading;
};

}  // namespace bus::client
