#include "platform/provider/CallbackPump.h"

#include "platform/engine/Provider.h"

#include <QThread>

namespace provider {

CallbackPump::CallbackPump(std::shared_ptr<Federate> federate, engine::ControllerContext& context)
    : m_federate(federate), m_ambassador(std::move(federate)), m_context(context) {
    m_pollTimer.setSingleShot(true);
    m_pollTimer.setTimerType(Qt::PreciseTimer);
}

void CallbackPump::start() {
    if (!m_federate->link().needsPolling()) return;
    QObject::connect(&m_pollTimer, &QTimer::timeout, [this] { poll(); });
    schedulePoll(true);
}

void CallbackPump::stop() {
    m_stopped = true;
    m_pollTimer.stop();
}

void CallbackPump::wake() {
    if (m_stopped || m_scheduled.exchange(true)) return;
    if (QThread::currentThread() == m_home.thread()) return schedule();
    QMetaObject::invokeMethod(
        &m_home,
        [weak = weak_from_this()] {
            if (const auto pump = weak.lock()) pump->schedule();
        },
        Qt::QueuedConnection);
}

void CallbackPump::schedule() {
    // Through the controller's queue, so callbacks keep their order among its messages.
    m_context.post([weak = weak_from_this()] {
        if (const auto pump = weak.lock()) pump->run();
    });
}

void CallbackPump::run() {
    m_scheduled = false;
    if (m_stopped || !m_federate->isOpen()) return;
    links::RunTimeLink& link = m_federate->link();
    const bool polling = link.needsPolling();
    if (polling && !link.callbacksPending()) link.poll();
    bool delivered = false;
    for (int i = 0; i < kBatch && !m_stopped; ++i) {
        if (!link.evokeCallback(m_ambassador)) break;
        delivered = true;
    }
    if (m_stopped) return;
    if (link.callbacksPending()) {
        wake();
    } else if (polling) {
        schedulePoll(delivered);
    }
}

void CallbackPump::poll() {
    if (m_stopped || !m_federate->isOpen()) return;
    // Polled straight from the timer: a quiet poll costs no trip through the queue.
    links::RunTimeLink& link = m_federate->link();
    link.poll();
    if (link.callbacksPending()) {
        wake();
    } else {
        schedulePoll(false);
    }
}

void CallbackPump::schedulePoll(bool traffic) {
    if (traffic || !m_sinceTraffic.isValid()) m_sinceTraffic.start();
    m_pollTimer.start(m_sinceTraffic.elapsed() < kBusySpellMs ? kBusyPollMs : kIdlePollMs);
}

}  // namespace provider
