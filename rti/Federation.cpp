#include "rti/Federation.h"

#include "rti/Error.h"

namespace rti {

Federation::Federation(std::string name, std::shared_ptr<const FederationDescription> description,
                       const Notifier& notifier)
    : m_name(std::move(name)), m_description(std::move(description)), m_notifier(notifier) {}

Federation::~Federation() = default;

void Federation::join(FederateHandle federate, const std::string& type, LogicalTime initialTime) {
    m_time.addFederate(federate, initialTime);
    auto& joined =
        *m_federates.emplace(federate, std::make_unique<Federate>(federate, type, *m_description))
             .first->second;
    for (auto& [label, tag] : m_syncPoints.join(federate)) {
        post(joined, cb::AnnounceSynchronizationPoint{label, tag});
    }
}

void Federation::resign(FederateHandle federate, ResignAction action) {
    member(federate);
    if (action == ResignAction::NoAction) {
        for (auto& [handle, object] : m_objects.all()) {
            for (const auto& [attribute, owner] : object.owners) {
                if (owner == federate) {
                    throw Error(ErrorKind::FederateOwnsAttributes,
                                "the federate still owns attributes of object instance \"" +
                                    object.name + "\"; release them or resign with an action");
                }
            }
        }
    }
    if (action == ResignAction::DeleteObjectsAndReleaseAttributes) {
        std::vector<ObjectInstanceHandle> deletable;
        for (auto& [handle, object] : m_objects.all()) {
            if (holdsDeletePrivilege(object, federate)) deletable.push_back(handle);
        }
        for (ObjectInstanceHandle handle : deletable) {
            removeObject(m_objects.get(handle), federate, {}, std::nullopt);
        }
    }
    releaseAll(federate);
    m_federates.erase(federate);
    m_time.removeFederate(federate);
    for (const auto& done : m_syncPoints.leave(federate)) {
        for (FederateHandle m : done.members) {
            post(member(m), cb::FederationSynchronized{done.label});
        }
    }
}

void Federation::releaseAll(FederateHandle federate) {
    for (auto& [handle, object] : m_objects.all()) {
        AttributeSet owned;
        for (const auto& [attribute, owner] : object.owners) {
            if (owner == federate) owned.insert(attribute);
        }
        for (auto& [attribute, requesters] : object.requests) {
            std::erase(requesters, federate);
        }
        handOver(object, federate, owned, false);
        object.knownBy.erase(federate);
    }
}

void Federation::registerSynchronizationPoint(FederateHandle federate, const std::string& label,
                                              const std::string& tag) {
    Federate& registrant = member(federate);
    std::vector<FederateHandle> members;
    for (const auto& entry : m_federates) members.push_back(entry.first);
    if (auto reason = m_syncPoints.add(label, tag, members)) {
        post(registrant, cb::SynchronizationPointRegistrationFailed{label, *reason});
        return;
    }
    post(registrant, cb::SynchronizationPointRegistrationSucceeded{label});
    for (auto& [handle, joined] : m_federates) {
        post(*joined, cb::AnnounceSynchronizationPoint{label, tag});
    }
}

void Federation::synchronizationPointAchieved(FederateHandle federate, const std::string& label) {
    member(federate);
    if (auto done = m_syncPoints.achieve(federate, label)) {
        for (FederateHandle m : done->members) {
            post(member(m), cb::FederationSynchronized{done->label});
        }
    }
}

std::optional<Callback> Federation::nextCallback(FederateHandle federate) {
    Federate& f = member(federate);
    while (auto callback = f.callbacks.pop()) {
        if (const auto* discover = std::get_if<cb::DiscoverObjectInstance>(&*callback)) {
            f.view.insert(discover->object);
        } else if (const auto* remove = std::get_if<cb::RemoveObjectInstance>(&*callback)) {
            if (f.view.erase(remove->object) == 0) continue;
        } else if (const auto* reflect = std::get_if<cb::ReflectAttributeValues>(&*callback)) {
            if (f.view.count(reflect->object) == 0) continue;
        } else if (const auto* grant = std::get_if<cb::TimeAdvanceGrant>(&*callback)) {
            m_time.grantDelivered(federate, grant->time);
        }
        return callback;
    }
    return std::nullopt;
}

std::size_t Federation::pendingCallbacks(FederateHandle federate) {
    return member(federate).callbacks.size();
}

void Federation::deliver(FederateHandle federate, Callback callback) {
    post(member(federate), std::move(callback));
}

void Federation::releaseHeld(FederateHandle federate) {
    if (member(federate).callbacks.releaseHeld() && m_notifier) m_notifier(federate);
}

Federation::Federate& Federation::member(FederateHandle federate) {
    const auto it = m_federates.find(federate);
    if (it == m_federates.end()) {
        throw Error(
            ErrorKind::FederateNotExecutionMember,
            toString(federate) + " is not joined to federation execution \"" + m_name + "\"");
    }
    return *it->second;
}

void Federation::post(Federate& to, Callback callback) {
    if (to.callbacks.push(std::move(callback)) && m_notifier) m_notifier(to.handle);
}

void Federation::sendMessage(Federate& to, Callback message, std::optional<LogicalTime> timestamp) {
    if (timestamp && m_time.queuesTimestampOrder(to.handle)) {
        m_time.enqueue(to.handle, *timestamp, std::move(message));
        return;
    }
    // Not constrained: a timestamp-order message arrives as a receive-order one.
    if (timestamp) setTimestamp(message, std::nullopt);
    if (m_time.holdsReceiveOrder(to.handle)) {
        to.callbacks.hold(std::move(message));
    } else {
        post(to, std::move(message));
    }
}

std::optional<LogicalTime> Federation::timestampFor(FederateHandle sender,
                                                    std::optional<LogicalTime> time, Order order) {
    if (!time) return std::nullopt;
    m_time.checkSendTime(sender, *time);
    if (order != Order::Timestamp || !m_time.isRegulating(sender)) return std::nullopt;
    return time;
}

}  // namespace rti
