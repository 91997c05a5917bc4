#include "platform/links/hla4/Channel.h"

#include "platform/fedpro/protocol/Bounds.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/links/ThreadedLink.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <utility>

namespace links::hla4 {

namespace {

using fedpro::MessageType;
using std::chrono::milliseconds;

// How long one wait for bytes lasts inside a longer one, so that heartbeats and bounds are
// looked at often enough.
constexpr milliseconds kSlice{20};
// Calls sent without waiting and not yet answered, at most.
constexpr std::size_t kMaxPosted = 1024;

milliseconds left(Channel::Clock::time_point deadline) {
    const auto now = Channel::Clock::now();
    if (now >= deadline) return milliseconds(0);
    return std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1);
}

}  // namespace

Channel::Channel(Hla4Settings settings, CallbackHandler callbacks, LossHandler lost)
    : m_settings(std::move(settings)),
      m_callbacks(std::move(callbacks)),
      m_lost(std::move(lost)),
      m_session(fedpro::bounds::kHistoryFrames, fedpro::bounds::kHistoryBytes),
      m_reader(std::make_unique<fedpro::FrameReader>(fedpro::bounds::kMaxPacketSize)) {}

Channel::~Channel() = default;

void Channel::open(milliseconds bound, const StepReport& step) {
    const std::string where = "the server at " + m_settings.server.text();
    step("connecting to " + m_settings.server.text());
    m_socket = std::make_unique<ServerSocket>(m_settings.server, m_settings.caFile);
    m_socket->connect(std::min(bound, m_settings.timing.connect));
    step("starting a Federate Protocol session with " + m_settings.server.text());
    m_socket->send(m_session.makeFrame(MessageType::NewSession,
                                       fedpro::int32Payload(fedpro::kProtocolVersion), false));
    try {
        const std::optional<fedpro::Frame> status = nextFrame(*m_socket, *m_reader, bound);
        if (!status) {
            throw std::runtime_error(m_socket->broken()
                                         ? where +
                                               " ended the connection before starting a "
                                               "session: " +
                                               m_socket->fault()
                                         : where + " did not start a session within " +
                                               secondsText(bound));
        }
        accept(*status);
    } catch (const fedpro::ProtocolError& e) {
        throw std::runtime_error(where +
                                 " answered the new session with a malformed message: " + e.what());
    }
    m_state = State::Running;
    m_lastSent = m_lastHeard = Clock::now();
}

void Channel::accept(const fedpro::Frame& status) {
    const std::string where = "the server at " + m_settings.server.text();
    if (status.header.type != static_cast<std::int32_t>(MessageType::NewSessionStatus)) {
        throw std::runtime_error(where + " answered the new session with message type " +
                                 std::to_string(status.header.type));
    }
    const std::int32_t reason = fedpro::readInt32(status.payload, 0, "the new session's status");
    switch (static_cast<fedpro::NewSessionReason>(reason)) {
        case fedpro::NewSessionReason::Success:
            break;
        case fedpro::NewSessionReason::UnsupportedVersion:
            throw std::runtime_error(where +
                                     " refused a new session: it does not speak "
                                     "version 1 of the protocol");
        case fedpro::NewSessionReason::OutOfResources:
            throw std::runtime_error(where + " refused a new session: it is out of resources");
        default:
            throw std::runtime_error(where + " refused a new session (reason " +
                                     std::to_string(reason) + ")");
    }
    if (status.header.sessionId == 0) {
        throw std::runtime_error(where + " started a session without an id");
    }
    m_session.received(status.header);
    m_session.setSessionId(status.header.sessionId);
}

wire::CallResponse Channel::call(const wire::CallRequest& request, const std::string& what,
                                 milliseconds bound) {
    if (m_state == State::Lost) throw std::runtime_error(what + ": " + m_lossReason);
    if (m_state != State::Running && m_state != State::Dropped) {
        throw std::runtime_error(what + ": the session with the server has ended");
    }
    const auto deadline = Clock::now() + bound;
    send(MessageType::CallRequest, request.SerializeAsString(), true);
    m_awaited = m_session.lastSent();
    m_answer.reset();
    while (!m_answer) {
        if (m_state == State::Lost) {
            m_awaited.reset();
            throw std::runtime_error(what + ": " + m_lossReason);
        }
        const milliseconds remaining = left(deadline);
        if (remaining.count() == 0) {
            m_awaited.reset();
            throw std::runtime_error(what + ": the server at " + m_settings.server.text() +
                                     " did not answer within " + secondsText(bound));
        }
        pump(std::min(remaining, kSlice));
    }
    m_awaited.reset();
    wire::CallResponse response = std::move(*m_answer);
    m_answer.reset();
    return response;
}

void Channel::post(const wire::CallRequest& request, const std::string& what, milliseconds bound) {
    if (m_state == State::Lost) throw std::runtime_error(what + ": " + m_lossReason);
    if (m_state != State::Running && m_state != State::Dropped) {
        throw std::runtime_error(what + ": the session with the server has ended");
    }
    // A server that does not keep up holds the sender back rather than the history growing.
    const auto deadline = Clock::now() + bound;
    while (m_posted.size() >= kMaxPosted) {
        if (m_state == State::Lost) throw std::runtime_error(what + ": " + m_lossReason);
        if (left(deadline).count() == 0) {
            throw std::runtime_error(what + ": the server at " + m_settings.server.text() +
                                     " answered none of " + std::to_string(kMaxPosted) +
                                     " calls within " + secondsText(bound));
        }
        pump(std::min(left(deadline), kSlice));
    }
    send(MessageType::CallRequest, request.SerializeAsString(), true);
    m_posted.emplace(m_session.lastSent(), what);
}

std::optional<std::string> Channel::takeRefusal() {
    std::optional<std::string> refusal;
    refusal.swap(m_refusal);
    return refusal;
}

void Channel::pump(milliseconds wait) {
    if (m_state == State::Dropped) {
        tryResume();
        return;
    }
    if (m_state != State::Running) return;
    receive(wait);
    if (m_state != State::Running) return;
    const auto now = Clock::now();
    if (m_socket->broken()) {
        drop(m_socket->fault());
    } else if (now - m_lastHeard > m_settings.timing.timeout) {
        drop("the server was silent for " + secondsText(m_settings.timing.timeout));
    } else if (now - m_lastSent >= m_settings.timing.heartbeat) {
        send(MessageType::Heartbeat, {}, false);
    }
}

void Channel::close(milliseconds bound) {
    if (m_state == State::Running && m_socket && !m_socket->broken()) {
        // A session that ends on request leaves nothing for the server to keep.
        m_closing = true;
        try {
            send(MessageType::TerminateSession, {}, false);
            const auto deadline = Clock::now() + bound;
            while (m_state == State::Running && !m_terminated && !m_socket->broken() &&
                   left(deadline).count() > 0) {
                receive(std::min(left(deadline), kSlice));
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tandrel: ending the session with the server at %s: %s\n",
                         m_settings.server.text().c_str(), e.what());
        }
    }
    if (m_socket) m_socket->close(milliseconds(0));
    m_socket.reset();
    if (m_state != State::Lost) m_state = State::Closed;
}

void Channel::send(MessageType type, const std::string& payload, bool keep) {
    std::string frame;
    try {
        frame = m_session.makeFrame(type, payload, keep);
    } catch (const fedpro::ProtocolError& e) {
        // The server has not taken in what it was sent for too long.
        lose(std::string("the messages the server has not confirmed exceed what this federate "
                         "keeps (") +
             e.what() + ")");
        throw std::runtime_error(m_lossReason);
    }
    // A dropped connection gets the kept frames when it resumes; control messages go with it.
    if (m_state == State::Running) write(frame);
}

void Channel::write(const std::string& frame) {
    m_socket->send(frame);
    m_lastSent = Clock::now();
}

void Channel::receive(milliseconds wait) {
    const std::string bytes = m_socket->receive(wait, m_reader->room());
    try {
        if (!bytes.empty()) {
            m_lastHeard = Clock::now();
            m_reader->append(bytes);
        }
        while (m_state == State::Running) {
            std::optional<fedpro::Frame> frame = m_reader->next();
            if (!frame) break;
            handle(*frame);
        }
    } catch (const fedpro::ProtocolError& e) {
        // What the server sends cannot be read: another connection would not read it either.
        lose(std::string("the server at ") + m_settings.server.text() +
             " sent a malformed message: " + e.what());
    }
}

void Channel::handle(const fedpro::Frame& frame) {
    const auto type = fedpro::messageTypeOf(frame.header.type);
    if (m_session.received(frame.header) == fedpro::SessionState::Arrival::Duplicate) return;
    switch (*type) {
        case MessageType::CallResponse: {
            const auto [answered, message] = fedpro::splitAnswer(frame.payload);
            const bool awaited = m_awaited && answered == *m_awaited;
            const auto posted = m_posted.find(answered);
            if (!awaited && posted == m_posted.end()) return;  // a call no longer waited for
            wire::CallResponse response;
            if (!response.ParseFromArray(message.data(), static_cast<int>(message.size()))) {
                throw fedpro::ProtocolError("a call response that is no CallResponse message");
            }
            if (awaited) {
                m_answer = std::move(response);
                return;
            }
            if (response.has_exceptiondata() && !m_refusal) {
                const wire::ExceptionData& e = response.exceptiondata();
                m_refusal = posted->second + ": " + e.exceptionname() + ": " + e.details();
            }
            m_posted.erase(posted);
            return;
        }
        case MessageType::CallbackRequest:
            answerCallback(frame);
            return;
        case MessageType::HeartbeatResponse:
            return;
        case MessageType::Heartbeat:
            // Never sent by a server; answered all the same, since it does no harm.
            send(MessageType::HeartbeatResponse, fedpro::int32Payload(frame.header.sequence),
                 false);
            return;
        case MessageType::SessionTerminated:
            m_terminated = true;
            if (!m_closing) {
                // Not asked for: the server has ended the session.
                lose("the server at " + m_settings.server.text() + " ended the session");
            }
            return;
        default:
            throw fedpro::ProtocolError(std::string("a ") + fedpro::messageTypeName(*type) +
                                        " message, which a server never sends a client");
    }
}

void Channel::answerCallback(const fedpro::Frame& frame) {
    wire::CallbackRequest request;
    if (!request.ParseFromString(frame.payload)) {
        throw fedpro::ProtocolError("a callback request that is no CallbackRequest message");
    }
    wire::CallbackResponse response;
    if (const auto failure = m_callbacks(request)) {
        wire::ExceptionData* failed = response.mutable_callbackfailed();
        failed->set_exceptionname("FederateInternalError");
        failed->set_details(*failure);
    } else {
        response.mutable_callbacksucceeded();
    }
    send(MessageType::CallbackResponse,
         fedpro::answerPayload(frame.header.sequence, response.SerializeAsString()), true);
}

void Channel::drop(const std::string& reason) {
    if (m_socket) m_socket->close(milliseconds(0));
    m_socket.reset();
    m_reader = std::make_unique<fedpro::FrameReader>(fedpro::bounds::kMaxPacketSize);
    m_dropReason = reason;
    m_lastAttempt.clear();
    if (m_settings.timing.resumeWindow.count() == 0) {
        lose("the connection to the server at " + m_settings.server.text() +
             " was lost: " + reason);
        return;
    }
    m_state = State::Dropped;
    m_droppedAt = m_nextAttempt = Clock::now();
}

void Channel::lose(const std::string& reason) {
    if (m_state == State::Lost) return;
    m_state = State::Lost;
    m_lossReason = reason;
    if (m_socket) m_socket->close(milliseconds(0));
    m_socket.reset();
    if (m_lost) m_lost(reason);
}

std::optional<fedpro::Frame> Channel::nextFrame(ServerSocket& socket, fedpro::FrameReader& reader,
                                                milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    for (;;) {
        if (auto frame = reader.next()) return frame;
        if (socket.broken() || left(deadline).count() == 0) return std::nullopt;
        const std::string bytes = socket.receive(std::min(left(deadline), kSlice), reader.room());
        if (!bytes.empty()) reader.append(bytes);
    }
}

}  // namespace links::hla4
