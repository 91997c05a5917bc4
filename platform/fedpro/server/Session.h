#pragma once

// One client's session: its numbering and history (SessionState), the connection it is on
// (none while dropped), its calls and callbacks (SessionCalls), and its life. A session
// answers heartbeats and never sends one; one silent past the session timeout is taken as
// dropped, and a dropped one that had authenticated may resume on a new connection within
// the resume window; otherwise, or when the client breaks the protocol, stops reading or
// does not connect in time, it ends as lost and its federate resigns with the session's
// resign directive. Lives on the server's thread.

#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/protocol/SessionState.h"
#include "platform/fedpro/server/SessionCalls.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>

namespace fedpro::server {

class Connection;
struct ServerServices;

class Session : public QObject {
    Q_OBJECT
public:
    using Ended = std::function<void(Session&)>;

    // Starts the session the new session frame on the connection asks for, answering it.
    Session(ServerServices& services, std::uint64_t id, Connection* connection,
            const Frame& newSession, Ended ended);
    ~Session() override;

    std::uint64_t id() const { return m_state.sessionId(); }
    const QString& address() const { return m_address; }
    bool mayResume() const { return m_calls.authenticated() && !m_ended; }
    // Goes on on the connection the resume request came on; ends the session when it cannot.
    void resume(Connection* connection, const Frame& request);
    // Ends the session as the server stops.
    void stop();

private:
    // Close: what is written is sent first; Abort: it is dropped.
    enum class Ending { Close, Abort };

    void attach(Connection* connection);
    void frameArrived(Connection& from, Frame&& frame);
    void connectionGone(Connection& from, const QString& reason, bool malformed);
    void handle(MessageType type, const Frame& frame);
    void callbackAnswered(const std::string& payload);
    void send(MessageType type, std::string_view payload, bool keep);
    void dropConnection(const QString& why);
    void wake();
    void pump();
    void watch();
    void end(const QString& reason, Ending how);

    ServerServices& m_services;
    SessionState m_state;
    SessionCalls m_calls;
    QPointer<Connection> m_connection;
    QString m_address;
    Ended m_onEnded;
    QTimer m_watch{this};
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_lastHeard;
    std::chrono::steady_clock::time_point m_droppedAt;
    std::size_t m_unanswered = 0;
    std::size_t m_failedCallbacks = 0;
    std::atomic<bool> m_wakePending{false};
    bool m_pumpScheduled = false;
    bool m_ended = false;
};

}  // namespace fedpro::server
