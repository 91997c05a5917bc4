#include "platform/links/DeferredCallbacks.h"

#include <utility>

namespace links {

bool DeferredCallbacks::evoke(RunTimeCallbacks& callbacks) {
    if (m_queue.empty()) return false;
    Callback next = std::move(m_queue.front());
    m_queue.pop_front();
    next(callbacks);
    return true;
}

void DeferredCallbacks::pointRegistered(std::string label) {
    queue([l = std::move(label)](RunTimeCallbacks& c) {
        c.synchronizationPointRegistrationSucceeded(l);
    });
}

void DeferredCallbacks::pointRefused(std::string label, std::string reason) {
    queue([l = std::move(label), r = std::move(reason)](RunTimeCallbacks& c) {
        c.synchronizationPointRegistrationFailed(l, r);
    });
}

void DeferredCallbacks::pointAnnounced(std::string label, std::string tag) {
    queue([l = std::move(label), t = std::move(tag)](RunTimeCallbacks& c) {
        c.announceSynchronizationPoint(l, t);
    });
}

void DeferredCallbacks::pointReached(std::string label) {
    queue([l = std::move(label)](RunTimeCallbacks& c) { c.federationSynchronized(l); });
}

void DeferredCallbacks::regulationEnabled(double time) {
    m_regulating = true;
    queue([this, time](RunTimeCallbacks& c) {
        m_deliveredTime = time;
        c.timeRegulationEnabled(time);
    });
}

void DeferredCallbacks::constrainedEnabled(double time) {
    queue([this, time](RunTimeCallbacks& c) {
        m_deliveredTime = time;
        c.timeConstrainedEnabled(time);
    });
}

void DeferredCallbacks::advanceGranted(double time) {
    if (m_startGrant == StartGrant::Expected) {
        m_startGrant = StartGrant::Received;
        m_deliveredTime = time;
        return;
    }
    queue([this, time](RunTimeCallbacks& c) {
        m_deliveredTime = time;
        c.timeAdvanceGrant(time);
    });
}

}  // namespace links
