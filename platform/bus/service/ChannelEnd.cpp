#include "platform/bus/service/ChannelEnd.h"

#include "cao/Error.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/bus/service/CallArguments.h"

#include <atomic>

namespace bus::service {

namespace {
std::atomic<int> g_open{0};
}  // namespace

int ChannelEnd::openCount() {
    return g_open.load();
}

ChannelEnd::ChannelEnd(int callFd, int batchFd, Serve serve)
    : m_callFd(callFd),
      m_serve(std::move(serve)),
      m_reading(std::make_unique<QSocketNotifier>(callFd, QSocketNotifier::Read)) {
    connect(m_reading.get(), &QSocketNotifier::activated, this, &ChannelEnd::readable);
    for (auto [out, fd] : {std::pair{&m_replies, callFd}, std::pair{&m_batches, batchFd}}) {
        out->fd = fd;
        out->writable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        out->writable->setEnabled(false);
        connect(out->writable.get(), &QSocketNotifier::activated, this,
                [this, out = out] { writable(*out); });
    }
    channel::widenSendBuffer(batchFd);
    ++g_open;
}

ChannelEnd::~ChannelEnd() {
    end({});
    m_reading.reset();
    m_replies.writable.reset();
    m_batches.writable.reset();
    channel::closeSocket(m_batches.fd);
}

bool ChannelEnd::sendBatch(const QString& path, const QByteArray& packed) {
    if (!open()) return false;
    send(m_batches, channel::batchFrame(path, packed));
    return true;
}

void ChannelEnd::readable() {
    // One read a turn: the notifier comes back while more waits, and other clients served on
    // this thread get their turn between.
    try {
        const channel::ReadResult result = channel::readInto(m_callFd, m_reader);
        while (open()) {
            std::optional<channel::Frame> frame = m_reader.next();
            if (!frame) break;
            answer(*frame);
        }
        if (result == channel::ReadResult::Closed) end({});
    } catch (const cao::Error& e) {
        end(e.description());
    }
}

void ChannelEnd::answer(const channel::Frame& frame) {
    if (frame.kind != channel::FrameKind::Call) {
        throw cao::Error(QStringLiteral("The client sent a frame that only the engine sends"));
    }
    const channel::Call call = channel::decodeCall(frame.payload);
    channel::Reply reply;
    reply.id = call.id;
    try {
        reply.value = m_serve(call);
    } catch (const CallError& e) {
        reply.errorName = e.name;
        reply.errorMessage = e.message;
    } catch (const cao::Error& e) {
        reply.errorName = bus::errorName(e.code());
        reply.errorMessage = e.description();
    } catch (const std::exception& e) {
        reply.errorName = bus::errorName(cao::code::Fail);
        reply.errorMessage =
            QStringLiteral("The engine failed: %1").arg(QString::fromUtf8(e.what()));
    }
    send(m_replies, channel::frame(channel::FrameKind::Reply, channel::encodeReply(reply)));
}

void ChannelEnd::send(Out& out, QByteArray bytes) {
    try {
        out.outbox.send(out.fd, std::move(bytes));
        if (out.outbox.pendingBytes() > kMaxPendingBytes) {
            return end(
                QStringLiteral("the client has not read %1 bytes").arg(out.outbox.pendingBytes()));
        }
        out.writable->setEnabled(!out.outbox.empty());
    } catch (const cao::Error& e) {
        end(e.description());
    }
}

void ChannelEnd::writable(Out& out) {
    if (!open()) return;
    try {
        out.writable->setEnabled(!out.outbox.flush(out.fd));
    } catch (const cao::Error& e) {
        end(e.description());
    }
}

void ChannelEnd::end(const QString& why) {
    if (!open()) return;
    if (!why.isEmpty()) {
        qWarning("tandrel-engine: a client's channel was closed, its messages go over D-Bus: %s",
                 qUtf8Printable(why));
    }
    m_reading->setEnabled(false);
    m_replies.writable->setEnabled(false);
    m_batches.writable->setEnabled(false);
    channel::closeSocket(m_callFd);
    m_callFd = -1;
    --g_open;
}

}  // namespace bus::service
