#pragma once

// What the passes of merging one module into a description (FomModules.h says what merging
// allows) share: the description merged into, the module merged, and the words a conflict is
// told in.

#include "platform/hla/FederationDescription.h"

#include <string>

namespace hla::merge {

// How a module without a name is named in a conflict.
inline constexpr const char* kUnnamedModule = "an unnamed module";

class MergePass {
public:
    MergePass(FederationDescription& into, const FederationDescription& module)
        : m_into(into), m_module(module) {}

protected:
    // The module a class or type of the module being merged comes from.
    std::string origin(const std::string& module) const;

    FederationDescription& m_into;
    const FederationDescription& m_module;
};

// A module as a conflict names it: quoted, or kUnnamedModule.
std::string quoted(const std::string& module);
std::string transportName(Transport transport);
std::string orderName(Order order);

// Each throws Error (InconsistentFdd).
[[noreturn]] void inconsistent(const std::string& description);
// "<kind> class <fullName> is defined differently in <ours> and in <theirs>: <difference>"
[[noreturn]] void differs(const char* kind, const std::string& fullName, const std::string& ours,
                          const std::string& theirs, const std::string& difference);

}  // namespace hla::merge
