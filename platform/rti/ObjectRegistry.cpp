#include "platform/rti/ObjectRegistry.h"

#include "platform/rti/Vocabulary.h"

namespace rti {

bool ObjectInstance::owns(FederateHandle federate, AttributeHandle attribute) const {
    const auto it = owners.find(attribute);
    return it != owners.end() && it->second == federate;
}

ObjectInstance& ObjectRegistry::create(ObjectClassHandle cls, const std::string& name,
                                       FederateHandle registrant,
                                       const std::vector<AttributeHandle>& attributes) {
    const auto handle = static_cast<ObjectInstanceHandle>(m_next);
    std::string chosen = name;
    if (chosen.empty()) {
        for (std::uint32_t n = m_next; chosen.empty() || m_byName.count(chosen) != 0; ++n) {
            chosen = "HLAobject" + std::to_string(n);
        }
    } else if (m_byName.count(chosen) != 0) {
        throw Error(ErrorKind::ObjectAlreadyRegistered,
                    "the object name \"" + name + "\" is already in use in the federation");
    }
    ++m_next;
    ObjectInstance object{handle, cls, chosen, registrant, {}, {}, {}};
    for (AttributeHandle attribute : attributes) object.owners.emplace(attribute, std::nullopt);
    m_byName.emplace(chosen, handle);
    return m_objects.emplace(handle, std::move(object)).first->second;
}

void ObjectRegistry::erase(ObjectInstanceHandle handle) {
    const auto it = m_objects.find(handle);
    if (it == m_objects.end()) return;
    m_byName.erase(it->second.name);
    m_objects.erase(it);
}

ObjectInstance& ObjectRegistry::get(ObjectInstanceHandle handle) {
    const auto it = m_objects.find(handle);
    if (it == m_objects.end()) {
        throw Error(ErrorKind::ObjectNotKnown, toString(handle) + " does not exist");
    }
    return it->second;
}

std::optional<ObjectInstanceHandle> ObjectRegistry::findByName(const std::string& name) const {
    const auto it = m_byName.find(name);
    if (it == m_byName.end()) return std::nullopt;
    return it->second;
}

}  // namespace rti
