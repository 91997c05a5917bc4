#pragma once

// One federate's Federate Protocol session with a server: the framing and sequence numbers of
// the protocol layer over a ServerSocket, calls and their responses, callbacks answered as
// they arrive, heartbeats when idle, and a dropped connection resumed on a new one within the
// resume window, the messages the server missed sent again. Single-threaded and blocking,
// every wait bounded.

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/FrameReader.h"
#include "platform/fedpro/protocol/SessionState.h"
#include "platform/links/LinkBounds.h"
#include "platform/links/hla4/Hla4Settings.h"
#include "platform/links/hla4/ServerSocket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace links::hla4 {

namespace wire = rti1516_2025::fedpro;

class Channel {
public:
    using Clock = std::chrono::steady_clock;
    // Takes one callback: nullopt when it was taken, or why it failed.
    using CallbackHandler = std::function<std::optional<std::string>(const wire::CallbackRequest&)>;
    // Told once, when the session is lost for good.
    using LossHandler = std::function<void(const std::string& reason)>;

    Channel(Hla4Settings settings, CallbackHandler callbacks, LossHandler lost);
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    // Connects and starts a new session, each step within bound. Throws std::runtime_error
    // naming the step that failed or did not answer.
    void open(std::chrono::milliseconds bound, const StepReport& step);

    // Sends the call and waits at most bound for its response, taking whatever else arrives
    // meanwhile. Throws std::runtime_error "<what>: ..." when no response came in time or the
    // session was lost; a response that comes later is dropped.
    wire::CallResponse call(const wire::CallRequest& request, const std::string& what,
                            std::chrono::milliseconds bound);

    // Sends the call without waiting for its response, which comes later; a refusal is kept
    // for takeRefusal(). With many unanswered, waits at most bound for answers first. Throws
    // std::runtime_error "<what>: ..." when the session was lost or no answers came in time.
    void post(const wire::CallRequest& request, const std::string& what,
              std::chrono::milliseconds bound);
    // The first refusal of a posted call since the last taken: "<what>: <exception>: <details>".
    std::optional<std::string> takeRefusal();

    // Takes what has arrived, waiting at most wait: answers callbacks, sends a heartbeat when
    // idle, drops a connection that broke or fell silent and resumes it, or loses the session.
    void pump(std::chrono::milliseconds wait);

    // Ends the session with the server, waiting at most bound for its answer. Never throws.
    void close(std::chrono::milliseconds bound);

    bool lost() const { return m_state == State::Lost; }
    // The socket to wait on for what the server sends; -1 while there is none.
    int descriptor() const {
        return m_state == State::Running && m_socket ? m_socket->descriptor() : -1;
    }
    const std::string& lossReason() const { return m_lossReason; }
    const ServerAddress& server() const { return m_settings.server; }

private:
    enum class State { New, Running, Dropped, Lost, Closed };

    // Takes the new session's status; throws std::runtime_error for a refusal.
    void accept(const fedpro::Frame& status);
    void send(fedpro::MessageType type, const std::string& payload, bool keep);
    void write(const std::string& frame);
    // Reads what the socket gives, waiting at most wait, and handles every whole frame.
    void receive(std::chrono::milliseconds wait);
    void handle(const fedpro::Frame& frame);
    void answerCallback(const fedpro::Frame& frame);
    void drop(const std::string& reason);
    void tryResume();
    void resumeOn(std::unique_ptr<ServerSocket> socket, std::chrono::milliseconds bound);
    void lose(const std::string& reason);
    // Waits for the next whole frame on socket within bound; nullopt when none came.
    std::optional<fedpro::Frame> nextFrame(ServerSocket& socket, fedpro::FrameReader& reader,
                                           std::chrono::milliseconds bound);

    Hla4Settings m_settings;
    CallbackHandler m_callbacks;
    LossHandler m_lost;
    State m_state = State::New;
    fedpro::SessionState m_session;
    std::unique_ptr<fedpro::FrameReader> m_reader;
    std::unique_ptr<ServerSocket> m_socket;
    Clock::time_point m_lastSent;
    Clock::time_point m_lastHeard;
    Clock::time_point m_droppedAt;
    Clock::time_point m_nextAttempt;
    std::string m_dropReason;
    std::string m_lastAttempt;
    std::string m_lossReason;
    // The call waited for, and its response once it has come.
    std::optional<std::int32_t> m_awaited;
    std::optional<wire::CallResponse> m_answer;
    // Posted calls not yet answered, with what they were; the first refusal of one.
    std::map<std::int32_t, std::string> m_posted;
    std::optional<std::string> m_refusal;
    bool m_closing = false;
    bool m_terminated = false;
};

}  // namespace links::hla4
