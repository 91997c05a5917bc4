// tandrel-engine: the controller access engine as a program of its own on the user's session
// bus. Every Tandrel window and script of the user is a client of the one engine, so their
// controllers meet through the providers and the embedded run-time it hosts.
#include "platform/bus/protocol/Names.h"
#include "platform/bus/service/BusObject.h"
#include "platform/bus/service/ClientThread.h"
#include "platform/bus/service/EngineService.h"
#include "platform/bus/service/FedProControl.h"
#include "platform/bus/service/FedProOptions.h"
#include "platform/bus/service/FedProRequest.h"
#include "platform/bus/service/PeerServer.h"
#include "platform/engine/Engine.h"
#include "platform/engine/TerminationSignals.h"
#include "platform/links/embedded/RunTimeHost.h"
#include "platform/provider/HlaProvider.h"
#include "platform/provider/RunTimeChoice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int kDefaultIdleExitSeconds = 5;
constexpr int kExitFailed = 1;
// How often the engine makes sure its bus is still there.
constexpr int kBusCheckMs = 5000;

int fail(const QString& text) {
    std::fprintf(stderr, "tandrel-engine: %s\n", qUtf8Printable(text));
    return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tandrel-engine"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The controller access engine on the session bus; started by the first client."));
    parser.addHelpOption();
    const QCommandLineOption serviceOption(
        QStringLiteral("service"),
        QStringLiteral("The bus name to serve (default %1).").arg(QLatin1String(bus::kService)),
        QStringLiteral("name"), QLatin1String(bus::kService));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-exit"),
        QStringLiteral("End this many seconds after the last client has gone (default %1).")
            .arg(kDefaultIdleExitSeconds),
        QStringLiteral("seconds"), QString::number(kDefaultIdleExitSeconds));
    const QCommandLineOption busOnlyOption(
        QStringLiteral("bus-only"),
        QStringLiteral("Take no peer connections: every client calls over the bus."));
    const QCommandLineOption noChannelOption(
        QStringLiteral("no-channel"),
        QStringLiteral("Take no clients' channels: every call and message goes over D-Bus."));
    parser.addOptions({serviceOption, idleOption, busOnlyOption, noChannelOption});
    const bus::service::FedProOptions fedProOptions;
    fedProOptions.addTo(parser);
    parser.process(bus::service::FedProOptions::withDefaults(QCoreApplication::arguments()));
    bool numeric = false;
    const int idleSeconds = parser.value(idleOption).toInt(&numeric);
    if (!numeric || idleSeconds < 0) {
        return fail(QStringLiteral("--idle-exit takes a number of seconds, not \"%1\"")
                        .arg(parser.value(idleOption)));
    }
    const QString service = parser.value(serviceOption);
    const bool servesFedPro = fedProOptions.requested(parser);
    fedpro::server::ServeRequest fedProRequest;
    fedpro::server::ServerOptions fedProServing;
    try {
        fedProRequest = fedProOptions.request(parser);
        if (servesFedPro) fedProServing = fedpro::server::optionsFor(fedProRequest);
    } catch (const std::invalid_argument& e) {
        return fail(QString::fromStdString(e.what()));
    }

    QDBusConnection connection = QDBusConnection::sessionBus();
    if (!connection.isConnected()) {
        return fail(QStringLiteral("there is no D-Bus session bus: %1")
                        .arg(connection.lastError().message()));
    }
    int status = 0;
    try {
        engine::TerminationSignals signalled;
        QObject::connect(&signalled, &engine::TerminationSignals::received, &app,
                         &QCoreApplication::quit);

        // One run-time for every client, which is what lets their federates meet.
        auto host = std::make_shared<links::RunTimeHost>();
        bus::service::EngineService engines(
            [host](const engine::ClientContext& client) {
                engine::ProviderRegistry providers;
                provider::registerProvider(providers, host);
                return std::make_shared<engine::Engine>(std::move(providers), client);
            },
            [connection](const QDBusMessage& message) { connection.send(message); },
            // A client whose controllers join over a network waits on it on a thread of its
            // own; the others are answered on this thread, which never waits.
            provider::joinsOverNetwork);
        // Over the bus everything goes the way scripts see it.
        engines.setChannelsAllowed(!parser.isSet(busOnlyOption) && !parser.isSet(noChannelOption));
        bus::service::BusObject objects(engines, connection);
        objects.registerObjects();
        bus::service::FedProControl fedPro(host, connection);
        fedPro.registerObject();
        std::unique_ptr<bus::service::PeerServer> peers;
        if (!parser.isSet(busOnlyOption)) {
            peers = std::make_unique<bus::service::PeerServer>(engines);
        }

        QTimer idleExit;
        idleExit.setSingleShot(true);
        idleExit.setInterval(idleSeconds * 1000);
        // Serving the protocol, the engine stays until the command is stopped.
        QObject::connect(&idleExit, &QTimer::timeout, &app, [&] {
            if (engines.clientCount() == 0 && !fedPro.serving()) app.quit();
        });
        QObject::connect(&engines, &bus::service::EngineService::idle, &idleExit,
                         qOverload<>(&QTimer::start));
        QObject::connect(&engines, &bus::service::EngineService::clientArrived, &idleExit,
                         &QTimer::stop);
        QObject::connect(&fedPro, &bus::service::FedProControl::stopped, &idleExit,
                         qOverload<>(&QTimer::start));

        // Without its bus no client can reach the engine any more, nor leave it.
        QTimer busCheck;
        busCheck.setInterval(kBusCheckMs);
        QObject::connect(&busCheck, &QTimer::timeout, &app, [&] {
            if (!connection.isConnected()) {
                std::fprintf(stderr, "tandrel-engine: the session bus has gone; ending\n");
                app.quit();
            }
        });
        busCheck.start();

        if (!connection.registerService(service)) {
            const auto owner = connection.interface()->serviceOwner(service);
            if (owner.isValid() && servesFedPro) {
                return bus::service::serveThroughRunningEngine({service, fedProRequest});
            }
            if (owner.isValid()) {
                std::fprintf(stderr, "tandrel-engine: %s is already served by %s\n",
                             qUtf8Printable(service), qUtf8Printable(owner.value()));
                return 0;
            }
            return fail(QStringLiteral("cannot take the name %1: %2")
                            .arg(service, connection.lastError().message()));
        }
        // The run-time every client of the bus shares, so remote federates meet the windows.
        if (servesFedPro) {
            try {
                fedPro.serve(fedProServing);
            } catch (const std::exception& e) {
                connection.unregisterService(service);
                return fail(QString::fromUtf8(e.what()));
            }
            const auto* server = fedPro.server();
            std::fprintf(
                stderr, "tandrel-engine: serving the Federate Protocol on %s%s\n",
                qUtf8Printable(server->endpoints().join(QStringLiteral(", "))),
                server->tokenPath().isEmpty()
                    ? ""
                    : qUtf8Printable(QStringLiteral("; its token is in ") + server->tokenPath()));
        }
        idleExit.start();
        status = QCoreApplication::exec();
        fedPro.stop();
        connection.unregisterService(service);
    } catch (const cao::Error& e) {
        return fail(e.description());
    }
    // A client thread still waiting on an RTI must not hold the engine's exit up.
    if (bus::service::runningClientThreads() > 0) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
