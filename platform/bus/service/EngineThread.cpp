#include "platform/bus/service/EngineThread.h"

#include "platform/bus/protocol/Names.h"
#include "platform/bus/service/BusObject.h"
#include "platform/bus/service/PeerServer.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <atomic>

namespace bus::service {

struct EngineThread::Parts {
    std::unique_ptr<EngineService> service;
    std::unique_ptr<BusObject> object;
    std::unique_ptr<PeerServer> peers;  // let go of before the service
};

namespace {

template <typename Work>
void runOn(QThread& thread, Work work) {
    QObject context;
    context.moveToThread(&thread);
    QMetaObject::invokeMethod(&context, std::move(work), Qt::BlockingQueuedConnection);
}

}  // namespace

EngineThread::EngineThread(EngineService::EngineFactory factory, QString service, Peers peers)
    : m_service(std::move(service)) {
    static std::atomic<int> made{0};
    const int number = ++made;
    if (m_service.isEmpty()) {
        m_service = QStringLiteral("%1.InProcess.p%2n%3")
                        .arg(QLatin1String(bus::kService))
                        .arg(QCoreApplication::applicationPid())
                        .arg(number);
    }
    m_connectionName = QStringLiteral("tandrel-engine-thread-%1").arg(number);
    m_thread.start();
    QString failure;
    runOn(m_thread, [&] {
        QDBusConnection connection =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
        if (!connection.isConnected()) {
            failure = QStringLiteral("There is no D-Bus session bus: %1")
                          .arg(connection.lastError().message());
            return;
        }
        auto parts = std::make_unique<Parts>();
        parts->service = std::make_unique<EngineService>(
            std::move(factory),
            [connection](const QDBusMessage& message) { connection.send(message); });
        parts->service->setChannelsAllowed(peers == Peers::Taken);
        parts->object = std::make_unique<BusObject>(*parts->service, connection);
        try {
            parts->object->registerObjects();
        } catch (const cao::Error& e) {
            failure = e.description();
            return;
        }
        if (peers != Peers::BusOnly) parts->peers = std::make_unique<PeerServer>(*parts->service);
        if (!connection.registerService(m_service)) {
            failure = QStringLiteral("The name %1 cannot be taken: %2")
                          .arg(m_service, connection.lastError().message());
            return;
        }
        m_parts = std::move(parts);
    });
    if (!failure.isEmpty()) {
        runOn(m_thread, [this] { QDBusConnection::disconnectFromBus(m_connectionName); });
        m_thread.quit();
        m_thread.wait();
        throw cao::Error(failure);
    }
}

EngineThread::~EngineThread() {
    if (m_thread.isRunning()) {
        runOn(m_thread, [this] {
            m_parts.reset();
            QDBusConnection::disconnectFromBus(m_connectionName);
        });
        m_thread.quit();
        m_thread.wait();
    }
}

size_t EngineThread::clientCount() const {
    size_t count = 0;
    auto& thread = const_cast<QThread&>(m_thread);
    runOn(thread, [&] { count = m_parts ? m_parts->service->clientCount() : 0; });
    return count;
}

}  // namespace bus::service
