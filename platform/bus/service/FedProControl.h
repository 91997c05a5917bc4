#pragma once

// Whether, and for whom, the engine serves HLA 4's Federate Protocol. The engine's own
// --fedpro serves for as long as the engine runs; a later "tandrel-engine --fedpro" finding
// this engine on the bus asks it over the interface below to serve for as long as that
// command stays on the bus, so the user's windows need not be closed first.

#include "platform/fedpro/server/FedProServer.h"
#include "platform/fedpro/server/ServerOptions.h"
#include "platform/links/embedded/RunTimeHost.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>

#include <memory>

namespace bus::service {

inline constexpr const char* kFedProPath = "/io/tandrel/FederateProtocol";
inline constexpr const char* kFedProInterface = "io.tandrel.Engine1.FederateProtocol";

class FedProControl : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.tandrel.Engine1.FederateProtocol")
public:
    FedProControl(std::shared_ptr<links::RunTimeHost> host, QDBusConnection connection);
    ~FedProControl() override;

    // Puts the interface on the bus; throws cao::Error saying why not.
    void registerObject();

    // Serves for the engine itself, until stop(); throws std::runtime_error saying why not.
    void serve(const fedpro::server::ServerOptions& options);
    void stop();
    bool serving() const { return m_server != nullptr; }
    const fedpro::server::FedProServer* server() const { return m_server.get(); }

public slots:
    // Serves on endpoint ("[ADDRESS:]PORT") until the caller calls Stop or leaves the bus;
    // answers where it serves and the token's path (empty without authentication).
    Q_SCRIPTABLE QStringList Serve(const QString& endpoint, bool authenticate,
                                   const QString& fomDirectory, const QString& certificateFile,
                                   const QString& keyFile, const QString& passwordFile,
                                   QString& tokenPath);
    Q_SCRIPTABLE void Stop();

signals:
    void stopped();

private slots:
    void requesterGone(const QString& name);

private:
    void refuse(const QString& text);

    std::shared_ptr<links::RunTimeHost> m_host;
    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
    std::unique_ptr<fedpro::server::FedProServer> m_server;
    QString m_requester;  // empty: the engine's own serving
};

}  // namespace bus::service
