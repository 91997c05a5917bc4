#pragma once

#include "cao/Error.h"
#include "cao/Variant.h"
#include "platform/bus/client/BatchReader.h"
#include "platform/bus/protocol/ChannelMessages.h"
#include "platform/bus/protocol/ChannelSocket.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace bus::client {

// The client's end of its channel to its engine object, two Unix sockets beside the D-Bus
// connection: on one a variable's GetValue and PutValue, answered while the caller waits; on
// the other the controllers' packed batches, read and unpacked by a BatchReader. Both skip
// D-Bus's marshalling and its thread's hops. Calls are made from the thread that made it,
// which is where the batches are handed too.
class Channel : public QObject {
    Q_OBJECT
public:
    // Takes both descriptors, the client's ends of two socket pairs whose other ends the
    // engine holds.
    Channel(int callFd, int batchFd, Acknowledger acknowledgerFor, BatchReader::Deliver deliver);
    ~Channel() override;
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    // A call too large for a frame, refused before anything is sent: it goes over D-Bus,
    // which answers it as it answers any call.
    class TooLarge : public cao::Error {
    public:
        using cao::Error::Error;
    };

    bool open() const noexcept { return m_fd >= 0; }
    // Calls member on the variable at path. Throws as callEngine in BusCall.h; when the channel
    // fails or the engine does not answer in time, EngineUnreachable, and the channel is
    // closed: later calls go over D-Bus. TooLarge leaves it as it was.
    std::optional<cao::Variant> call(channel::Member member, const QString& path,
                                     const cao::Variant& value = {});

signals:
    // The channel is closed: the engine closed it or it failed.
    void closed();

private:
    // Sends the call and waits for its reply. Throws EngineUnreachable, the channel closed.
    channel::Reply exchange(uint32_t id, const QByteArray& payload);
    void close(const QString& why);
    [[noreturn]] void fail(const QString& why);

    int m_fd;
    channel::FrameReader m_reader;
    channel::Outbox m_outbox;
    uint32_t m_lastId = 0;
    std::unique_ptr<BatchReader> m_batches;
};

}  // namespace bus::client
