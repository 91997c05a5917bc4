#pragma once

#include "cao/Variant.h"
#include "platform/bus/protocol/ChannelMessages.h"
#include "platform/bus/protocol/ChannelSocket.h"

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <functional>
#include <memory>

namespace bus::service {

// The engine's end of a client's channel, served on the thread of the client's engine object:
// calls on variables answered on one socket as they arrive, and the controllers' packed
// batches sent on the other in the order they were gathered. A client that stops reading is let go
// of once kMaxPendingBytes wait for it; its batches then go over D-Bus again.
class ChannelEnd : public QObject {
    Q_OBJECT
public:
    // Answers a call, or throws as the same call over D-Bus would be refused.
    using Serve = std::function<std::optional<cao::Variant>(const channel::Call& call)>;

    static constexpr qsizetype kMaxPendingBytes = qsizetype{256} << 20;

    // Takes both descriptors, already checked (channel::checkChannelSocket).
    ChannelEnd(int callFd, int batchFd, Serve serve);
    ~ChannelEnd() override;
    ChannelEnd(const ChannelEnd&) = delete;
    ChannelEnd& operator=(const ChannelEnd&) = delete;

    bool open() const noexcept { return m_callFd >= 0; }
    // Channels open now in this process, all engine objects together.
    static int openCount();
    // Sends a controller's batch; false when the channel is closed and nothing was sent.
    bool sendBatch(const QString& path, const QByteArray& packed);

private:
    // One socket's bytes waiting to go, and the notifier that tells when it takes more.
    struct Out {
        int fd = -1;
        channel::Outbox outbox;
        std::unique_ptr<QSocketNotifier> writable;
    };

    void readable();
    void answer(const channel::Frame& frame);
    void send(Out& out, QByteArray bytes);
    void writable(Out& out);
    void end(const QString& why);

    int m_callFd;
    Serve m_serve;
    channel::FrameReader m_reader;
    std::unique_ptr<QSocketNotifier> m_reading;
    Out m_replies;
    Out m_batches;
};

}  // namespace bus::service
