// Ownership of instance attributes: acquisition, release and divestiture.

#include "rti/Error.h"
#include "rti/Federation.h"

#include <algorithm>

namespace rti {

void Federation::checkAttributes(const ObjectInstance& object,
                                 const AttributeSet& attributes) const {
    for (AttributeHandle attribute : attributes) {
        if (object.owners.count(attribute) == 0) {
            throw Error(ErrorKind::AttributeNotDefined,
                        "attribute " + m_description->attribute(attribute).name +
                            " is not an attribute of object instance \"" + object.name + "\"");
        }
    }
}

void Federation::checkOwned(const ObjectInstance& object, FederateHandle federate,
                            const AttributeSet& attributes) const {
    checkAttributes(object, attributes);
    for (AttributeHandle attribute : attributes) {
        if (!object.owns(federate, attribute)) {
            throw Error(ErrorKind::AttributeNotOwned, "attribute " +
                                                          m_description->attribute(attribute).name +
                                                          " of object instance \"" + object.name +
                                                          "\" is not owned by this federate");
        }
    }
}

void Federation::checkAcquirable(const Federate& federate, const ObjectInstance& object,
                                 const AttributeSet& attributes) const {
    checkAttributes(object, attributes);
    for (AttributeHandle attribute : attributes) {
        const std::string& name = m_description->attribute(attribute).name;
        if (!federate.declarations.isPublished(object.objectClass, attribute)) {
            throw Error(ErrorKind::AttributeNotPublished,
                        "attribute " + name + " is not published by this federate");
        }
        if (object.owns(federate.handle, attribute)) {
            throw Error(ErrorKind::AttributeAlreadyOwned,
                        "attribute " + name + " of object instance \"" + object.name +
                            "\" is already owned by this federate");
        }
    }
}

AttributeSet Federation::handOver(ObjectInstance& object, FederateHandle owner,
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
        post(member(federate),
             cb::AttributeOwnershipAcquisitionNotification{object.handle, std::move(set)});
    }
    return moved;
}

void Federation::unconditionalAttributeOwnershipDivestiture(FederateHandle federate,
                                                            ObjectInstanceHandle handle,
                                                            const AttributeSet& attributes) {
    member(federate);
    ObjectInstance& object = m_objects.get(handle);
    checkOwned(object, federate, attributes);
    handOver(object, federate, attributes, false);
}

void Federation::attributeOwnershipAcquisition(FederateHandle federate, ObjectInstanceHandle handle,
                                               const AttributeSet& attributes,
                                               const std::string& tag) {
    Federate& f = member(federate);
    ObjectInstance& object = m_objects.get(handle);
    checkAcquirable(f, object, attributes);
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
        post(f, cb::AttributeOwnershipAcquisitionNotification{handle, std::move(acquired)});
    }
    for (auto& [owner, set] : asked) {
        post(member(owner), cb::RequestAttributeOwnershipRelease{handle, std::move(set), tag});
    }
}

void Federation::attributeOwnershipAcquisitionIfAvailable(FederateHandle federate,
                                                          ObjectInstanceHandle handle,
                                                          const AttributeSet& attributes) {
    Federate& f = member(federate);
    ObjectInstance& object = m_objects.get(handle);
    checkAttributes(object, attributes);
    checkAcquirable(f, object, attributes);
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
        post(f, cb::AttributeOwnershipAcquisitionNotification{handle, std::move(acquired)});
    }
    if (!unavailable.empty()) {
        post(f, cb::AttributeOwnershipUnavailable{handle, std::move(unavailable)});
    }
}

AttributeSet Federation::attributeOwnershipReleaseResponse(FederateHandle federate,
                                                           ObjectInstanceHandle handle,
                                                           const AttributeSet& attributes) {
    member(federate);
    ObjectInstance& object = m_objects.get(handle);
    checkOwned(object, federate, attributes);
    return handOver(object, federate, attributes, true);
}

void Federation::cancelAttributeOwnershipAcquisition(FederateHandle federate,
                                                     ObjectInstanceHandle handle,
                                                     const AttributeSet& attributes) {
    Federate& f = member(federate);
    ObjectInstance& object = m_objects.get(handle);
    checkAttributes(object, attributes);
    for (AttributeHandle attribute : attributes) {
        const auto& requesters = object.requests[attribute];
        if (std::find(requesters.begin(), requesters.end(), federate) == requesters.end()) {
            throw Error(ErrorKind::AttributeAcquisitionWasNotRequested,
                        "this federate has not asked to acquire attribute " +
                            m_description->attribute(attribute).name + " of object instance \"" +
                            object.name + "\"");
        }
    }
    for (AttributeHandle attribute : attributes) std::erase(object.requests[attribute], federate);
    post(f, cb::ConfirmAttributeOwnershipAcquisitionCancellation{handle, attributes});
}

void Federation::queryAttributeOwnership(FederateHandle federate, ObjectInstanceHandle handle,
                                         AttributeHandle attribute) {
    Federate& f = member(federate);
    ObjectInstance& object = m_objects.get(handle);
    checkAttributes(object, {attribute});
    if (const auto owner = object.owners[attribute]) {
        post(f, cb::InformAttributeOwnership{handle, attribute, *owner});
    } else {
        post(f, cb::AttributeIsNotOwned{handle, attribute});
    }
}

bool Federation::isAttributeOwnedByFederate(FederateHandle federate, ObjectInstanceHandle handle,
                                            AttributeHandle attribute) {
    member(federate);
    ObjectInstance& object = m_objects.get(handle);
    checkAttributes(object, {attribute});
    return object.owns(federate, attribute);
}

}  // namespace rti
