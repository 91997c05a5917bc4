// The resuming of a dropped connection (Channel.h): a new connection, the resume request, and
// the messages the server missed sent again.

#include "platform/links/hla4/Channel.h"

#include "platform/fedpro/protocol/Bounds.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/links/ThreadedLink.h"

#include <algorithm>
#include <stdexcept>

namespace links::hla4 {

namespace {

using fedpro::MessageType;
using std::chrono::milliseconds;

// Between two attempts to resume, so that a server that is not back is not hammered.
constexpr milliseconds kRetryInterval{250};

milliseconds left(Channel::Clock::time_point deadline) {
    const auto now = Channel::Clock::now();
    if (now >= deadline) return milliseconds(0);
    return std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1);
}

std::string resumeRefusal(std::int32_t status) {
    switch (static_cast<fedpro::ResumeStatusCode>(status)) {
        case fedpro::ResumeStatusCode::InvalidSession:
            return "the server no longer knows the session";
        case fedpro::ResumeStatusCode::NotEnoughBuffered:
            return "the server no longer holds the messages this federate missed";
        default:
            return "the server refused to resume the session (status " + std::to_string(status) +
                   ")";
    }
}

}  // namespace

void Channel::tryResume() {
    const auto now = Clock::now();
    const auto windowEnd = m_droppedAt + m_settings.timing.resumeWindow;
    if (now >= windowEnd) {
        lose("the connection to the server at " + m_settings.server.text() + " was lost (" +
             m_dropReason + ") and could not be resumed within " +
             secondsText(m_settings.timing.resumeWindow) +
             (m_lastAttempt.empty() ? "" : ": " + m_lastAttempt));
        return;
    }
    if (now < m_nextAttempt) return;
    const milliseconds bound = std::min(left(windowEnd), m_settings.timing.connect);
    try {
        auto socket = std::make_unique<ServerSocket>(m_settings.server, m_settings.caFile);
        socket->connect(bound);
        resumeOn(std::move(socket), bound);
    } catch (const std::exception& e) {
        m_lastAttempt = e.what();
        m_nextAttempt = Clock::now() + kRetryInterval;
    }
}

void Channel::resumeOn(std::unique_ptr<ServerSocket> socket, milliseconds bound) {
    const std::string where = "the server at " + m_settings.server.text();
    socket->send(m_session.makeFrame(
        MessageType::ResumeRequest,
        fedpro::int32PairPayload(m_session.lastReceived(), m_session.oldestKept()), false));
    auto reader = std::make_unique<fedpro::FrameReader>(fedpro::bounds::kMaxPacketSize);
    std::optional<fedpro::Frame> status;
    try {
        status = nextFrame(*socket, *reader, bound);
    } catch (const fedpro::ProtocolError& e) {
        lose(where + " answered the resume request with a malformed message: " + e.what());
        return;
    }
    if (!status) {
        throw std::runtime_error(socket->broken() ? socket->fault()
                                                  : where +
                                                        " did not answer the resume "
                                                        "request within " +
                                                        secondsText(bound));
    }
    if (status->header.type != static_cast<std::int32_t>(MessageType::ResumeStatus)) {
        lose(where + " answered the resume request with message type " +
             std::to_string(status->header.type));
        return;
    }
    const std::int32_t code = fedpro::readInt32(status->payload, 0, "resume status");
    const std::int32_t peerReceived = fedpro::readInt32(status->payload, 4, "resume status");
    if (code != static_cast<std::int32_t>(fedpro::ResumeStatusCode::Ok)) {
        lose("the connection to " + where + " was lost (" + m_dropReason +
             ") and could not be resumed: " + resumeRefusal(code));
        return;
    }
    const auto missed = m_session.framesAfter(peerReceived);
    if (!missed) {
        lose("the connection to " + where + " was lost (" + m_dropReason +
             ") and could not be resumed: the server missed messages this federate no longer "
             "keeps");
        return;
    }
    m_socket = std::move(socket);
    m_reader = std::move(reader);
    m_state = State::Running;
    m_lastHeard = Clock::now();
    for (const std::string& frame : *missed) write(frame);
    m_lastSent = Clock::now();
    // Whatever came behind the status is taken as usual.
    receive(milliseconds(0));
}

}  // namespace links::hla4
