#include "platform/hla/ObjectClassMerge.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace hla::merge {

namespace {

// How an attribute both declare differs where both state it; empty when it does not.
std::string attributeDifference(const std::string& member, const AttributeSpec& ours,
                                const AttributeSpec& theirs, const std::string& ourModule,
                                const std::string& theirModule) {
    if (!ours.dataType.empty() && !theirs.dataType.empty() && ours.dataType != theirs.dataType) {
        return member + " has data type " + ours.dataType + " in " + quoted(ourModule) + " and " +
               theirs.dataType + " in " + quoted(theirModule);
    }
    if (ours.transportDeclared && theirs.transportDeclared && ours.transport != theirs.transport) {
        return member + " has transportation " + transportName(ours.transport) + " in " +
               quoted(ourModule) + " and " + transportName(theirs.transport) + " in " +
               quoted(theirModule);
    }
    if (ours.orderDeclared && theirs.orderDeclared && ours.order != theirs.order) {
        return member + " has order " + orderName(ours.order) + " in " + quoted(ourModule) +
               " and " + orderName(theirs.order) + " in " + quoted(theirModule);
    }
    return {};
}

}  // namespace

void ObjectClassMerge::run() {
    for (std::uint32_t i = 0; i < m_module.objectClassCount(); ++i) {
        const ObjectClassSpec& theirs = m_module.objectClass(static_cast<ObjectClassHandle>(i));
        const std::string module = origin(theirs.module);
        std::optional<ObjectClassHandle> ours = m_into.findObjectClass(theirs.fullName);
        if (!ours) {
            std::optional<ObjectClassHandle> parent;
            if (theirs.parent) {
                parent = m_into.findObjectClass(m_module.objectClass(*theirs.parent).fullName);
            }
            ours = m_into.addObjectClass(parent, theirs.name);
            m_into.setModule(*ours, module);
            addAttributes(*ours, theirs, module);
        } else if (theirs.declared.empty()) {
            // Restated by name only.
        } else if (m_into.objectClass(*ours).declared.empty()) {
            addAttributes(*ours, theirs, module);
            m_into.setModule(*ours, module);
        } else {
            compareAttributes(*ours, theirs, module);
        }
    }
}

void ObjectClassMerge::addAttributes(ObjectClassHandle ours, const ObjectClassSpec& theirs,
                                     const std::string& module) {
    for (AttributeHandle handle : theirs.declared) {
        const AttributeSpec& attribute = m_module.attribute(handle);
        const std::string where = clash(ours, attribute.name);
        if (!where.empty()) {
            inconsistent("attribute " + attribute.name + " of object class " +
                         m_into.objectClass(ours).fullName + " in " + quoted(module) +
                         " is declared already in " + where);
        }
        m_into.addAttribute(ours, attribute);
    }
}

void ObjectClassMerge::compareAttributes(ObjectClassHandle ours, const ObjectClassSpec& theirs,
                                         const std::string& module) {
    const ObjectClassSpec& cls = m_into.objectClass(ours);
    const bool root = !cls.parent;
    std::vector<std::pair<AttributeHandle, const AttributeSpec*>> pairs;
    for (AttributeHandle handle : theirs.declared) {
        const AttributeSpec& attribute = m_module.attribute(handle);
        const auto mine = std::find_if(
            cls.declared.begin(), cls.declared.end(),
            [&](AttributeHandle a) { return m_into.attribute(a).name == attribute.name; });
        if (mine == cls.declared.end()) {
            differs("object", cls.fullName, cls.module, module,
                    quoted(module) + " adds attribute " + attribute.name);
        }
        const AttributeSpec& established = m_into.attribute(*mine);
        if (!root) {
            const std::string difference = attributeDifference(
                "attribute " + attribute.name, established, attribute, cls.module, module);
            if (!difference.empty())
                differs("object", cls.fullName, cls.module, module, difference);
        }
        pairs.emplace_back(*mine, &attribute);
    }
    for (AttributeHandle a : cls.declared) {
        if (std::none_of(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == a; })) {
            differs("object", cls.fullName, cls.module, module,
                    quoted(module) + " leaves out attribute " + m_into.attribute(a).name);
        }
    }
    for (const auto& [mine, attribute] : pairs) m_into.fillIn(mine, *attribute);
}

// Where an attribute name a module adds to a class is declared already: in the class's
// ancestors or its subclasses.
std::string ObjectClassMerge::clash(ObjectClassHandle cls, const std::string& attribute) const {
    if (const auto inherited = m_into.findAttribute(cls, attribute)) {
        const auto& owner = m_into.objectClass(m_into.attribute(*inherited).declaredIn);
        return "object class " + owner.fullName + " of " + quoted(owner.module);
    }
    for (std::uint32_t i = 0; i < m_into.objectClassCount(); ++i) {
        const auto sub = static_cast<ObjectClassHandle>(i);
        if (sub == cls || !m_into.isSubclassOf(sub, cls)) continue;
        for (AttributeHandle a : m_into.objectClass(sub).declared) {
            if (m_into.attribute(a).name == attribute) {
                const auto& owner = m_into.objectClass(sub);
                return "its subclass " + owner.fullName + " of " + quoted(owner.module);
            }
        }
    }
    return {};
}

}  // namespace hla::merge
