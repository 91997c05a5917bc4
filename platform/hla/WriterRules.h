#pragma once

// What the FED writer and the FOM module writer agree on, so that a federation that a federate
// of one RTI interface created from one written file takes the other written file from a
// federate of the other interface.
//
// Inside the RTI both files become one set of classes under the 2010 names, and a class that
// several files state must have the same transportation and order in each; a file may state
// fewer members of a class than the federation has, never more. Tried with OpenRTI:
// - The roots are written as the standard MIM states them: HLAinteractionRoot reliable and
//   timestamp ordered, HLAprivilegeToDeleteObject reliable and timestamp ordered. A 2010 module
//   always gives the interaction root timestamp order (stated or not, and the MIM that every
//   2010 create loads first says so too), so a FED file whose InteractionRoot says "receive"
//   makes the join of any 2010 module fail with InconsistentFDD; the FED writer therefore
//   writes "reliable timestamp".
// - The module leaves the object root's delete privilege out: a federation created from a FED
//   file without it would refuse a module that adds it, and every 2010 create brings it with
//   the MIM.
// - The MIM's own classes (the HLAmanager subtrees) are left out of both: an RTI brings them
//   itself, and a FED file that restated them would clash with its MIM.

#include "platform/hla/Types.h"

#include <string_view>

namespace hla::writing {

inline constexpr Transport kRootTransport = Transport::Reliable;
inline constexpr Order kRootOrder = Order::Timestamp;

// The MIM's subtrees, in the 1.3 form the description keeps.
inline constexpr std::string_view kObjectManager = "ObjectRoot.HLAmanager";
inline constexpr std::string_view kInteractionManager = "InteractionRoot.HLAmanager";

// Whether a full class name lies in one of the MIM's subtrees.
inline bool isManagerClass(std::string_view fullName) {
    for (const std::string_view manager : {kObjectManager, kInteractionManager}) {
        if (fullName.substr(0, manager.size()) == manager &&
            (fullName.size() == manager.size() || fullName[manager.size()] == '.')) {
            return true;
        }
    }
    return false;
}

}  // namespace hla::writing
