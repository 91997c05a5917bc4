#include "platform/links/CallbackOutbox.h"

namespace links {

// Every callback becomes a call with its arguments copied, made later on the other side.
class CallbackOutbox::Recorder : public RunTimeCallbacks {
public:
    explicit Recorder(CallbackOutbox& outbox) : m_outbox(outbox) {}

    void synchronizationPointRegistrationSucceeded(const std::string& label) override {
        keep([=](RunTimeCallbacks& c) { c.synchronizationPointRegistrationSucceeded(label); });
    }
    void synchronizationPointRegistrationFailed(const std::string& label,
                                                const std::string& reason) override {
        keep([=](RunTimeCallbacks& c) { c.synchronizationPointRegistrationFailed(label, reason); });
    }
    void announceSynchronizationPoint(const std::string& label, const std::string& tag) override {
        keep([=](RunTimeCallbacks& c) { c.announceSynchronizationPoint(label, tag); });
    }
    void federationSynchronized(const std::string& label) override {
        keep([=](RunTimeCallbacks& c) { c.federationSynchronized(label); });
    }
    void discoverObjectInstance(hla::ObjectInstanceHandle object, hla::ObjectClassHandle cls,
                                const std::string& name) override {
        keep([=](RunTimeCallbacks& c) { c.discoverObjectInstance(object, cls, name); });
    }
    void reflectAttributeValues(hla::ObjectInstanceHandle object,
                                const hla::AttributeValues& values, const std::string& tag,
                                std::optional<hla::LogicalTime> time) override {
        keep([=](RunTimeCallbacks& c) { c.reflectAttributeValues(object, values, tag, time); });
    }
    void receiveInteraction(hla::InteractionClassHandle cls, const hla::ParameterValues& values,
                            const std::string& tag, std::optional<hla::LogicalTime> time) override {
        keep([=](RunTimeCallbacks& c) { c.receiveInteraction(cls, values, tag, time); });
    }
    void removeObjectInstance(hla::ObjectInstanceHandle object, const std::string& tag,
                              std::optional<hla::LogicalTime> time) override {
        keep([=](RunTimeCallbacks& c) { c.removeObjectInstance(object, tag, time); });
    }
    void requestAttributeOwnershipRelease(hla::ObjectInstanceHandle object,
                                          const hla::AttributeSet& attributes,
                                          const std::string& tag) override {
        keep([=](RunTimeCallbacks& c) {
            c.requestAttributeOwnershipRelease(object, attributes, tag);
        });
    }
    void attributeOwnershipAcquisitionNotification(hla::ObjectInstanceHandle object,
                                                   const hla::AttributeSet& attributes) override {
        keep([=](RunTimeCallbacks& c) {
            c.attributeOwnershipAcquisitionNotification(object, attributes);
        });
    }
    void attributeOwnershipUnavailable(hla::ObjectInstanceHandle object,
                                       const hla::AttributeSet& attributes) override {
        keep([=](RunTimeCallbacks& c) { c.attributeOwnershipUnavailable(object, attributes); });
    }
    void confirmAttributeOwnershipAcquisitionCancellation(
        hla::ObjectInstanceHandle object, const hla::AttributeSet& attributes) override {
        keep([=](RunTimeCallbacks& c) {
            c.confirmAttributeOwnershipAcquisitionCancellation(object, attributes);
        });
    }
    void informAttributeOwnership(hla::ObjectInstanceHandle object, hla::AttributeHandle attribute,
                                  hla::FederateHandle owner) override {
        keep([=](RunTimeCallbacks& c) { c.informAttributeOwnership(object, attribute, owner); });
    }
    void attributeIsNotOwned(hla::ObjectInstanceHandle object,
                             hla::AttributeHandle attribute) override {
        keep([=](RunTimeCallbacks& c) { c.attributeIsNotOwned(object, attribute); });
    }
    void timeRegulationEnabled(hla::LogicalTime time) override {
        keep([=](RunTimeCallbacks& c) { c.timeRegulationEnabled(time); });
    }
    void timeConstrainedEnabled(hla::LogicalTime time) override {
        keep([=](RunTimeCallbacks& c) { c.timeConstrainedEnabled(time); });
    }
    void timeAdvanceGrant(hla::LogicalTime time) override {
        CallbackOutbox& outbox = m_outbox;
        keep([&outbox, time](RunTimeCallbacks& c) {
            {
                const std::lock_guard lock(outbox.m_mutex);
                outbox.m_deliveredGrant = time;
            }
            c.timeAdvanceGrant(time);
        });
    }
    void connectionLost(const std::string& reason) override {
        keep([=](RunTimeCallbacks& c) { c.connectionLost(reason); });
    }

private:
    void keep(Call call) { m_outbox.keep(std::move(call)); }

    CallbackOutbox& m_outbox;
};

CallbackOutbox::CallbackOutbox() : m_recorder(std::make_unique<Recorder>(*this)) {}

CallbackOutbox::~CallbackOutbox() = default;

RunTimeCallbacks& CallbackOutbox::recorder() {
    return *m_recorder;
}

void CallbackOutbox::setWaker(std::function<void()> wake) {
    const std::lock_guard lock(m_mutex);
    m_wake = std::move(wake);
}

void CallbackOutbox::keep(Call call) {
    std::function<void()> wake;
    {
        const std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
        wake = m_wake;
    }
    if (wake) wake();
}

bool CallbackOutbox::deliver(RunTimeCallbacks& callbacks) {
    Call call;
    {
        const std::lock_guard lock(m_mutex);
        if (m_calls.empty()) return false;
        call = std::move(m_calls.front());
        m_calls.pop_front();
    }
    call(callbacks);
    return true;
}

bool CallbackOutbox::pending() const {
    const std::lock_guard lock(m_mutex);
    return !m_calls.empty();
}

std::optional<hla::LogicalTime> CallbackOutbox::deliveredGrant() const {
    const std::lock_guard lock(m_mutex);
    return m_deliveredGrant;
}

}  // namespace links
