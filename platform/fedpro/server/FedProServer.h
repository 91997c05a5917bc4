#pragma once

// The engine's Federate Protocol server: HLA 4 federates (and IEEE 1516-2010 ones over the
// protocol) on other processes and machines join the federations of the engine's embedded
// run-time, where the engine's windows meet them. It serves on a thread of its own, each
// client in a session of its own; the run-time is taken only briefly, through its host.

#include "platform/fedpro/server/ServerOptions.h"
#include "platform/links/embedded/RunTimeHost.h"

#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>

namespace fedpro::server {

class Listener;

class FedProServer {
public:
    FedProServer(std::shared_ptr<links::RunTimeHost> host, ServerOptions options);
    // Stops serving.
    ~FedProServer();
    FedProServer(const FedProServer&) = delete;
    FedProServer& operator=(const FedProServer&) = delete;

    // Serves until stop(); throws std::runtime_error saying why it cannot (an address in use
    // or not on this machine, one that is not a loopback, a token it cannot write).
    void start();
    // Ends every session (each federate resigns with its session's resign directive) and
    // stops listening; the token file goes.
    void stop();

    bool serving() const { return m_thread != nullptr; }
    // The port served (the one the system chose, when 0 was asked for).
    std::uint16_t port() const { return m_port; }
    // Where the access token lies; empty without authentication.
    const QString& tokenPath() const { return m_tokenPath; }
    // "127.0.0.1:15164", "[::1]:15164".
    const QStringList& endpoints() const { return m_endpoints; }

private:
    std::shared_ptr<links::RunTimeHost> m_host;
    ServerOptions m_options;
    std::unique_ptr<QThread> m_thread;
    Listener* m_listener = nullptr;  // lives on m_thread
    std::uint16_t m_port = 0;
    QString m_tokenPath;
    QStringList m_endpoints;
};

}  // namespace fedpro::server
