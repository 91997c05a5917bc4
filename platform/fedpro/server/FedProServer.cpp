#include "platform/fedpro/server/FedProServer.h"

#include "platform/fedpro/server/Listener.h"

#include <future>
#include <stdexcept>

namespace fedpro::server {

namespace {

struct Started {
    QString refused;
    std::uint16_t port = 0;
    QString tokenPath;
    QStringList endpoints;
};

}  // namespace

FedProServer::FedProServer(std::shared_ptr<links::RunTimeHost> host, ServerOptions options)
    : m_host(std::move(host)), m_options(std::move(options)) {}

FedProServer::~FedProServer() {
    stop();
}

void FedProServer::start() {
    if (m_thread) return;
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("Federate Protocol server"));
    m_listener = new Listener(m_host, m_options);
    m_listener->moveToThread(m_thread.get());
    m_thread->start();
    auto started = std::make_shared<std::promise<Started>>();
    std::future<Started> result = started->get_future();
    Listener* listener = m_listener;
    QMetaObject::invokeMethod(
        listener,
        [listener, started] {
            Started s;
            s.refused = listener->start();
            s.port = listener->port();
            s.tokenPath = listener->tokenPath();
            s.endpoints = listener->endpoints();
            started->set_value(s);
        },
        Qt::QueuedConnection);
    if (result.wait_for(kThreadBound) != std::future_status::ready) {
        stop();
        throw std::runtime_error("the Federate Protocol server's thread did not start within " +
                                 std::to_string(kThreadBound.count()) + " ms");
    }
    const Started s = result.get();
    if (!s.refused.isEmpty()) {
        stop();
        throw std::runtime_error(s.refused.toStdString());
    }
    m_port = s.port;
    m_tokenPath = s.tokenPath;
    m_endpoints = s.endpoints;
}

void FedProServer::stop() {
    if (!m_thread) return;
    if (m_listener != nullptr) {
        auto stopped = std::make_shared<std::promise<void>>();
        std::future<void> done = stopped->get_future();
        Listener* listener = m_listener;
        QMetaObject::invokeMethod(
            listener,
            [listener, stopped] {
                delete listener;
                stopped->set_value();
            },
            Qt::QueuedConnection);
        m_listener = nullptr;
        if (done.wait_for(kThreadBound) != std::future_status::ready) {
            logLine(QStringLiteral("the Federate Protocol server did not end its sessions within "
                                   "%1 ms")
                        .arg(kThreadBound.count()));
        }
    }
    m_thread->quit();
    if (!m_thread->wait(static_cast<unsigned long>(kThreadBound.count()))) {
        // A thread that does not end cannot be destroyed: it is left to the process's end.
        logLine(QStringLiteral("the Federate Protocol server's thread did not end within %1 ms")
                    .arg(kThreadBound.count()));
        (void)m_thread.release();
        return;
    }
    m_thread.reset();
    m_tokenPath.clear();
    m_endpoints.clear();
}

}  // namespace fedpro::server
