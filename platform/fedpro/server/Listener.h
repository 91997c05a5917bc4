#pragma once

// The server's listening sockets (over TLS when asked) and its sessions, on the server's
// thread: takes connections within the bounds on sessions in all and per address, starts a
// session for a new session request, hands a resume request to its session, and closes a
// connection that sends neither within the connect time.

#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/MessageType.h"
#include "platform/fedpro/server/ServerServices.h"

#include <QObject>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

namespace fedpro::server {

class Connection;
class Session;

class Listener : public QObject {
    Q_OBJECT
public:
    Listener(std::shared_ptr<links::RunTimeHost> host, ServerOptions options);
    ~Listener() override;

    // Binds every address and writes the access token; the refusal, naming the address, or
    // "" when serving.
    QString start();
    // Ends every session (their federates resign) and stops listening.
    void stop();

    std::uint16_t port() const { return m_services.port; }
    QString tokenPath() const;
    QStringList endpoints() const;

private:
    QString bind(const QHostAddress& address, bool required);
    void accepted(QTcpServer* server);
    void firstFrame(Connection& connection, Frame&& frame);
    void startSession(Connection& connection, const Frame& frame);
    void resumeSession(Connection& connection, const Frame& frame);
    void refuse(Connection& connection, MessageType type, std::int32_t code,
                std::uint64_t sessionId, const QString& why);
    void pendingGone(Connection& connection, const QString& reason);
    void sessionEnded(Session& session);
    std::size_t fromAddress(const QString& address) const;
    void watch();

    ServerServices m_services;
    QSslConfiguration m_tls;  // when serving over TLS
    std::vector<QTcpServer*> m_servers;
    std::map<Connection*, std::chrono::steady_clock::time_point> m_pending;
    std::map<std::uint64_t, Session*> m_sessions;
    QTimer m_watch{this};  // a child, so it moves to the server's thread with the listener
};

}  // namespace fedpro::server
