#pragma once

#include "platform/rti/Vocabulary.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rti {

struct ObjectInstance {
    ObjectInstanceHandle handle;
    ObjectClassHandle objectClass;
    std::string name;
    FederateHandle registrant;
    // Every attribute of the class; no value means unowned.
    std::map<AttributeHandle, std::optional<FederateHandle>> owners;
    // Federates waiting to acquire an attribute from its owner, first come first served.
    std::map<AttributeHandle, std::vector<FederateHandle>> requests;
    // Federates that discovered the instance, with the class they know it as.
    std::map<FederateHandle, ObjectClassHandle> knownBy;

    bool owns(FederateHandle federate, AttributeHandle attribute) const;
};

// The object instances of a federation execution; names are unique among them.
class ObjectRegistry {
public:
    // An empty name gets a generated one. Throws Error (ObjectAlreadyRegistered) for a name
    // in use.
    ObjectInstance& create(ObjectClassHandle cls, const std::string& name,
                           FederateHandle registrant,
                           const std::vector<AttributeHandle>& attributes);
    void erase(ObjectInstanceHandle handle);

    // Throws Error (ObjectNotKnown) for an unknown handle.
    ObjectInstance& get(ObjectInstanceHandle handle);
    std::optional<ObjectInstanceHandle> findByName(const std::string& name) const;

    std::map<ObjectInstanceHandle, ObjectInstance>& all() { return m_objects; }
    const std::map<ObjectInstanceHandle, ObjectInstance>& all() const { return m_objects; }

private:
    std::map<ObjectInstanceHandle, ObjectInstance> m_objects;
    std::map<std::string, ObjectInstanceHandle> m_byName;
    std::uint32_t m_next = 1;
};

}  // namespace rti
