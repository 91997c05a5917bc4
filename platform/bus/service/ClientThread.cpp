#include "platform/bus/service/ClientThread.h"

#include <QDeadlineTimer>

namespace bus::service {

namespace {

std::atomic<int> g_running{0};

}  // namespace

int runningClientThreads() {
    return g_running.load();
}

ClientThread::ClientThread(Make make, Answer answer)
    : m_home(new QObject), m_answer(std::move(answer)) {
    m_home->moveToThread(&m_thread);
    ++g_running;
    QObject::connect(&m_thread, &QThread::finished, [] { --g_running; });
    m_thread.setObjectName(QStringLiteral("tandrel-client"));
    m_thread.start();
    QMetaObject::invokeMethod(
        m_home, [this, make = std::move(make)] { m_engine = make(); }, Qt::QueuedConnection);
}

ClientThread::~ClientThread() {
    finish();
    m_thread.wait();
}

void ClientThread::post(const QDBusMessage& call, const Send& send) {
    QMetaObject::invokeMethod(
        m_home,
        [this, call, send] {
            const QDBusMessage reply = m_answer(*m_engine, call);
            m_controllers = m_engine->controllerCount();
            if (call.isReplyRequired() || reply.type() == QDBusMessage::ErrorMessage) {
                send(reply);
            }
        },
        Qt::QueuedConnection);
}

void ClientThread::finish(const std::optional<QString>& lost) {
    if (m_finishing) return;
    m_finishing = true;
    QMetaObject::invokeMethod(
        m_home,
        [this, lost] {
            if (lost && m_engine) m_engine->clientLost(*lost);
            m_engine.reset();  // its controllers close here, on the thread that opened them
            m_controllers = 0;
            m_home->deleteLater();  // deleted as the thread ends
            m_thread.quit();
        },
        Qt::QueuedConnection);
}

bool ClientThread::wait(int timeoutMs) {
    return m_thread.wait(QDeadlineTimer(timeoutMs));
}

}  // namespace bus::service
