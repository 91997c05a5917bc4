#include "FakeServer.h"

#include "platform/fedpro/protocol/Bounds.h"
#include "platform/fedpro/protocol/FrameReader.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/SessionState.h"
#include "platform/links/hla4/Calls.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace hla4test {

namespace {

using fedpro::MessageType;

constexpr int kPollMs = 5;
constexpr std::size_t kReadChunk = 64 * 1024;
// The id the fake gives its one session.
constexpr std::uint64_t kSessionId = 0x5eed5eed5eedULL;

}  // namespace

struct FakeServer::State {
    Mode mode = Mode::Serve;
    int listener = -1;
    int connection = -1;
    bool attached = false;  // the connection carries the session: it began or resumed it
    std::unique_ptr<fedpro::FrameReader> reader;
    std::unique_ptr<fedpro::SessionState> session;

    std::mutex mutex;
    std::condition_variable changed;
    Seen seen;
    Answer answer;
    std::deque<std::function<void()>> work;
    bool stop = false;
    bool silent = false;
    std::optional<fedpro::ResumeStatusCode> resumeRefusal;
    std::vector<std::string> followUps;  // on the server's thread only

    void note(const std::function<void(Seen&)>& change) {
        const std::lock_guard lock(mutex);
        change(seen);
        changed.notify_all();
    }
    void write(const std::string& bytes) {
        std::size_t sent = 0;
        while (connection >= 0 && sent < bytes.size()) {
            const ssize_t n =
                ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                close();
                return;
            }
            sent += static_cast<std::size_t>(n);
        }
    }
    void send(MessageType type, const std::string& payload, bool keep) {
        if (!session) return;
        write(session->makeFrame(type, payload, keep));
    }
    void close() {
        if (connection >= 0) ::close(connection);
        connection = -1;
        attached = false;
        reader.reset();
    }
    void accept() {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0) return;
        close();  // a new connection takes the place of the old
        connection = fd;
        attached = false;
        reader = std::make_unique<fedpro::FrameReader>(fedpro::bounds::kMaxPacketSize);
        note([](Seen& s) { ++s.connections; });
    }
    void read() {
        std::string buffer(std::min(kReadChunk, reader->room()), '\0');
        const ssize_t n = ::recv(connection, buffer.data(), buffer.size(), 0);
        if (n <= 0) {
            close();
            return;
        }
        try {
            reader->append(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
            while (reader) {
                auto frame = reader->next();
                if (!frame) break;
                serve(*frame);
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "fake server: %s\n", e.what());
            close();
        }
    }
    void serve(const fedpro::Frame& frame);
    void resume(const fedpro::Frame& frame);
};

void FakeServer::State::serve(const fedpro::Frame& frame) {
    const auto type = static_cast<MessageType>(frame.header.type);
    if (type == MessageType::NewSession) {
        session = std::make_unique<fedpro::SessionState>(fedpro::bounds::kHistoryFrames,
                                                         fedpro::bounds::kHistoryBytes);
        session->received(frame.header);
        session->setSessionId(kSessionId);
        attached = true;
        send(MessageType::NewSessionStatus, fedpro::int32Payload(0), false);
        return;
    }
    if (type == MessageType::ResumeRequest) {
        resume(frame);
        return;
    }
    if (!session) throw fedpro::ProtocolError("a frame before any session");
    if (session->received(frame.header) == fedpro::SessionState::Arrival::Duplicate) return;
    switch (type) {
        case MessageType::Heartbeat:
            note([](Seen& s) { ++s.heartbeats; });
            send(MessageType::HeartbeatResponse, fedpro::int32Payload(frame.header.sequence),
                 false);
            return;
        case MessageType::CallRequest: {
            wire::CallRequest request;
            request.ParseFromString(frame.payload);
            Answer answering;
            {
                const std::lock_guard lock(mutex);
                answering = answer;
            }
            std::optional<wire::CallResponse> response;
            if (answering) response = answering(request);
            if (!response) response = success(request);
            note([&](Seen& s) {
                s.calls.push_back(links::hla4::memberName(request));
                s.requests.push_back(request);
            });
            send(MessageType::CallResponse,
                 fedpro::answerPayload(frame.header.sequence, response->SerializeAsString()), true);
            std::vector<std::string> follow;
            follow.swap(followUps);
            for (const std::string& payload : follow) {
                send(MessageType::CallbackRequest, payload, true);
            }
            return;
        }
        case MessageType::CallbackResponse: {
            const auto [answered, message] = fedpro::splitAnswer(frame.payload);
            wire::CallbackResponse response;
            response.ParseFromArray(message.data(), static_cast<int>(message.size()));
            note([&](Seen& s) { s.callbackResponses.push_back(response); });
            return;
        }
        case MessageType::TerminateSession:
            send(MessageType::SessionTerminated, {}, false);
            note([](Seen& s) { ++s.terminated; });
            close();
            session.reset();
            return;
        default:
            throw fedpro::ProtocolError(std::string("unexpected ") + fedpro::messageTypeName(type));
    }
}

void FakeServer::State::resume(const fedpro::Frame& frame) {
    const auto status = [&](fedpro::ResumeStatusCode code, std::int32_t last) {
        fedpro::FrameHeader header;
        header.sequence = fedpro::kNoSequence;
        header.sessionId = frame.header.sessionId;
        header.lastReceived = last;
        header.type = static_cast<std::int32_t>(MessageType::ResumeStatus);
        write(fedpro::encodeFrame(header,
                                  fedpro::int32PairPayload(static_cast<std::int32_t>(code), last)));
    };
    std::optional<fedpro::ResumeStatusCode> refused;
    {
        const std::lock_guard lock(mutex);
        refused = resumeRefusal;
    }
    if (!session || frame.header.sessionId != kSessionId) {
        refused = fedpro::ResumeStatusCode::InvalidSession;
    }
    if (refused) {
        status(*refused, fedpro::kNoSequence);
        close();
        return;
    }
    const std::int32_t peerReceived = fedpro::readInt32(frame.payload, 0, "resume request");
    write(session->makeFrame(MessageType::ResumeStatus,
                             fedpro::int32PairPayload(0, session->lastReceived()), false));
    const auto frames = session->framesAfter(peerReceived);
    if (!frames) throw fedpro::ProtocolError("the client asks for frames no longer kept");
    for (const std::string& f : *frames) write(f);
    attached = true;
    note([](Seen& s) { ++s.resumes; });
}

FakeServer::FakeServer(Mode mode) : m_state(std::make_unique<State>()) {
    m_state->mode = mode;
    m_state->listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_state->listener < 0 ||
        ::bind(m_state->listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(m_state->listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::listen(m_state->listener, 4) != 0) {
        throw std::runtime_error("the fake server has no loopback port");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

FakeServer::~FakeServer() {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stop = true;
    }
    m_thread.join();
    m_state->close();
    if (m_state->listener >= 0) ::close(m_state->listener);
}

void FakeServer::run() {
    State& s = *m_state;
    for (;;) {
        std::deque<std::function<void()>> work;
        bool silent = false;
        {
            const std::lock_guard lock(s.mutex);
            if (s.stop) return;
            work.swap(s.work);
            silent = s.silent || s.mode == Mode::Mute;
        }
        for (auto& job : work) job();
        pollfd fds[2] = {{s.listener, POLLIN, 0}, {s.connection, POLLIN, 0}};
        const nfds_t count = s.connection >= 0 && !silent ? 2 : 1;
        if (::poll(fds, count, kPollMs) <= 0) continue;
        if (s.listener >= 0 && (fds[0].revents & POLLIN)) s.accept();
        if (count == 2 && s.connection >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            s.read();
        }
    }
}

void FakeServer::onThread(std::function<void()> work) {
    std::mutex done;
    std::condition_variable finished;
    bool over = false;
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->work.push_back([&] {
            work();
            const std::lock_guard l(done);
            over = true;
            finished.notify_all();
        });
    }
    std::unique_lock lock(done);
    finished.wait(lock, [&] { return over; });
}

void FakeServer::setAnswer(Answer answer) {
    const std::lock_guard lock(m_state->mutex);
    m_state->answer = std::move(answer);
}

void FakeServer::sendCallback(const wire::CallbackRequest& callback) {
    const std::string payload = callback.SerializeAsString();
    onThread([this, payload] {
        State& s = *m_state;
        if (!s.session) return;
        // Kept in the history either way: a cut connection gets it when it resumes.
        const std::string frame = s.session->makeFrame(MessageType::CallbackRequest, payload, true);
        if (s.connection >= 0 && s.attached) s.write(frame);
    });
}

void FakeServer::followWith(const wire::CallbackRequest& callback) {
    m_state->followUps.push_back(callback.SerializeAsString());
}

void FakeServer::sendFrame(MessageType type, const std::string& payload) {
    onThread([this, type, payload] { m_state->send(type, payload, false); });
}

void FakeServer::sendRaw(const std::string& bytes) {
    onThread([this, bytes] { m_state->write(bytes); });
}

void FakeServer::cut() {
    onThread([this] { m_state->close(); });
}

void FakeServer::mute(bool silent) {
    const std::lock_guard lock(m_state->mutex);
    m_state->silent = silent;
}

void FakeServer::refuseResumes(fedpro::ResumeStatusCode status) {
    const std::lock_guard lock(m_state->mutex);
    m_state->resumeRefusal = status;
}

void FakeServer::kill() {
    onThread([this] {
        m_state->close();
        if (m_state->listener >= 0) ::close(m_state->listener);
        m_state->listener = -1;
    });
}

bool FakeServer::waitFor(const std::function<bool(const Seen&)>& condition,
                         std::chrono::milliseconds bound) {
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, bound, [&] { return condition(m_state->seen); });
}

Seen FakeServer::seen() {
    const std::lock_guard lock(m_state->mutex);
    return m_state->seen;
}

}  // namespace hla4test
