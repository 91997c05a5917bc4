#pragma once

// A scripted Federate Protocol server for the link's own tests: one loopback port, one
// session, served on a thread of its own with the protocol layer's framing and session. It
// answers every call (with its response member, handles being the names looked up) unless the
// test answers it; it sends the callbacks the test gives it; it can cut the connection, fall
// silent, refuse a resume, or go away. What it saw, the test waits for.

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/MessageType.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace hla4test {

namespace wire = rti1516_2025::fedpro;

// What the server saw.
struct Seen {
    std::vector<std::string> calls;  // the request members, in order
    std::vector<wire::CallRequest> requests;
    int heartbeats = 0;
    int resumes = 0;  // accepted
    int connections = 0;
    int terminated = 0;
    std::vector<wire::CallbackResponse> callbackResponses;

    int count(const std::string& call) const;
    // The last request of that member.
    const wire::CallRequest* last(const std::string& call) const;
};

// The answers a server of the standard gives.
wire::CallResponse success(const wire::CallRequest& request);
wire::CallResponse refusal(const std::string& exception, const std::string& details);

class FakeServer {
public:
    // Mute: accepts connections and never reads nor answers.
    enum class Mode { Serve, Mute };
    // The test's answer to a call; nullopt leaves it to success().
    using Answer = std::function<std::optional<wire::CallResponse>(const wire::CallRequest&)>;

    explicit FakeServer(Mode mode = Mode::Serve);
    ~FakeServer();
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

    std::uint16_t port() const { return m_port; }
    std::string address() const { return "tcp://127.0.0.1:" + std::to_string(m_port); }

    void setAnswer(Answer answer);
    // Sent to the client now, or kept for it while the connection is cut.
    void sendCallback(const wire::CallbackRequest& callback);
    // From inside an answer only: the callback follows the call's response.
    void followWith(const wire::CallbackRequest& callback);
    // A frame of any type and payload, numbered as the session goes.
    void sendFrame(fedpro::MessageType type, const std::string& payload);
    // Bytes sent as they are, outside the session.
    void sendRaw(const std::string& bytes);
    // Closes the connection at once; the session stays, to be resumed.
    void cut();
    // Stops reading and answering (the connection stays open), or starts again.
    void mute(bool silent);
    // Answers every resume request with this status from now on.
    void refuseResumes(fedpro::ResumeStatusCode status);
    // Closes the connection and stops listening: nothing answers on the port any more.
    void kill();

    // Waits until condition holds of what was seen; false when the bound passes first.
    bool waitFor(const std::function<bool(const Seen&)>& condition,
                 std::chrono::milliseconds bound = std::chrono::seconds(10));
    Seen seen();

private:
    struct State;

    void run();
    // Does work on the server's thread and waits for it.
    void onThread(std::function<void()> work);

    std::unique_ptr<State> m_state;
    std::uint16_t m_port = 0;
    std::thread m_thread;
};

}  // namespace hla4test
