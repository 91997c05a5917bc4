#include "platform/engine/Dispatcher.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QtGlobal>

#include <exception>

namespace engine {

Dispatcher::Dispatcher(int sliceMs, QObject* parent) : QObject(parent), m_sliceMs(sliceMs) {}

void Dispatcher::post(std::function<void()> work) {
    m_queue.push_back(std::move(work));
    schedule();
}

void Dispatcher::schedule() {
    if (m_scheduled || m_running) return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, &Dispatcher::runSlice, Qt::QueuedConnection);
}

void Dispatcher::runSlice() {
    m_scheduled = false;
    if (m_running) return;  // inside a nested event loop of the item being run
    m_running = true;
    QElapsedTimer slice;
    slice.start();
    // At least one item per slice, so a slice of 0 still makes progress.
    while (!m_queue.empty()) {
        std::function<void()> work = std::move(m_queue.front());
        m_queue.pop_front();
        try {
            work();
        } catch (const std::exception& e) {
            // Nothing above the event loop could handle it; make it visible at least.
            qWarning("engine: queued work failed: %s", e.what());
        }
        if (slice.elapsed() >= m_sliceMs) break;
    }
    m_running = false;
    if (!m_queue.empty()) schedule();
}

void Dispatcher::runAll() {
    while (!m_queue.empty() && !m_running) {
        m_scheduled = false;
        runSlice();
    }
}

}  // namespace engine
