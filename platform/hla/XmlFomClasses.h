#pragma once

// The XML FOM module reader's class pass: the object and interaction classes of a module's
// sections (XmlFomSections.h) into a description. Class names are kept in the HLA 1.3 form
// (HLAobjectRoot becomes ObjectRoot, HLAinteractionRoot InteractionRoot,
// HLAprivilegeToDeleteObject privilegeToDelete); top-level classes other than the roots are
// placed beneath them. A member or interaction class without a transportation or order keeps
// the defaults (HLAreliable, Receive) with its *Declared flag false; an interaction class
// given by name only is scaffolding. Refused, with the line and column: a class or member
// without a name or with "." in it, the same class or member twice, an unknown order or
// transportation.

#include "platform/hla/FederationDescription.h"
#include "platform/hla/XmlFomSections.h"

#include <optional>
#include <string>
#include <vector>

namespace hla::xmlfom {

class XmlFomClasses {
public:
    // transportations: those the module declares, by which its members may travel.
    XmlFomClasses(const std::string& module, const std::vector<Leaf>& transportations)
        : m_module(module), m_transportations(transportations) {}

    // Each throws FedError naming the module at the first problem.
    void addObjectClasses(FederationDescription& description,
                          const std::vector<XmlClass>& classes) const;
    void addInteractionClasses(FederationDescription& description,
                               const std::vector<XmlClass>& classes) const;

private:
    ObjectClassHandle objectClass(FederationDescription& description, const XmlClass& c,
                                  std::optional<ObjectClassHandle> parent) const;
    InteractionClassHandle interactionClass(FederationDescription& description, const XmlClass& c,
                                            std::optional<InteractionClassHandle> parent) const;
    std::optional<Transport> transportation(const Values& values) const;
    std::optional<Order> order(const Values& values) const;

    const std::string& m_module;
    const std::vector<Leaf>& m_transportations;
};

}  // namespace hla::xmlfom
