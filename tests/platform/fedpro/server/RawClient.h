#pragma once

// A Federate Protocol client for the server's tests, written from the protocol's layout: a
// blocking QTcpSocket that speaks frames, with our SessionState for its numbering. Every wait
// has a generous cap and fails the test, described, when it passes.

#include "platform/fedpro/messages/FederateAmbassador.pb.h"
#include "platform/fedpro/messages/RTIambassador.pb.h"
#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/FrameReader.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/SessionState.h"

#include <QTcpSocket>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace fedpro::testing {

namespace pb = rti1516_2025::fedpro;

inline constexpr std::chrono::milliseconds kWaitCap{20000};

class RawClient {
public:
    explicit RawClient(std::uint16_t port);
    ~RawClient();

    // The server's answer to our new session: its status frame.
    Frame newSession(std::int32_t version = kProtocolVersion);
    // New session, then connect with the credentials (none when token is empty); the answer.
    pb::CallResponse open(const std::string& token, const std::string& settings = {});
    // A call and its response; callbacks arriving meanwhile are kept and answered.
    pb::CallResponse call(const pb::CallRequest& request);
    // The next callback (answered as succeeded), within the cap.
    pb::CallbackRequest callback();
    // A control frame of the type, skipping callbacks (kept).
    Frame expect(MessageType type);
    void send(MessageType type, const std::string& payload);
    void writeRaw(const std::string& bytes);
    // Whether the server closed the connection within the cap.
    bool closedByServer();

    // Cuts the connection as a network would, keeping the session's state.
    void cut();
    // Resumes on a new connection; the resume status frame.
    Frame resume();

    std::uint64_t sessionId() const { return m_state.sessionId(); }
    bool answersCallbacks = true;

private:
    void connectSocket();
    std::optional<Frame> readFrame(std::chrono::milliseconds cap);
    void keepCallback(const Frame& frame);

    std::uint16_t m_port;
    std::unique_ptr<QTcpSocket> m_socket;
    FrameReader m_reader;
    SessionState m_state;
    std::deque<pb::CallbackRequest> m_callbacks;
};

// Requests made the short way.
pb::CallRequest connectRequest(const std::string& token, const std::string& settings = {});
pb::CallRequest createRequest(const std::string& federation, const std::string& moduleName,
                              const std::string& content, const std::string& time = {});
pb::CallRequest joinRequest(const std::string& federation, const std::string& name);
std::string chatXml();
std::string handleBytes(std::uint32_t value);

}  // namespace fedpro::testing
