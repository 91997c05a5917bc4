#include "platform/bus/service/FedProControl.h"

#include "cao/Error.h"
#include "platform/bus/protocol/Names.h"

#include <QDBusMessage>

#include <cstdio>
#include <stdexcept>

namespace bus::service {

FedProControl::FedProControl(std::shared_ptr<links::RunTimeHost> host, QDBusConnection connection)
    : m_host(std::move(host)), m_connection(std::move(connection)) {
    m_watcher.setConnection(m_connection);
    m_watcher.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &FedProControl::requesterGone);
}

FedProControl::~FedProControl() {
    m_connection.unregisterObject(QLatin1String(kFedProPath));
    stop();
}

void FedProControl::registerObject() {
    if (!m_connection.registerObject(QLatin1String(kFedProPath), this,
                                     QDBusConnection::ExportScriptableSlots)) {
        throw cao::Error(QStringLiteral("cannot put %1 on the bus: %2")
                             .arg(QLatin1String(kFedProPath), m_connection.lastError().message()));
    }
}

void FedProControl::serve(const fedpro::server::ServerOptions& options) {
    auto server = std::make_unique<fedpro::server::FedProServer>(m_host, options);
    server->start();
    m_server = std::move(server);
}

void FedProControl::stop() {
    if (!m_server) return;
    m_server->stop();
    m_server.reset();
    if (!m_requester.isEmpty()) {
        std::fprintf(stderr, "tandrel-engine: no longer serving the Federate Protocol (%s)\n",
                     qUtf8Printable(m_requester));
        m_watcher.removeWatchedService(m_requester);
        m_requester.clear();
    }
    emit stopped();
}

QStringList FedProControl::Serve(const QString& endpoint, bool authenticate,
                                 const QString& fomDirectory, const QString& certificateFile,
                                 const QString& keyFile, const QString& passwordFile,
                                 QString& tokenPath) {
    if (m_server) {
        refuse(QStringLiteral("this engine already serves the Federate Protocol on %1%2")
                   .arg(m_server->endpoints().join(QStringLiteral(", ")),
                        m_requester.isEmpty() ? QString() : QStringLiteral(" for ") + m_requester));
        return {};
    }
    fedpro::server::ServerOptions options;
    try {
        options = fedpro::server::optionsFor(
            {endpoint, authenticate, fomDirectory, certificateFile, keyFile, passwordFile});
    } catch (const std::invalid_argument& e) {
        refuse(QString::fromUtf8(e.what()));
        return {};
    }
    try {
        serve(options);
    } catch (const std::exception& e) {
        refuse(QString::fromUtf8(e.what()));
        return {};
    }
    m_requester = message().service();
    m_watcher.addWatchedService(m_requester);
    std::fprintf(stderr, "tandrel-engine: serving the Federate Protocol on %s for %s\n",
                 qUtf8Printable(m_server->endpoints().join(QStringLiteral(", "))),
                 qUtf8Printable(m_requester));
    tokenPath = m_server->tokenPath();
    return m_server->endpoints();
}

void FedProControl::Stop() {
    if (!m_server) return;
    if (m_requester != message().service()) {
        refuse(m_requester.isEmpty()
                   ? QStringLiteral("the engine serves the Federate Protocol for itself (it was "
                                    "started with --fedpro); stop the engine to stop it")
                   : QStringLiteral("the Federate Protocol is served for %1, which alone may "
                                    "stop it")
                         .arg(m_requester));
        return;
    }
    stop();
}

void FedProControl::requesterGone(const QString& name) {
    if (name == m_requester) stop();
}

void FedProControl::refuse(const QString& text) {
    sendErrorReply(QLatin1String(bus::kErrorPrefix) + QStringLiteral("Fail"), text);
}

}  // namespace bus::service
