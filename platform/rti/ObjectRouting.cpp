#include "platform/rti/ObjectRouting.h"

#include "platform/rti/Vocabulary.h"

#include <map>
#include <vector>

namespace rti {

namespace {

const char* const kPrivilegeToDelete = "privilegeToDelete";

template <typename Map, typename Keep>
Map filtered(const Map& values, Keep keep) {
    Map result;
    for (const auto& entry : values) {
        if (keep(entry.first)) result.insert(entry);
    }
    return result;
}

}  // namespace

ObjectInstanceHandle ObjectRouting::registerObjectInstance(FederateHandle federate,
                                                           ObjectClassHandle cls,
                                                           const std::string& name) {
    Member& registrant = m_members.requireMember(federate);
    const ObjectClassSpec& spec = m_description.objectClass(cls);
    const AttributeSet* published = registrant.declarations.publishedAttributes(cls);
    if (published == nullptr) {
        throw Error(ErrorKind::ObjectClassNotPublished,
                    "object class " + spec.fullName + " is not published by this federate");
    }
    ObjectInstance& object =
        m_objects.create(cls, name, federate, m_description.availableAttributes(cls));
    for (AttributeHandle attribute : *published) object.owners[attribute] = federate;
    if (const auto privilege = m_description.findAttribute(cls, kPrivilegeToDelete)) {
        object.owners[*privilege] = federate;
    }
    object.knownBy.emplace(federate, cls);
    registrant.view.insert(object.handle);
    ++registrant.counts.registered;
    for (auto& [handle, other] : m_members.all()) discover(*other, object);
    return object.handle;
}

void ObjectRouting::updateAttributeValues(FederateHandle federate, ObjectInstanceHandle handle,
                                          const AttributeValues& values, const std::string& tag,
                                          std::optional<LogicalTime> time) {
    Member& sender = m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    AttributeSet attributes;
    for (const auto& entry : values) attributes.insert(entry.first);
    m_ownership.requireOwned(object, federate, attributes);
    ++sender.counts.updatesSent;
    sender.counts.updated.insert(handle);
    const std::optional<LogicalTime> timestamp = timestampFor(federate, time, Order::Timestamp);
    const auto inTimestampOrder = [&](AttributeHandle attribute) {
        return timestamp && m_description.attribute(attribute).order == Order::Timestamp;
    };
    for (const auto& [receiver, known] : object.knownBy) {
        if (receiver == federate) continue;
        Member& to = m_members.requireMember(receiver);
        const auto subscribed = to.declarations.subscribedClassFor(known);
        if (!subscribed) continue;
        const AttributeSet& wanted = *to.declarations.subscribedAttributes(*subscribed);
        AttributeValues ordered = filtered(
            values, [&](AttributeHandle a) { return wanted.count(a) != 0 && inTimestampOrder(a); });
        AttributeValues unordered = filtered(values, [&](AttributeHandle a) {
            return wanted.count(a) != 0 && !inTimestampOrder(a);
        });
        if (!ordered.empty() || !unordered.empty()) {
            ++to.counts.reflectionsReceived;
            to.counts.reflected.insert(handle);
        }
        if (!unordered.empty()) {
            sendMessage(to, cb::ReflectAttributeValues{handle, std::move(unordered), tag, {}}, {});
        }
        if (!ordered.empty()) {
            sendMessage(to, cb::ReflectAttributeValues{handle, std::move(ordered), tag, timestamp},
                        timestamp);
        }
    }
}

void ObjectRouting::sendInteraction(FederateHandle federate, InteractionClassHandle cls,
                                    const ParameterValues& values, const std::string& tag,
                                    std::optional<LogicalTime> time) {
    Member& sender = m_members.requireMember(federate);
    const InteractionClassSpec& spec = m_description.interactionClass(cls);
    if (!sender.declarations.isPublished(cls)) {
        throw Error(ErrorKind::InteractionClassNotPublished,
                    "interaction class " + spec.fullName + " is not published by this federate");
    }
    for (const auto& entry : values) {
        if (!m_description.isAvailable(cls, entry.first)) {
            throw Error(ErrorKind::InteractionParameterNotDefined,
                        "parameter " + m_description.parameter(entry.first).name +
                            " is not a parameter of interaction class " + spec.fullName);
        }
    }
    const std::optional<LogicalTime> timestamp = timestampFor(federate, time, spec.order);
    ++sender.counts.interactionsSent;
    for (auto& [handle, receiver] : m_members.all()) {
        if (handle == federate) continue;
        const auto subscribed = receiver->declarations.subscribedClassFor(cls);
        if (!subscribed) continue;
        ParameterValues delivered =
            *subscribed == cls ? values : filtered(values, [&](ParameterHandle p) {
                return m_description.isAvailable(*subscribed, p);
            });
        ++receiver->counts.interactionsReceived;
        sendMessage(*receiver,
                    cb::ReceiveInteraction{*subscribed, std::move(delivered), tag, timestamp},
                    timestamp);
    }
}

void ObjectRouting::deleteObjectInstance(FederateHandle federate, ObjectInstanceHandle handle,
                                         const std::string& tag, std::optional<LogicalTime> time) {
    m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    if (!holdsDeletePrivilege(object, federate)) {
        throw Error(ErrorKind::DeletePrivilegeNotHeld,
                    "this federate may not delete object instance \"" + object.name +
                        "\": it does not hold its privilege to delete");
    }
    removeObject(object, federate, tag, timestampFor(federate, time, deleteOrder(object)));
    ++m_members.requireMember(federate).counts.deleted;
}

Order ObjectRouting::deleteOrder(const ObjectInstance& object) const {
    // A delete travels as its class orders the privilege to delete; without one, by time.
    if (const auto privilege =
            m_description.findAttribute(object.objectClass, kPrivilegeToDelete)) {
        return m_description.attribute(*privilege).order;
    }
    return Order::Timestamp;
}

AttributeSet ObjectRouting::askOwners(FederateHandle federate, const ObjectInstance& object,
                                      const AttributeSet& attributes, const std::string& tag) {
    std::map<FederateHandle, AttributeSet> byOwner;
    AttributeSet ownedByRunTime;
    for (AttributeHandle attribute : attributes) {
        const auto owner = object.owners.find(attribute);
        // Unowned attributes have nobody to provide them; the asker's own it has already.
        if (owner == object.owners.end() || !owner->second || *owner->second == federate) continue;
        if (*owner->second == kRunTimeItself) {
            ownedByRunTime.insert(attribute);
        } else {
            byOwner[*owner->second].insert(attribute);
        }
    }
    for (auto& [owner, owned] : byOwner) {
        m_members.post(m_members.requireMember(owner),
                       cb::ProvideAttributeValueUpdate{object.handle, std::move(owned), tag});
    }
    return ownedByRunTime;
}

AttributeSet ObjectRouting::requestAttributeValueUpdate(FederateHandle federate,
                                                        ObjectInstanceHandle handle,
                                                        const AttributeSet& attributes,
                                                        const std::string& tag) {
    m_members.requireMember(federate);
    const ObjectInstance& object = m_objects.get(handle);
    if (object.knownBy.count(federate) == 0 && object.registrant != federate) {
        throw Error(ErrorKind::ObjectNotKnown,
                    toString(handle) + " is not known to this federate: it has not discovered it");
    }
    m_description.requireAvailable(object.objectClass, attributes);
    return askOwners(federate, object, attributes, tag);
}

std::vector<std::pair<ObjectInstanceHandle, AttributeSet>>
ObjectRouting::requestAttributeValueUpdate(FederateHandle federate, ObjectClassHandle cls,
                                           const AttributeSet& attributes, const std::string& tag) {
    m_members.requireMember(federate);
    m_description.requireAvailable(cls, attributes);
    std::vector<std::pair<ObjectInstanceHandle, AttributeSet>> ownedByRunTime;
    for (const auto& [handle, object] : m_objects.all()) {
        if (!m_description.isSubclassOf(object.objectClass, cls)) continue;
        AttributeSet own = askOwners(federate, object, attributes, tag);
        if (!own.empty()) ownedByRunTime.emplace_back(handle, std::move(own));
    }
    return ownedByRunTime;
}

ObjectInstanceHandle ObjectRouting::objectInstanceHandle(FederateHandle federate,
                                                         const std::string& name) {
    m_members.requireMember(federate);
    const auto handle = m_objects.findByName(name);
    if (!handle) {
        throw Error(ErrorKind::ObjectNotKnown,
                    "no object instance is named \"" + name + "\" in the federation");
    }
    return *handle;
}

std::string ObjectRouting::objectInstanceName(FederateHandle federate,
                                              ObjectInstanceHandle handle) {
    m_members.requireMember(federate);
    return m_objects.get(handle).name;
}

ObjectClassHandle ObjectRouting::objectClassOf(FederateHandle federate,
                                               ObjectInstanceHandle handle) {
    m_members.requireMember(federate);
    return m_objects.get(handle).objectClass;
}

void ObjectRouting::discoverAll(Member& member) {
    for (auto& [handle, object] : m_objects.all()) discover(member, object);
}

void ObjectRouting::discoverEverywhere(ObjectInstance& object) {
    for (auto& [handle, member] : m_members.all()) discover(*member, object);
}

void ObjectRouting::removeRegistered(ObjectInstanceHandle handle) {
    ObjectInstance& object = m_objects.get(handle);
    removeObject(object, object.registrant, {}, std::nullopt);
}

void ObjectRouting::sendFromRunTime(InteractionClassHandle cls, const ParameterValues& values) {
    for (auto& [handle, receiver] : m_members.all()) {
        const auto subscribed = receiver->declarations.subscribedClassFor(cls);
        if (!subscribed) continue;
        ++receiver->counts.interactionsReceived;
        sendMessage(*receiver, cb::ReceiveInteraction{*subscribed, values, {}, std::nullopt},
                    std::nullopt);
    }
}

void ObjectRouting::deleteDeletable(FederateHandle federate) {
    std::vector<ObjectInstanceHandle> deletable;
    for (auto& [handle, object] : m_objects.all()) {
        if (holdsDeletePrivilege(object, federate)) deletable.push_back(handle);
    }
    for (ObjectInstanceHandle handle : deletable) {
        removeObject(m_objects.get(handle), federate, {}, std::nullopt);
    }
}

std::size_t ObjectRouting::deletableBy(FederateHandle federate) const {
    std::size_t count = 0;
    for (const auto& [handle, object] : m_objects.all()) {
        if (holdsDeletePrivilege(object, federate)) ++count;
    }
    return count;
}

void ObjectRouting::forget(FederateHandle federate) {
    for (auto& [handle, object] : m_objects.all()) object.knownBy.erase(federate);
}

void ObjectRouting::discover(Member& member, ObjectInstance& object) {
    if (object.knownBy.count(member.handle) != 0) return;
    const auto known = member.declarations.subscribedClassFor(object.objectClass);
    if (!known) return;
    object.knownBy.emplace(member.handle, *known);
    ++member.counts.discovered;
    m_members.post(member, cb::DiscoverObjectInstance{object.handle, *known, object.name});
}

void ObjectRouting::removeObject(ObjectInstance& object, FederateHandle by, const std::string& tag,
                                 std::optional<LogicalTime> timestamp) {
    for (const auto& [receiver, known] : object.knownBy) {
        Member& to = m_members.requireMember(receiver);
        // The counts of instances are of those that still exist, so they stay bounded.
        to.counts.updated.erase(object.handle);
        to.counts.reflected.erase(object.handle);
        if (receiver == by) {
            to.view.erase(object.handle);
        } else {
            ++to.counts.removed;
            sendMessage(to, cb::RemoveObjectInstance{object.handle, tag, timestamp}, timestamp);
        }
    }
    m_objects.erase(object.handle);
}

void ObjectRouting::sendMessage(Member& to, Callback message,
                                std::optional<LogicalTime> timestamp) {
    if (timestamp && m_time.queuesTimestampOrder(to.handle)) {
        m_time.enqueue(to.handle, *timestamp, std::move(message));
        return;
    }
    // Not constrained: a timestamp-order message arrives as a receive-order one.
    if (timestamp) setTimestamp(message, std::nullopt);
    if (m_time.holdsReceiveOrder(to.handle)) {
        to.callbacks.hold(std::move(message));
    } else {
        m_members.post(to, std::move(message));
    }
}

std::optional<LogicalTime> ObjectRouting::timestampFor(FederateHandle sender,
                                                       std::optional<LogicalTime> time,
                                                       Order order) {
    if (!time) return std::nullopt;
    m_time.checkSendTime(sender, *time);
    if (order != Order::Timestamp || !m_time.isRegulating(sender)) return std::nullopt;
    return time;
}

bool ObjectRouting::holdsDeletePrivilege(const ObjectInstance& object,
                                         FederateHandle federate) const {
    if (const auto privilege =
            m_description.findAttribute(object.objectClass, kPrivilegeToDelete)) {
        return object.owns(federate, *privilege);
    }
    return object.registrant == federate;
}

}  // namespace rti
