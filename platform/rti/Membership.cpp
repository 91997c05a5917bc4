#include "platform/rti/Membership.h"

#include "platform/rti/Vocabulary.h"

namespace rti {

Member& Membership::add(FederateHandle federate, const std::string& name, const std::string& type,
                        std::shared_ptr<const FederationDescription> description) {
    return *m_members
                .emplace(federate, std::make_unique<Member>(federate, name.empty() ? type : name,
                                                            type, std::move(description)))
                .first->second;
}

Member& Membership::requireMember(FederateHandle federate) {
    const auto it = m_members.find(federate);
    if (it == m_members.end()) {
        throw Error(ErrorKind::FederateNotExecutionMember,
                    toString(federate) + " is not joined to federation execution \"" +
                        m_federationName + "\"");
    }
    return *it->second;
}

void Membership::post(Member& to, Callback callback) {
    if (to.callbacks.push(std::move(callback)) && m_notifier) m_notifier(to.handle);
}

void Membership::deliver(FederateHandle federate, Callback callback) {
    post(requireMember(federate), std::move(callback));
}

void Membership::releaseHeld(FederateHandle federate) {
    if (requireMember(federate).callbacks.releaseHeld() && m_notifier) m_notifier(federate);
}

}  // namespace rti
