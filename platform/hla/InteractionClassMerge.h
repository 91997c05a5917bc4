#pragma once

// The pass of merging a module that merges its interaction classes: a class new to the
// description is added with its parameters; one restated as scaffolding matches the class
// whatever it states; otherwise the two must agree on transportation and order where both
// state them (the root is the MIM's), a class without parameters takes the module's, and two
// that both have parameters must declare the same ones alike.

#include "platform/hla/MergePass.h"

#include <string>

namespace hla::merge {

class InteractionClassMerge : public MergePass {
public:
    using MergePass::MergePass;

    // Throws Error (InconsistentFdd) at the first conflict.
    void run();

private:
    void mergeClass(InteractionClassHandle ours, const InteractionClassSpec& theirs,
                    const std::string& module);
    void addParameters(InteractionClassHandle ours, const InteractionClassSpec& theirs,
                       const std::string& module);
    void compareParameters(InteractionClassHandle ours, const InteractionClassSpec& theirs,
                           const std::string& module);
    std::string clash(InteractionClassHandle cls, const std::string& parameter) const;
};

}  // namespace hla::merge
