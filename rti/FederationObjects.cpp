// Declarations, object instances and interactions of a federation execution.

#include "rti/Error.h"
#include "rti/Federation.h"

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

void Federation::checkClassAttributes(ObjectClassHandle cls, const AttributeSet& attributes) const {
    for (AttributeHandle attribute : attributes) {
        if (!m_description->isAvailable(cls, attribute)) {
            throw Error(ErrorKind::AttributeNotDefined,
                        "attribute " + m_description->attribute(attribute).name +
                            " is not an attribute of object class " +
                            m_description->objectClass(cls).fullName);
        }
    }
}

void Federation::publishObjectClass(FederateHandle federate, ObjectClassHandle cls,
                                    const AttributeSet& attributes) {
    Federate& f = member(federate);
    checkClassAttributes(cls, attributes);
    // Attributes no longer published are given up, as are requests to acquire them.
    AttributeSet dropped;
    if (const AttributeSet* before = f.declarations.publishedAttributes(cls)) {
        for (AttributeHandle attribute : *before) {
            if (attributes.count(attribute) == 0) dropped.insert(attribute);
        }
    }
    f.declarations.publishObjectClass(cls, attributes);
    if (dropped.empty()) return;
    for (auto& [handle, object] : m_objects.all()) {
        if (object.objectClass != cls) continue;
        AttributeSet owned;
        for (AttributeHandle attribute : dropped) {
            if (object.owns(federate, attribute)) owned.insert(attribute);
            std::erase(object.requests[attribute], federate);
        }
        handOver(object, federate, owned, false);
    }
}

void Federation::subscribeObjectClassAttributes(FederateHandle federate, ObjectClassHandle cls,
                                                const AttributeSet& attributes) {
    Federate& f = member(federate);
    checkClassAttributes(cls, attributes);
    f.declarations.subscribeObjectClass(cls, attributes);
    for (auto& [handle, object] : m_objects.all()) discover(f, object);
}

void Federation::publishInteractionClass(FederateHandle federate, InteractionClassHandle cls,
                                         bool on) {
    Federate& f = member(federate);
    m_description->interactionClass(cls);
    f.declarations.publishInteractionClass(cls, on);
}

void Federation::subscribeInteractionClass(FederateHandle federate, InteractionClassHandle cls,
                                           bool on) {
    Federate& f = member(federate);
    m_description->interactionClass(cls);
    f.declarations.subscribeInteractionClass(cls, on);
}

ObjectInstanceHandle Federation::registerObjectInstance(FederateHandle federate,
                                                        ObjectClassHandle cls,
                                                        const std::string& name) {
    Federate& f = member(federate);
    const ObjectClassSpec& spec = m_description->objectClass(cls);
    const AttributeSet* published = f.declarations.publishedAttributes(cls);
    if (published == nullptr) {
        throw Error(ErrorKind::ObjectClassNotPublished,
                    "object class " + spec.fullName + " is not published by this federate");
    }
    ObjectInstance& object =
        m_objects.create(cls, name, federate, m_description->availableAttributes(cls));
    for (AttributeHandle attribute : *published) object.owners[attribute] = federate;
    if (const auto privilege = m_description->findAttribute(cls, kPrivilegeToDelete)) {
        object.owners[*privilege] = federate;
    }
    object.knownBy.emplace(federate, cls);
    f.view.insert(object.handle);
    for (auto& [handle, other] : m_federates) discover(*other, object);
    return object.handle;
}

void Federation::updateAttributeValues(FederateHandle federate, ObjectInstanceHandle handle,
                                       const AttributeValues& values, const std::string& tag,
                                       std::optional<LogicalTime> time) {
    member(federate);
    ObjectInstance& object = m_objects.get(handle);
    AttributeSet attributes;
    for (const auto& entry : values) attributes.insert(entry.first);
    checkOwned(object, federate, attributes);
    const std::optional<LogicalTime> timestamp = timestampFor(federate, time, Order::Timestamp);
    const auto inTimestampOrder = [&](AttributeHandle attribute) {
        return timestamp && m_description->attribute(attribute).order == Order::Timestamp;
    };
    for (const auto& [receiver, known] : object.knownBy) {
        if (receiver == federate) continue;
        Federate& to = member(receiver);
        const auto subscribed = to.declarations.subscribedClassFor(known);
        if (!subscribed) continue;
        const AttributeSet& wanted = *to.declarations.subscribedAttributes(*subscribed);
        AttributeValues ordered = filtered(
            values, [&](AttributeHandle a) { return wanted.count(a) != 0 && inTimestampOrder(a); });
        AttributeValues unordered = filtered(values, [&](AttributeHandle a) {
            return wanted.count(a) != 0 && !inTimestampOrder(a);
        });
        if (!unordered.empty()) {
            sendMessage(to, cb::ReflectAttributeValues{handle, std::move(unordered), tag, {}}, {});
        }
        if (!ordered.empty()) {
            sendMessage(to, cb::ReflectAttributeValues{handle, std::move(ordered), tag, timestamp},
                        timestamp);
        }
    }
}

void Federation::sendInteraction(FederateHandle federate, InteractionClassHandle cls,
                                 const ParameterValues& values, const std::string& tag,
                                 std::optional<LogicalTime> time) {
    Federate& sender = member(federate);
    const InteractionClassSpec& spec = m_description->interactionClass(cls);
    if (!sender.declarations.isPublished(cls)) {
        throw Error(ErrorKind::InteractionClassNotPublished,
                    "interaction class " + spec.fullName + " is not published by this federate");
    }
    for (const auto& entry : values) {
        if (!m_description->isAvailable(cls, entry.first)) {
            throw Error(ErrorKind::InteractionParameterNotDefined,
                        "parameter " + m_description->parameter(entry.first).name +
                            " is not a parameter of interaction class " + spec.fullName);
        }
    }
    const std::optional<LogicalTime> timestamp = timestampFor(federate, time, spec.order);
    for (auto& [handle, receiver] : m_federates) {
        if (handle == federate) continue;
        const auto subscribed = receiver->declarations.subscribedClassFor(cls);
        if (!subscribed) continue;
        ParameterValues delivered =
            *subscribed == cls ? values : filtered(values, [&](ParameterHandle p) {
                return m_description->isAvailable(*subscribed, p);
            });
        sendMessage(*receiver,
                    cb::ReceiveInteraction{*subscribed, std::move(delivered), tag, timestamp},
                    timestamp);
    }
}

void Federation::deleteObjectInstance(FederateHandle federate, ObjectInstanceHandle handle,
                                      const std::string& tag, std::optional<LogicalTime> time) {
    member(federate);
    ObjectInstance& object = m_objects.get(handle);
    if (!holdsDeletePrivilege(object, federate)) {
        throw Error(ErrorKind::DeletePrivilegeNotHeld,
                    "this federate may not delete object instance \"" + object.name +
                        "\": it does not hold its privilege to delete");
    }
    removeObject(object, federate, tag, timestampFor(federate, time, deleteOrder(object)));
}

Order Federation::deleteOrder(const ObjectInstance& object) const {
    // A delete travels as its class orders the privilege to delete; without one, by time.
    if (const auto privilege =
            m_description->findAttribute(object.objectClass, kPrivilegeToDelete)) {
        return m_description->attribute(*privilege).order;
    }
    return Order::Timestamp;
}

ObjectInstanceHandle Federation::objectInstanceHandle(FederateHandle federate,
                                                      const std::string& name) {
    member(federate);
    const auto handle = m_objects.findByName(name);
    if (!handle) {
        throw Error(ErrorKind::ObjectNotKnown,
                    "no object instance is named \"" + name + "\" in the federation");
    }
    return *handle;
}

std::string Federation::objectInstanceName(FederateHandle federate, ObjectInstanceHandle handle) {
    member(federate);
    return m_objects.get(handle).name;
}

ObjectClassHandle Federation::objectClassOf(FederateHandle federate, ObjectInstanceHandle handle) {
    member(federate);
    return m_objects.get(handle).objectClass;
}

void Federation::discover(Federate& federate, ObjectInstance& object) {
    if (object.knownBy.count(federate.handle) != 0) return;
    const auto known = federate.declarations.subscribedClassFor(object.objectClass);
    if (!known) return;
    object.knownBy.emplace(federate.handle, *known);
    post(federate, cb::DiscoverObjectInstance{object.handle, *known, object.name});
}

void Federation::removeObject(ObjectInstance& object, FederateHandle by, const std::string& tag,
                              std::optional<LogicalTime> timestamp) {
    for (const auto& [receiver, known] : object.knownBy) {
        Federate& to = member(receiver);
        if (receiver == by) {
            to.view.erase(object.handle);
        } else {
            sendMessage(to, cb::RemoveObjectInstance{object.handle, tag, timestamp}, timestamp);
        }
    }
    m_objects.erase(object.handle);
}

bool Federation::holdsDeletePrivilege(const ObjectInstance& object, FederateHandle federate) const {
    if (const auto privilege =
            m_description->findAttribute(object.objectClass, kPrivilegeToDelete)) {
        return object.owns(federate, *privilege);
    }
    return object.registrant == federate;
}

}  // namespace rti
