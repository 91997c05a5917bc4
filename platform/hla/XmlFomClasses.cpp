#include "platform/hla/XmlFomClasses.h"

#include <algorithm>
#include <map>

namespace hla::xmlfom {

namespace {

std::string typeReference(const Values& values) {
    const Value* value = stated(values, "dataType");
    return value ? value->text : std::string();
}

// The roots first, then the classes given without them, beneath them.
bool isRoot(const XmlClass& c, const char* root) {
    const Value* n = stated(c.values, "name");
    return n && name13(n->text) == root;
}

}  // namespace

void XmlFomClasses::addObjectClasses(FederationDescription& description,
                                     const std::vector<XmlClass>& classes) const {
    std::optional<ObjectClassHandle> root;
    for (const XmlClass& c : classes) {
        if (isRoot(c, kObjectRoot)) root = objectClass(description, c, std::nullopt);
    }
    for (const XmlClass& c : classes) {
        if (isRoot(c, kObjectRoot)) continue;
        nameOf(m_module, c.values, c.pos, "an object class");
        if (!root) {
            root = description.addObjectClass(std::nullopt, kObjectRoot);
            description.setModule(*root, m_module);
        }
        objectClass(description, c, root);
    }
}

ObjectClassHandle XmlFomClasses::objectClass(FederationDescription& description, const XmlClass& c,
                                             std::optional<ObjectClassHandle> parent) const {
    const std::string where =
        parent ? "an object class in " + description.objectClass(*parent).fullName
               : "an object class";
    const Value& n = nameOf(m_module, c.values, c.pos, where);
    const std::string className = parent ? n.text : name13(n.text);
    const auto handle =
        guarded(m_module, n.pos, [&] { return description.addObjectClass(parent, className); });
    description.setModule(handle, m_module);
    const std::string fullName = description.objectClass(handle).fullName;
    std::map<std::string, std::string> written;  // each attribute's name as written
    for (const Leaf& member : c.members) {
        const Value& memberName =
            nameOf(m_module, member.values, member.pos, "an attribute of object class " + fullName);
        AttributeSpec spec;
        spec.name = name13(memberName.text);
        spec.dataType = typeReference(member.values);
        const auto transport = transportation(member.values);
        const auto ordered = order(member.values);
        spec.transportDeclared = transport.has_value();
        spec.orderDeclared = ordered.has_value();
        spec.transport = transport.value_or(Transport::Reliable);
        spec.order = ordered.value_or(Order::Receive);
        // The delete privilege under both its names (1516-2000 documents for 1.3 federates
        // state both): one attribute, when the two agree.
        const auto twin = written.find(spec.name);
        if (twin != written.end() && twin->second != memberName.text) {
            const AttributeSpec& first =
                description.attribute(*description.findAttribute(handle, spec.name));
            if (first.dataType == spec.dataType &&
                first.transportDeclared == spec.transportDeclared &&
                first.orderDeclared == spec.orderDeclared && first.transport == spec.transport &&
                first.order == spec.order) {
                continue;
            }
        }
        guarded(m_module, memberName.pos, [&] { return description.addAttribute(handle, spec); });
        written.emplace(spec.name, memberName.text);
    }
    for (const XmlClass& child : c.children) objectClass(description, child, handle);
    return handle;
}

void XmlFomClasses::addInteractionClasses(FederationDescription& description,
                                          const std::vector<XmlClass>& classes) const {
    std::optional<InteractionClassHandle> root;
    for (const XmlClass& c : classes) {
        if (isRoot(c, kInteractionRoot)) root = interactionClass(description, c, std::nullopt);
    }
    for (const XmlClass& c : classes) {
        if (isRoot(c, kInteractionRoot)) continue;
        nameOf(m_module, c.values, c.pos, "an interaction class");
        if (!root) {
            InteractionClassSpec spec;
            spec.name = kInteractionRoot;
            spec.module = m_module;
            spec.scaffolding = true;
            spec.transportDeclared = false;
            spec.orderDeclared = false;
            root = description.addInteractionClass(std::nullopt, spec);
        }
        interactionClass(description, c, root);
    }
}

InteractionClassHandle XmlFomClasses::interactionClass(
    FederationDescription& description, const XmlClass& c,
    std::optional<InteractionClassHandle> parent) const {
    const std::string where =
        parent ? "an interaction class in " + description.interactionClass(*parent).fullName
               : "an interaction class";
    const Value& n = nameOf(m_module, c.values, c.pos, where);
    InteractionClassSpec spec;
    spec.name = parent ? n.text : name13(n.text);
    const auto transport = transportation(c.values);
    const auto ordered = order(c.values);
    spec.transportDeclared = transport.has_value();
    spec.orderDeclared = ordered.has_value();
    spec.transport = transport.value_or(Transport::Reliable);
    spec.order = ordered.value_or(Order::Receive);
    spec.module = m_module;
    spec.scaffolding = c.members.empty() && !transport && !ordered;
    const auto handle =
        guarded(m_module, n.pos, [&] { return description.addInteractionClass(parent, spec); });
    const std::string fullName = description.interactionClass(handle).fullName;
    for (const Leaf& member : c.members) {
        const Value& memberName = nameOf(m_module, member.values, member.pos,
                                         "a parameter of interaction class " + fullName);
        ParameterSpec parameter;
        parameter.name = memberName.text;
        parameter.dataType = typeReference(member.values);
        guarded(m_module, memberName.pos,
                [&] { return description.addParameter(handle, parameter); });
    }
    for (const XmlClass& child : c.children) interactionClass(description, child, handle);
    return handle;
}

std::optional<Transport> XmlFomClasses::transportation(const Values& values) const {
    const Value* value = stated(values, "transportation");
    if (!value) return std::nullopt;
    if (sameLetters(value->text, "HLAreliable")) return Transport::Reliable;
    if (sameLetters(value->text, "HLAbestEffort")) return Transport::BestEffort;
    const auto declared =
        std::find_if(m_transportations.begin(), m_transportations.end(), [&](const Leaf& t) {
            const Value* n = stated(t.values, "name");
            return n && n->text == value->text;
        });
    if (declared == m_transportations.end()) {
        fail(m_module, value->pos,
             "unknown transportation \"" + value->text +
                 "\"; expected HLAreliable, HLAbestEffort or one the module declares in its "
                 "transportations");
    }
    const Value* reliable = stated(declared->values, "reliable");
    if (!reliable) {
        fail(m_module, value->pos,
             "transportation \"" + value->text +
                 "\" is declared without saying whether it is reliable (<reliable>Yes</reliable> "
                 "or No)");
    }
    if (sameLetters(reliable->text, "Yes")) return Transport::Reliable;
    if (sameLetters(reliable->text, "No")) return Transport::BestEffort;
    fail(m_module, reliable->pos,
         "reliable \"" + reliable->text + "\" of transportation \"" + value->text +
             "\" is neither Yes nor No");
}

std::optional<Order> XmlFomClasses::order(const Values& values) const {
    const Value* value = stated(values, "order");
    if (!value) return std::nullopt;
    if (sameLetters(value->text, "Receive")) return Order::Receive;
    if (sameLetters(value->text, "TimeStamp")) return Order::Timestamp;
    fail(m_module, value->pos,
         "unknown order \"" + value->text + "\"; expected Receive or TimeStamp");
}

}  // namespace hla::xmlfom
