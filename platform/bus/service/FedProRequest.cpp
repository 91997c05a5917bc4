#include "platform/bus/service/FedProRequest.h"

#include "platform/bus/service/FedProControl.h"
#include "platform/engine/TerminationSignals.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

#include <cstdio>

namespace bus::service {

namespace {

// How long the running engine may take to start or stop serving.
constexpr int kCallBoundMs = 15000;
constexpr int kExitFailed = 1;

QDBusMessage call(const QString& service, const QString& method, const QVariantList& arguments) {
    auto message = QDBusMessage::createMethodCall(service, QLatin1String(kFedProPath),
                                                  QLatin1String(kFedProInterface), method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, kCallBoundMs);
}

int fail(const QString& text) {
    std::fprintf(stderr, "tandrel-engine: %s\n", qUtf8Printable(text));
    return kExitFailed;
}

}  // namespace

int serveThroughRunningEngine(const FedProRequest& request) {
    const QDBusConnection connection = QDBusConnection::sessionBus();
    QDBusServiceWatcher watcher(request.service, connection,
                                QDBusServiceWatcher::WatchForUnregistration);
    bool engineGone = false;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, [&engineGone] {
        engineGone = true;
        QCoreApplication::quit();
    });
    engine::TerminationSignals signalled;
    QObject::connect(&signalled, &engine::TerminationSignals::received, &QCoreApplication::quit);

    const QDBusMessage answer =
        call(request.service, QStringLiteral("Serve"),
             {request.serve.endpoint, request.serve.authenticate, request.serve.fomDirectory,
              request.serve.certificateFile, request.serve.keyFile, request.serve.passwordFile});
    if (answer.type() == QDBusMessage::ErrorMessage) {
        return fail(QStringLiteral("the engine serving %1 did not serve the Federate Protocol: %2")
                        .arg(request.service, answer.errorMessage()));
    }
    const QStringList endpoints = answer.arguments().value(0).toStringList();
    const QString tokenPath = answer.arguments().value(1).toString();
    std::fprintf(
        stderr,
        "tandrel-engine: the engine already serving %s serves the Federate Protocol on "
        "%s until this command ends%s\n",
        qUtf8Printable(request.service), qUtf8Printable(endpoints.join(QStringLiteral(", "))),
        tokenPath.isEmpty() ? ""
                            : qUtf8Printable(QStringLiteral("; its token is in ") + tokenPath));
    QCoreApplication::exec();
    if (engineGone) {
        return fail(QStringLiteral("the engine serving %1 has ended, and with it the Federate "
                                   "Protocol")
                        .arg(request.service));
    }
    const QDBusMessage stopped = call(request.service, QStringLiteral("Stop"), {});
    if (stopped.type() == QDBusMessage::ErrorMessage) {
        return fail(QStringLiteral("the engine serving %1 did not stop serving the Federate "
                                   "Protocol: %2 (it stops when this command has left the bus)")
                        .arg(request.service, stopped.errorMessage()));
    }
    return 0;
}

}  // namespace bus::service
