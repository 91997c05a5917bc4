#include "platform/hla/MergePass.h"

#include "platform/hla/Error.h"

namespace hla::merge {

std::string MergePass::origin(const std::string& module) const {
    if (!module.empty()) return module;
    if (m_module.modules.size() == 1) return m_module.modules.front();
    return kUnnamedModule;
}

std::string quoted(const std::string& module) {
    return module.empty() ? std::string(kUnnamedModule) : describeModule(module);
}

std::string transportName(Transport transport) {
    return transport == Transport::Reliable ? "HLAreliable" : "HLAbestEffort";
}

std::string orderName(Order order) {
    return order == Order::Receive ? "Receive" : "TimeStamp";
}

void inconsistent(const std::string& description) {
    throw Error(ErrorKind::InconsistentFdd, description);
}

void differs(const char* kind, const std::string& fullName, const std::string& ours,
             const std::string& theirs, const std::string& difference) {
    inconsistent(std::string(kind) + " class " + fullName + " is defined differently in " +
                 quoted(ours) + " and in " + quoted(theirs) + ": " + difference);
}

}  // namespace hla::merge
