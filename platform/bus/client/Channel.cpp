#include "platform/bus/client/Channel.h"

#include "platform/bus/client/BusCall.h"

#include <QDBusMessage>
#include <QDeadlineTimer>

namespace bus::client {

Channel::Channel(int callFd, int batchFd, Acknowledger acknowledgerFor,
                 BatchReader::Deliver deliver)
    : m_fd(callFd) {
    try {
        m_batches =
            std::make_unique<BatchReader>(batchFd, std::move(acknowledgerFor), std::move(deliver),
                                          [this](const QString& why) { close(why); });
    } catch (...) {
        channel::closeSocket(m_fd);
        throw;
    }
}

Channel::~Channel() {
    m_batches.reset();
    channel::closeSocket(m_fd);
}

std::optional<cao::Variant> Channel::call(channel::Member member, const QString& path,
                                          const cao::Variant& value) {
    if (!open()) throw EngineUnreachable(QStringLiteral("The channel to the engine is closed"));
    const channel::Call call{++m_lastId, member, path, value};
    const QByteArray payload = channel::encodeCall(call);
    if (payload.size() > channel::kMaxFramePayload) {
        throw TooLarge(QStringLiteral("A call of %1 bytes is more than the channel carries")
                           .arg(payload.size()));
    }
    const channel::Reply reply = exchange(call.id, payload);
    if (reply.failed()) {
        throwEngineError(
            QDBusError(QDBusMessage::createError(reply.errorName, reply.errorMessage)));
    }
    return reply.value;
}

channel::Reply Channel::exchange(uint32_t id, const QByteArray& payload) {
    const QDeadlineTimer deadline(kCallTimeoutMs);
    try {
        m_outbox.send(m_fd, channel::frame(channel::FrameKind::Call, payload));
        if (!m_outbox.flushBefore(m_fd, deadline)) {
            fail(QStringLiteral("The engine took no call on its channel within %1 s")
                     .arg(kCallTimeoutMs / 1000));
        }
        for (;;) {
            while (std::optional<channel::Frame> frame = m_reader.next()) {
                if (frame->kind != channel::FrameKind::Reply) {
                    fail(QStringLiteral(
                        "The engine sent a frame that is no reply with the replies"));
                }
                std::optional<channel::Reply> reply = channel::decodeReply(frame->payload);
                if (reply->id != id) {
                    fail(QStringLiteral("The engine answered call %1 while call %2 waited")
                             .arg(reply->id)
                             .arg(id));
                }
                return *reply;
            }
            if (!channel::waitReadable(m_fd, deadline)) {
                fail(QStringLiteral("The engine did not answer on its channel within %1 s")
                         .arg(kCallTimeoutMs / 1000));
            }
            if (channel::readInto(m_fd, m_reader) == channel::ReadResult::Closed) {
                fail(QStringLiteral("The engine closed its channel during a call"));
            }
        }
    } catch (const EngineUnreachable&) {
        throw;
    } catch (const cao::Error& e) {
        fail(e.description());  // a fault of the channel, not a refusal of the engine
    }
}

void Channel::close(const QString& why) {
    if (!open()) return;
    if (!why.isEmpty()) {
        qWarning("tandrel: the channel to the engine was closed, calls go over D-Bus: %s",
                 qUtf8Printable(why));
    }
    channel::closeSocket(m_fd);
    m_fd = -1;
    emit closed();
}

void Channel::fail(const QString& why) {
    close(why);
    throw EngineUnreachable(why);
}

}  // namespace bus::client
