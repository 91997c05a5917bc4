#include "platform/hla/InteractionClassMerge.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace hla::merge {

void InteractionClassMerge::run() {
    for (std::uint32_t i = 0; i < m_module.interactionClassCount(); ++i) {
        const InteractionClassSpec& theirs =
            m_module.interactionClass(static_cast<InteractionClassHandle>(i));
        const std::string module = origin(theirs.module);
        std::optional<InteractionClassHandle> ours = m_into.findInteractionClass(theirs.fullName);
        if (!ours) {
            std::optional<InteractionClassHandle> parent;
            if (theirs.parent) {
                parent =
                    m_into.findInteractionClass(m_module.interactionClass(*theirs.parent).fullName);
            }
            InteractionClassSpec spec = theirs;
            spec.module = module;
            ours = m_into.addInteractionClass(parent, spec);
            addParameters(*ours, theirs, module);
        } else if (!theirs.scaffolding) {
            mergeClass(*ours, theirs, module);
        }
    }
}

void InteractionClassMerge::mergeClass(InteractionClassHandle ours,
                                       const InteractionClassSpec& theirs,
                                       const std::string& module) {
    const InteractionClassSpec& cls = m_into.interactionClass(ours);
    const std::string established = cls.module;
    const bool hadParameters = !cls.declared.empty();
    if (cls.parent) {
        if (cls.transportDeclared && theirs.transportDeclared &&
            cls.transport != theirs.transport) {
            differs("interaction", cls.fullName, established, module,
                    "transportation " + transportName(cls.transport) + " in " +
                        quoted(established) + " and " + transportName(theirs.transport) + " in " +
                        quoted(module));
        }
        if (cls.orderDeclared && theirs.orderDeclared && cls.order != theirs.order) {
            differs("interaction", cls.fullName, established, module,
                    "order " + orderName(cls.order) + " in " + quoted(established) + " and " +
                        orderName(theirs.order) + " in " + quoted(module));
        }
    }
    const bool wasScaffolding = cls.scaffolding;
    if (!theirs.declared.empty()) {
        if (hadParameters) {
            compareParameters(ours, theirs, module);
        } else {
            addParameters(ours, theirs, module);
        }
    }
    m_into.fillIn(ours, theirs);
    // The module that gives a class its definition becomes the class's module.
    if (wasScaffolding || (!hadParameters && !theirs.declared.empty())) {
        m_into.setModule(ours, module, false);
    }
}

void InteractionClassMerge::addParameters(InteractionClassHandle ours,
                                          const InteractionClassSpec& theirs,
                                          const std::string& module) {
    for (ParameterHandle handle : theirs.declared) {
        const ParameterSpec& parameter = m_module.parameter(handle);
        const std::string where = clash(ours, parameter.name);
        if (!where.empty()) {
            inconsistent("parameter " + parameter.name + " of interaction class " +
                         m_into.interactionClass(ours).fullName + " in " + quoted(module) +
                         " is declared already in " + where);
        }
        m_into.addParameter(ours, parameter);
    }
}

void InteractionClassMerge::compareParameters(InteractionClassHandle ours,
                                              const InteractionClassSpec& theirs,
                                              const std::string& module) {
    const InteractionClassSpec& cls = m_into.interactionClass(ours);
    const bool root = !cls.parent;
    std::vector<std::pair<ParameterHandle, const ParameterSpec*>> pairs;
    for (ParameterHandle handle : theirs.declared) {
        const ParameterSpec& parameter = m_module.parameter(handle);
        const auto mine = std::find_if(
            cls.declared.begin(), cls.declared.end(),
            [&](ParameterHandle p) { return m_into.parameter(p).name == parameter.name; });
        if (mine == cls.declared.end()) {
            differs("interaction", cls.fullName, cls.module, module,
                    quoted(module) + " adds parameter " + parameter.name);
        }
        const ParameterSpec& established = m_into.parameter(*mine);
        if (!root && !established.dataType.empty() && !parameter.dataType.empty() &&
            established.dataType != parameter.dataType) {
            differs("interaction", cls.fullName, cls.module, module,
                    "parameter " + parameter.name + " has data type " + established.dataType +
                        " in " + quoted(cls.module) + " and " + parameter.dataType + " in " +
                        quoted(module));
        }
        pairs.emplace_back(*mine, &parameter);
    }
    for (ParameterHandle p : cls.declared) {
        if (std::none_of(pairs.begin(), pairs.end(), [&](const auto& x) { return x.first == p; })) {
            differs("interaction", cls.fullName, cls.module, module,
                    quoted(module) + " leaves out parameter " + m_into.parameter(p).name);
        }
    }
    for (const auto& [mine, parameter] : pairs) m_into.fillIn(mine, *parameter);
}

// Where a parameter name a module adds to a class is declared already: in the class's
// ancestors or its subclasses.
std::string InteractionClassMerge::clash(InteractionClassHandle cls,
                                         const std::string& parameter) const {
    if (const auto inherited = m_into.findParameter(cls, parameter)) {
        const auto& owner = m_into.interactionClass(m_into.parameter(*inherited).declaredIn);
        return "interaction class " + owner.fullName + " of " + quoted(owner.module);
    }
    for (std::uint32_t i = 0; i < m_into.interactionClassCount(); ++i) {
        const auto sub = static_cast<InteractionClassHandle>(i);
        if (sub == cls || !m_into.isSubclassOf(sub, cls)) continue;
        for (ParameterHandle p : m_into.interactionClass(sub).declared) {
            if (m_into.parameter(p).name == parameter) {
                const auto& owner = m_into.interactionClass(sub);
                return "its subclass " + owner.fullName + " of " + quoted(owner.module);
            }
        }
    }
    return {};
}

}  // namespace hla::merge
