#pragma once

// The pass of merging a module that merges its data types, and the check that every data type
// referred to is defined once all modules are merged (a later module may define a type an
// earlier one refers to).

#include "platform/hla/MergePass.h"

namespace hla::merge {

class DataTypeMerge : public MergePass {
public:
    using MergePass::MergePass;

    // Throws Error (InconsistentFdd) for a type the description defines otherwise.
    void run();
};

// Throws Error (InconsistentFdd) for the first data type referred to by an attribute, a
// parameter or another data type that the description does not define, naming the referrer
// and its module.
void checkReferences(const FederationDescription& description);

}  // namespace hla::merge
