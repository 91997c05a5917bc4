#include "platform/fedpro/server/Session.h"

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/protocol/Bounds.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/Sequence.h"
#include "platform/fedpro/server/Connection.h"
#include "platform/fedpro/server/ServerServices.h"

namespace fedpro::server {

namespace {

using Clock = std::chrono::steady_clock;

// Failed callbacks a session logs; the rest are counted only.
constexpr std::size_t kLoggedCallbackFailures = 8;

// "600 s", or "500 ms" for a span below a second.
QString spanText(std::chrono::milliseconds span) {
    constexpr long long kMsPerSecond = 1000;
    if (span.count() < kMsPerSecond || span.count() % kMsPerSecond != 0) {
        return QStringLiteral("%1 ms").arg(span.count());
    }
    return QStringLiteral("%1 s").arg(span.count() / kMsPerSecond);
}

}  // namespace

Session::Session(ServerServices& services, std::uint64_t id, Connection* connection,
                 const Frame& newSession, Ended ended)
    : m_services(services),
      m_state(bounds::kHistoryFrames, bounds::kHistoryBytes),
      m_calls(services, [this] { wake(); }),
      m_address(connection->address()),
      m_onEnded(std::move(ended)) {
    // The request carries no id yet: it is taken before the session has one.
    m_state.received(newSession.header);
    m_state.setSessionId(id);
    m_started = m_lastHeard = m_droppedAt = Clock::now();
    m_watch.setInterval(kWatchInterval);
    connect(&m_watch, &QTimer::timeout, this, &Session::watch);
    m_watch.start();
    attach(connection);
    send(MessageType::NewSessionStatus,
         int32Payload(static_cast<std::int32_t>(NewSessionReason::Success)), false);
}

Session::~Session() = default;

void Session::attach(Connection* connection) {
    connection->setParent(this);
    m_connection = connection;
    connection->setHandlers(
        [this](Connection& from, Frame&& frame) { frameArrived(from, std::move(frame)); },
        [this](Connection& from, const QString& reason, bool malformed) {
            connectionGone(from, reason, malformed);
        });
}

void Session::frameArrived(Connection& from, Frame&& frame) {
    if (&from != m_connection || m_ended) return;
    try {
        const std::optional<MessageType> type = messageTypeOf(frame.header.type);
        if (!type) throw ProtocolError("a frame of an unknown message type");
        if (m_state.received(frame.header) == SessionState::Arrival::Duplicate) return;
        m_lastHeard = Clock::now();
        handle(*type, frame);
    } catch (const ProtocolError& e) {
        end(QStringLiteral("the client broke the protocol: %1").arg(e.what()), Ending::Abort);
    }
}

void Session::handle(MessageType type, const Frame& frame) {
    switch (type) {
        case MessageType::Heartbeat:
            send(MessageType::HeartbeatResponse, int32Payload(frame.header.sequence), false);
            return;
        case MessageType::TerminateSession:
            send(MessageType::SessionTerminated, {}, false);
            end(QStringLiteral("the client ended the session"), Ending::Close);
            return;
        case MessageType::CallRequest: {
            const std::string answer = m_calls.answer(frame.payload);
            send(MessageType::CallResponse, answerPayload(frame.header.sequence, answer), true);
            return;
        }
        case MessageType::CallbackResponse:
            callbackAnswered(frame.payload);
            return;
        default:
            throw ProtocolError(std::string("a client does not send a ") + messageTypeName(type) +
                                " in a running session");
    }
}

void Session::callbackAnswered(const std::string& payload) {
    const auto [answered, message] = splitAnswer(payload);
    pb::CallbackResponse response;
    if (!response.ParseFromArray(message.data(), static_cast<int>(message.size()))) {
        throw ProtocolError("a callback response's payload is not a CallbackResponse message");
    }
    if (response.has_callbackfailed() && m_failedCallbacks++ < kLoggedCallbackFailures) {
        logLine(QStringLiteral("a federate of the session from %1 failed in a callback: %2: %3")
                    .arg(m_address,
                         QString::fromStdString(response.callbackfailed().exceptionname()),
                         QString::fromStdString(response.callbackfailed().details())));
    }
    const bool wasFull = m_unanswered >= kMaxUnansweredCallbacks;
    if (m_unanswered > 0) --m_unanswered;
    if (wasFull) wake();
}

void Session::send(MessageType type, std::string_view payload, bool keep) {
    if (m_ended) return;
    std::string frame;
    try {
        frame = m_state.makeFrame(type, payload, keep);
    } catch (const ProtocolError& e) {
        end(QStringLiteral("the client does not take what it is sent: %1").arg(e.what()),
            Ending::Abort);
        return;
    }
    if (!m_connection) return;
    m_connection->write(frame);
    if (m_connection->unsent() > kMaxUnsentBytes) {
        end(QStringLiteral("the client stopped reading: %1 bytes wait to be sent to it")
                .arg(m_connection->unsent()),
            Ending::Abort);
    }
}

void Session::connectionGone(Connection& from, const QString& reason, bool malformed) {
    if (&from != m_connection || m_ended) return;
    if (malformed) {
        end(QStringLiteral("the client broke the protocol: %1").arg(reason), Ending::Abort);
        return;
    }
    dropConnection(reason);
}

void Session::dropConnection(const QString& why) {
    if (m_connection) {
        m_connection->abort();
        m_connection->deleteLater();
        m_connection = nullptr;
    }
    m_droppedAt = Clock::now();
    if (!m_calls.authenticated()) {
        end(why + QStringLiteral(", before it had connected"), Ending::Abort);
        return;
    }
    logLine(QStringLiteral("the Federate Protocol session from %1 dropped (%2); it may resume "
                           "within %3")
                .arg(m_address, why)
                .arg(spanText(m_services.options.resumeWindow)));
}

void Session::wake() {
    // Called from any thread: only schedules, once until the pump runs.
    if (m_wakePending.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_wakePending = false;
            pump();
        },
        Qt::QueuedConnection);
}

void Session::pump() {
    if (m_ended || !m_connection || m_unanswered >= kMaxUnansweredCallbacks) return;
    bool more = false;
    const std::vector<std::string> callbacks =
        m_calls.takeCallbacks(kMaxUnansweredCallbacks - m_unanswered, more);
    for (const std::string& callback : callbacks) {
        send(MessageType::CallbackRequest, callback, true);
        if (m_ended) return;
        ++m_unanswered;
    }
    if (more && m_unanswered < kMaxUnansweredCallbacks) wake();
}

void Session::watch() {
    const Clock::time_point now = Clock::now();
    const ServerOptions& options = m_services.options;
    if (!m_calls.authenticated() && now - m_started > options.connectTime) {
        end(QStringLiteral("it did not connect within %1").arg(spanText(options.connectTime)),
            Ending::Abort);
        return;
    }
    if (m_connection && now - m_lastHeard > options.sessionTimeout) {
        dropConnection(
            QStringLiteral("nothing arrived for %1").arg(spanText(options.sessionTimeout)));
        if (m_ended) return;
    }
    if (!m_connection && now - m_droppedAt > options.resumeWindow) {
        end(QStringLiteral("it was not resumed within %1").arg(spanText(options.resumeWindow)),
            Ending::Abort);
        return;
    }
    const std::size_t queued = m_calls.queuedCallbacks();
    if (queued > kMaxQueuedCallbacks) {
        end(QStringLiteral("its federate does not take its callbacks: %1 wait").arg(queued),
            Ending::Abort);
    }
}

void Session::resume(Connection* connection, const Frame& request) {
    const std::int32_t lastFromServer =
        readInt32(request.payload, 0, "the resume request's last received sequence number");
    const std::int32_t oldestHeld =
        readInt32(request.payload, 4, "the resume request's oldest sequence number");
    m_state.received(request.header);
    if (m_connection) {
        m_connection->abort();
        m_connection->deleteLater();
        m_connection = nullptr;
    }
    attach(connection);
    std::optional<std::vector<std::string>> frames = m_state.framesAfter(lastFromServer);
    // The client must still hold what the server has not received.
    const bool clientHolds = oldestHeld == kNoSequence || m_state.lastReceived() == kNoSequence ||
                             !isNewer(oldestHeld, nextSequence(m_state.lastReceived()));
    if (!frames || !clientHolds) {
        send(MessageType::ResumeStatus,
             int32PairPayload(static_cast<std::int32_t>(ResumeStatusCode::NotEnoughBuffered),
                              m_state.lastReceived()),
             false);
        end(QStringLiteral("it could not be resumed: %1 no longer holds what the other missed")
                .arg(frames ? QStringLiteral("the client") : QStringLiteral("the server")),
            Ending::Close);
        return;
    }
    send(MessageType::ResumeStatus,
         int32PairPayload(static_cast<std::int32_t>(ResumeStatusCode::Ok), m_state.lastReceived()),
         false);
    for (const std::string& frame : *frames) {
        if (!m_connection) return;
        m_connection->write(frame);
    }
    m_lastHeard = Clock::now();
    logLine(QStringLiteral("the Federate Protocol session from %1 resumed").arg(m_address));
    wake();
}

void Session::stop() {
    end(QStringLiteral("the engine stopped serving the protocol"), Ending::Close);
}

void Session::end(const QString& reason, Ending how) {
    if (m_ended) return;
    m_ended = true;
    m_watch.stop();
    const QString problem = m_calls.resignLost(reason);
    logLine(QStringLiteral("the Federate Protocol session from %1 ended: %2%3")
                .arg(m_address, reason,
                     problem.isEmpty() ? QString() : QStringLiteral("; ") + problem));
    if (m_connection && how == Ending::Close) {
        // It outlives the session until what was written has gone.
        m_connection->setParent(parent());
        m_connection->close();
        m_connection = nullptr;
    } else if (m_connection) {
        m_connection->abort();
    }
    if (m_onEnded) m_onEnded(*this);
}

}  // namespace fedpro::server
