#include "platform/rti/OwnershipService.h"

#include "platform/rti/Vocabulary.h"

#include <algorithm>

namespace rti {

void OwnershipService::unconditionalAttributeOwnershipDivestiture(FederateHandle federate,
                                                                  ObjectInstanceHandle handle,
                                                                  const AttributeSet& attributes) {
    divest(federate, handle, attributes, false);
}

void OwnershipService::attributeOwnershipAcquisition(FederateHandle federate,
                                                     ObjectInstanceHandle handle,
                                                     const AttributeSet& attributes,
                                                     const std::string& tag) {
    Member& member = m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    requireAcquirable(member, object, attributes);
    AttributeSet acquired;
    std::map<FederateHandle, AttributeSet> asked;
    for (AttributeHandle attribute : attributes) {
        const auto owner = object.owners[attribute];
        auto& requesters = object.requests[attribute];
        if (!owner) {
            object.owners[attribute] = federate;
            std::erase(requesters, federate);
            acquired.insert(attribute);
        } else {
            if (std::find(requesters.begin(), requesters.end(), federate) == requesters.end()) {
                requesters.push_back(federate);
            }
            asked[*owner].insert(attribute);
        }
    }
    if (!acquired.empty()) {
        m_members.post(member,
                       cb::AttributeOwnershipAcquisitionNotification{handle, std::move(acquired)});
    }
    for (auto& [owner, set] : asked) {
        m_members.post(m_members.requireMember(owner),
                       cb::RequestAttributeOwnershipRelease{handle, std::move(set), tag});
    }
}

void OwnershipService::attributeOwnershipAcquisitionIfAvailable(FederateHandle federate,
                                                                ObjectInstanceHandle handle,
                                                                const AttributeSet& attributes) {
    Member& member = m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    requireAcquirable(member, object, attributes);
    AttributeSet acquired;
    AttributeSet unavailable;
    for (AttributeHandle attribute : attributes) {
        auto& owner = object.owners[attribute];
        if (!owner) {
            owner = federate;
            acquired.insert(attribute);
        } else {
            unavailable.insert(attribute);
        }
    }
    if (!acquired.empty()) {
        m_members.post(member,
                       cb::AttributeOwnershipAcquisitionNotification{handle, std::move(acquired)});
    }
    if (!unavailable.empty()) {
        m_members.post(member, cb::AttributeOwnershipUnavailable{handle, std::move(unavailable)});
    }
}

AttributeSet OwnershipService::attributeOwnershipReleaseResponse(FederateHandle federate,
                                                                 ObjectInstanceHandle handle,
                                                                 const AttributeSet& attributes) {
    return divest(federate, handle, attributes, true);
}

void OwnershipService::cancelAttributeOwnershipAcquisition(FederateHandle federate,
                                                           ObjectInstanceHandle handle,
                                                           const AttributeSet& attributes) {
    Member& member = m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    requireAttributes(object, attributes);
    for (AttributeHandle attribute : attributes) {
        const auto& requesters = object.requests[attribute];
        if (std::find(requesters.begin(), requesters.end(), federate) == requesters.end()) {
            throw Error(ErrorKind::AttributeAcquisitionWasNotRequested,
                        "this federate has not asked to acquire attribute " +
                            m_description.attribute(attribute).name + " of object instance \"" +
                            object.name + "\"");
        }
    }
    for (AttributeHandle attribute : attributes) std::erase(object.requests[attribute], federate);
    m_members.post(member,
                   cb::ConfirmAttributeOwnershipAcquisitionCancellation{handle, attributes});
}

void OwnershipService::queryAttributeOwnership(FederateHandle federate, ObjectInstanceHandle handle,
                                               AttributeHandle attribute) {
    Member& member = m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    requireAttributes(object, {attribute});
    if (const auto owner = object.owners[attribute]) {
        m_members.post(member, cb::InformAttributeOwnership{handle, attribute, *owner});
    } else {
        m_members.post(member, cb::AttributeIsNotOwned{handle, attribute});
    }
}

bool OwnershipService::isAttributeOwnedByFederate(FederateHandle federate,
                                                  ObjectInstanceHandle handle,
                                                  AttributeHandle attribute) {
    m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    requireAttributes(object, {attribute});
    return object.owns(federate, attribute);
}

void OwnershipService::requireNothingOwned(FederateHandle federate) {
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

void OwnershipService::withdraw(FederateHandle federate, ObjectClassHandle cls,
                                const AttributeSet& attributes) {
    for (auto& [handle, object] : m_objects.all()) {
        if (object.objectClass != cls) continue;
        AttributeSet owned;
        for (AttributeHandle attribute : attributes) {
            if (object.owns(federate, attribute)) owned.insert(attribute);
            std::erase(object.requests[attribute], federate);
        }
        handOver(object, federate, owned, false);
    }
}

void OwnershipService::releaseAll(FederateHandle federate) {
    for (auto& [handle, object] : m_objects.all()) {
        AttributeSet owned;
        for (const auto& [attribute, owner] : object.owners) {
            if (owner == federate) owned.insert(attribute);
        }
        for (auto& [attribute, requesters] : object.requests) {
            std::erase(requesters, federate);
        }
        handOver(object, federate, owned, false);
    }
}

void OwnershipService::requireAttributes(const ObjectInstance& object,
                                         const AttributeSet& attributes) const {
    for (AttributeHandle attribute : attributes) {
        if (object.owners.count(attribute) == 0) {
            throw Error(ErrorKind::AttributeNotDefined,
                        "attribute " + m_description.attribute(attribute).name +
                            " is not an attribute of object instance \"" + object.name + "\"");
        }
    }
}

void OwnershipService::requireOwned(const ObjectInstance& object, FederateHandle federate,
                                    const AttributeSet& attributes) const {
    requireAttributes(object, attributes);
    for (AttributeHandle attribute : attributes) {
        if (!object.owns(federate, attribute)) {
            throw Error(ErrorKind::AttributeNotOwned, "attribute " +
                                                          m_description.attribute(attribute).name +
                                                          " of object instance \"" + object.name +
                                                          "\" is not owned by this federate");
        }
    }
}

void OwnershipService::requireAcquirable(const Member& member, const ObjectInstance& object,
                                         const AttributeSet& attributes) const {
    requireAttributes(object, attributes);
    for (AttributeHandle attribute : attributes) {
        const std::string& name = m_description.attribute(attribute).name;
        if (!member.declarations.isPublished(object.objectClass, attribute)) {
            throw Error(ErrorKind::AttributeNotPublished,
                        "attribute " + name + " is not published by this federate");
        }
        if (object.owns(member.handle, attribute)) {
            throw Error(ErrorKind::AttributeAlreadyOwned,
                        "attribute " + name + " of object instance \"" + object.name +
                            "\" is already owned by this federate");
        }
    }
}

AttributeSet OwnershipService::divest(FederateHandle federate, ObjectInstanceHandle handle,
                                      const AttributeSet& attributes, bool onlyRequested) {
    m_members.requireMember(federate);
    ObjectInstance& object = m_objects.get(handle);
    requireOwned(object, federate, attributes);
    return handOver(object, federate, attributes, onlyRequested);
}

AttributeSet OwnershipService::handOver(ObjectInstance& object, FederateHandle owner,
                                        const AttributeSet& attributes, bool onlyRequested) {
    std::map<FederateHandle, AttributeSet> gained;
    AttributeSet moved;
    for (AttributeHandle attribute : attributes) {
        auto& requesters = object.requests[attribute];
        std::erase(requesters, owner);
        if (!requesters.empty()) {
            const FederateHandle next = requesters.front();
            requesters.erase(requesters.begin());
            object.owners[attribute] = next;
            gained[next].insert(attribute);
            moved.insert(attribute);
        } else if (!onlyRequested) {
            object.owners[attribute] = std::nullopt;
        }
    }
    for (auto& [federate, set] : gained) {
        m_members.post(
            m_members.requireMember(federate),
            cb::AttributeOwnershipAcquisitionNotification{object.handle, std::move(set)});
    }
    return moved;
}

}  // namespace rti
